#include "PagesMaillage.h"

#include "Controles.h"
#include "DlphUtil.h"
#include "ExportModele.h"
#include "Frontiere.h"
#include "GrilleCapture.h"
#include "Modele.h"
#include "Nombres.h"
#include "Triangulation.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <array>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace tessarc {

namespace {

template <typename T> T* Trouver(const QObject& racine, const char* nom) {
    T* w = racine.findChild<T*>(QString::fromLatin1(nom));
    if (w == nullptr) throw std::logic_error(std::string("pages du maillage : composant absent : ") + nom);
    return w;
}

QButtonGroup* TrouverOnglets(const QObject& racine) {
    auto* onglets = Trouver<QWidget>(racine, "TCresul")->findChild<QButtonGroup*>();
    if (onglets == nullptr) throw std::logic_error("pages du maillage : TCresul sans groupe de boutons");
    return onglets;
}

std::string Texte(const QLineEdit* e) {
    return e->text().toStdString();
}

void Ecrire(QLineEdit* e, const std::string& t) {
    e->setText(QString::fromStdString(t));
}

std::string Joindre(const std::string& a, const std::string& b) {
    return a.empty() ? b : b.empty() ? a : a + " ; " + b;
}

} // namespace

QString FiltreExport() {
    return QStringLiteral("maillage Gmsh (*.msh);;maillage VTK (*.vtk);;image du plan (*.png);;"
                          "image du plan avec numéros des noeuds (*.png)");
}

TPagesMaillage::TPagesMaillage(QWidget& racine, TNuage& nuage, TMaillage& maillage, TLiensPagesMaillage liens,
                               TEtatVueMaillage etat)
    : nuage_(nuage), maillage_(maillage), liens_(std::move(liens)), etat_(etat),
      SBsaisirFront(Trouver<QAbstractButton>(racine, "SBsaisirFront")),
      CmBxNumPtFront(Trouver<QComboBox>(racine, "CmBxNumPtFront")),
      EdPtFronX(Trouver<QLineEdit>(racine, "EdPtFronX")), EdPtFronY(Trouver<QLineEdit>(racine, "EdPtFronY")),
      EdOriGrilX(Trouver<QLineEdit>(racine, "EdOriGrilX")),
      EdOriGrilY(Trouver<QLineEdit>(racine, "EdOriGrilY")),
      EdTrameGrille(Trouver<QLineEdit>(racine, "EdTrameGrille")),
      EdModNds(Trouver<QLineEdit>(racine, "EdModNds")), EdModElts(Trouver<QLineEdit>(racine, "EdModElts")),
      EdModZ(Trouver<QLineEdit>(racine, "EdModZ")), EdModRot(Trouver<QLineEdit>(racine, "EdModRot")),
      EdModTranches(Trouver<QLineEdit>(racine, "EdModTranches")), OngletsResul(TrouverOnglets(racine)),
      MmResul(Trouver<QPlainTextEdit>(racine, "MmResul")) {
    // A link left empty does nothing.
    if (!liens_.RetracerTout) liens_.RetracerTout = [] {};
    if (!liens_.Repeindre) liens_.Repeindre = [] {};
    if (!liens_.AffiInfo) liens_.AffiInfo = [](int, const std::string&) {};
    if (!liens_.Message) liens_.Message = [](const QString&) {};
    if (!liens_.Controle) liens_.Controle = [](const std::string&) {};
    if (!liens_.NomExport) liens_.NomExport = [](const QString&) { return std::nullopt; };
    const auto relier = [&](const char* nom, void (TPagesMaillage::*gestionnaire)()) {
        connect(Trouver<QAbstractButton>(racine, nom), &QAbstractButton::clicked, this,
                [this, gestionnaire] { Commande([&] { (this->*gestionnaire)(); }); });
    };
    relier("SBsaisirFront", &TPagesMaillage::SBsaisirFrontClick);
    relier("BtValidFr", &TPagesMaillage::BtValidFrClick);
    relier("BtValiderGrille", &TPagesMaillage::BtValiderGrilleClick);
    relier("BtCalcPointsGr", &TPagesMaillage::BtCalcPointsGrClick);
    relier("BtCalcModele", &TPagesMaillage::BtCalcModeleClick);
    relier("BtExporterMaillage", &TPagesMaillage::BtExporterMaillageClick);
    relier("BtResulPP", &TPagesMaillage::BtResulPPClick);
    connect(CmBxNumPtFront, &QComboBox::activated, this,
            [this](int i) { Commande([&] { CmBxNumPtFrontCloseUp(i); }); });
    connect(OngletsResul, &QButtonGroup::idClicked, this,
            [this](int onglet) { Commande([&] { TCresulChange(onglet); }); });
}

template <typename F> void TPagesMaillage::Commande(F&& travail) {
    try {
        travail();
    } catch (const std::exception& e) {
        liens_.Message(QString::fromUtf8(e.what()));
    }
}

bool TPagesMaillage::Accepter(int pageQuittee, int page) const {
    return ChangementPageAccepte(pageQuittee, page, maillage_);
}

void TPagesMaillage::EntrerPage(int page) {
    etat_.FrontiereEnCours = false;
    etat_.VuePlanXY = false;
    Commande([&] {
        liens_.Controle("");
        switch (page) {
        case PageFrontiere:
            EntrerPageFrontiere();
            break;
        case PageGrille:
            EntrerPageGrille();
            break;
        case PageTriangulation:
            Trianguler();
            break;
        case PageModele:
            EntrerPageModele();
            break;
        default:
            break;
        }
    });
    liens_.RetracerTout();
}

// Top view, input off, the list refilled with nothing selected; the points stay.
void TPagesMaillage::EntrerPageFrontiere() {
    etat_.VuePlanXY = true;
    SBsaisirFront->setChecked(false);
    RemplirPointsFrontiere(-1);
}

void TPagesMaillage::EntrerPageGrille() {
    etat_.VuePlanXY = true;
    const TTextesGrille t = tessarc::EntrerPageGrille(maillage_, nuage_.CooMin[3]);
    Ecrire(EdOriGrilX, t.OrigineX);
    Ecrire(EdOriGrilY, t.OrigineY);
    Ecrire(EdTrameGrille, t.Trame);
}

// The memo emptied, no tab chosen, and the tabs locked until the next computation.
void TPagesMaillage::EntrerPageModele() {
    MmResul->clear();
    SelectionnerOngletResultat(-1);
    resulGen_.clear();
}

// The boundary starts again from nothing, so the list and its selection go too.
void TPagesMaillage::MiDefinirFrontiereClick() {
    DefinirFrontiere(maillage_);
    RemplirPointsFrontiere(-1);
    etat_.FrontiereEnCours = true;
    liens_.Repeindre();
}

void TPagesMaillage::SBsaisirFrontClick() {
    etat_.FrontiereEnCours = !etat_.FrontiereEnCours;
    SBsaisirFront->setChecked(etat_.FrontiereEnCours);
    liens_.Repeindre();
}

void TPagesMaillage::SurPointFrontiere(std::size_t i, const TV3S& p) {
    RemplirPointsFrontiere(static_cast<int>(i));
    Ecrire(EdPtFronX, FormatC("%.2f", static_cast<double>(p[1])));
    Ecrire(EdPtFronY, FormatC("%.2f", static_cast<double>(p[2])));
    liens_.Repeindre();
}

void TPagesMaillage::RemplirPointsFrontiere(int choisi) {
    CmBxNumPtFront->clear();
    QStringList items;
    for (const std::string& n : NumerosPointsFrontiere(maillage_)) items << QString::fromStdString(n);
    CmBxNumPtFront->addItems(items);
    CmBxNumPtFront->setCurrentIndex(choisi);
    etat_.PointFrontiereChoisi = CmBxNumPtFront->currentIndex();
}

void TPagesMaillage::CmBxNumPtFrontCloseUp(int i) {
    etat_.PointFrontiereChoisi = i;
    if (i < 0 || static_cast<std::size_t>(i) >= maillage_.Frontiere.size()) return;
    AfficherPointFrontiere(i);
    liens_.Repeindre();
}

void TPagesMaillage::AfficherPointFrontiere(int i) {
    const TTextesPoint t = tessarc::AfficherPointFrontiere(maillage_, i);
    Ecrire(EdPtFronX, t.X);
    Ecrire(EdPtFronY, t.Y);
}

// An unreadable box keeps its coordinate, and the boxes then show what is stored.
void TPagesMaillage::BtValidFrClick() {
    if (const auto t = ValiderPointFrontiere(maillage_, CmBxNumPtFront->currentIndex(), Texte(EdPtFronX),
                                             Texte(EdPtFronY))) {
        Ecrire(EdPtFronX, t->X);
        Ecrire(EdPtFronY, t->Y);
    }
    liens_.Repeindre();
}

void TPagesMaillage::BtValiderGrilleClick() {
    const TTextesGrille t =
        ValiderGrille(maillage_, Texte(EdOriGrilX), Texte(EdOriGrilY), Texte(EdTrameGrille));
    Ecrire(EdOriGrilX, t.OrigineX);
    Ecrire(EdOriGrilY, t.OrigineY);
    Ecrire(EdTrameGrille, t.Trame);
}

// A refused grid (bad spacing, origin beyond the boundary) changes nothing and says why in a box; the
// warnings of a computed one (dropped crossings, no height) and the supports of each segment go to the
// wide status panel, which the hover figures do not overwrite. The grid and its nodes are drawn afresh
// at every paint: a repaint shows them, where discarding the lists would rebuild the whole cloud. The
// repaint comes first: a pending Esc answered at the status line must not leave the new points undrawn.
void TPagesMaillage::BtCalcPointsGrClick() {
    TCompteRenduGrille cr;
    {
        const TAttenteCurseur attente;
        cr = CalculerPointsGrille(maillage_, nuage_.CubesAffiches);
    }
    if (!cr.Calcule) {
        liens_.Message(QString::fromStdString(cr.Message));
        return;
    }
    liens_.Repeindre();
    liens_.Controle(Joindre(cr.Message, ControleAppuis(maillage_)));
}

void TPagesMaillage::MiTriangulerClick() {
    Commande([&] { Trianguler(); });
    liens_.RetracerTout();
}

// Without grid points the core does nothing and there is nothing to check.
void TPagesMaillage::Trianguler() {
    TCompteRenduTriangulation cr;
    {
        const TAttenteCurseur attente;
        cr = tessarc::Trianguler(maillage_);
    }
    if (cr.Triangule) liens_.Controle(ControleTriangulation(maillage_, cr));
}

// The memo keeps what it shows until a tab is chosen again.
void TPagesMaillage::BtCalcModeleClick() {
    const TSaisieModele saisie{Texte(EdModNds), Texte(EdModElts), Texte(EdModZ), Texte(EdModRot),
                               Texte(EdModTranches)};
    TResultatModele r = CalculerModele(maillage_, saisie);
    if (!r.Calcule) {
        liens_.Message(QString::fromStdString(r.Message));
        return;
    }
    resulGen_ = QString::fromStdString(r.ResulGen);
    resulNds_ = QString::fromStdString(r.ResulNds);
    resulElts_ = QString::fromStdString(r.ResulElts);
    modele_ = std::move(r.Modele);
}

// The model shown in the tabs, in the type of the name's extension, else of the type chosen.
void TPagesMaillage::BtExporterMaillageClick() {
    if (!OngletResultatAccessible(resulGen_.toStdString())) {
        liens_.Message(QStringLiteral("calculer le modèle avant de l'exporter"));
        return;
    }
    const auto choix = liens_.NomExport(FiltreExport());
    if (!choix) return;
    static constexpr std::array<const char*, 4> Extensions{".msh", ".vtk", ".png", ".png"};
    const int filtre = std::clamp(choix->Filtre, 1, 4);
    std::filesystem::path nom = choix->Nom.toStdString();
    if (!GenreExport(nom)) nom += Extensions[static_cast<std::size_t>(filtre - 1)];
    {
        const TAttenteCurseur attente;
        ExporterModele(nom, *GenreExport(nom), modele_, filtre == 4);
    }
    liens_.AffiInfo(1, "maillage exporté : " + nom.string());
}

void TPagesMaillage::TCresulChange(int onglet) {
    if (!OngletResultatAccessible(resulGen_.toStdString())) {
        SelectionnerOngletResultat(ongletResultat_);
        return;
    }
    ongletResultat_ = onglet;
    MmResul->setPlainText(onglet == 0 ? resulGen_ : onglet == 1 ? resulNds_ : resulElts_);
}

void TPagesMaillage::SelectionnerOngletResultat(int onglet) {
    ongletResultat_ = onglet;
    OngletsResul->setExclusive(false);
    for (QAbstractButton* bouton : OngletsResul->buttons())
        bouton->setChecked(OngletsResul->id(bouton) == onglet);
    OngletsResul->setExclusive(true);
}

// The memo splits lines on CR LF and gives them back with LF alone; the analysis program reads CR LF,
// as the texts are written.
void TPagesMaillage::BtResulPPClick() {
    QString texte = MmResul->toPlainText();
    texte.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QGuiApplication::clipboard()->setText(texte);
}

} // namespace tessarc
