#include "PageModele.h"

#include "Composants.h"
#include "DlphUtil.h"
#include "ExportModele.h"
#include "Triangulation.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <filesystem>

namespace tessarc {

QString FiltreExport() {
    return QStringLiteral("maillage Gmsh (*.msh);;maillage VTK (*.vtk);;image du plan (*.png);;"
                          "image du plan avec numéros des noeuds (*.png)");
}

TPageModele::TPageModele(QWidget& parent, TContextePages& contexte)
    : c_(contexte), feuille_(Panneau(&parent, "TSmodele")), resultat_(Panneau(&parent, "TSresul")) {
    CreerPage();
    CreerFeuilleResultat();
}

void TPageModele::CreerPage() {
    QHBoxLayout* rangee = Rangee(feuille_);
    EdModNds = Champ(feuille_, rangee, QStringLiteral("Base numérotation : - noeuds"), "EdModNds",
                     QStringLiteral("1"), 32);
    EdModElts = Champ(feuille_, rangee, QStringLiteral("- éléments"), "EdModElts", QStringLiteral("1"), 32);
    EdModZ = Champ(feuille_, rangee, QStringLiteral("Z point bas (m)"), "EdModZ", QStringLiteral("0.00"), 44);
    EdModRot =
        Champ(feuille_, rangee, QStringLiteral("Rotation (deg)"), "EdModRot", QStringLiteral("0.00"), 44);
    EdModTranches = Champ(feuille_, rangee, QStringLiteral("Grouper par tranches de (cm)"), "EdModTranches",
                          QStringLiteral("50"), 32);
    rangee->addStretch(1);
    Relier(Bouton(feuille_, rangee, "BtCalcModele", QStringLiteral("Calculer")), this, c_.Utilisateur,
           [this] { BtCalcModeleClick(); });
}

void TPageModele::CreerFeuilleResultat() {
    QVBoxLayout* colonne = Colonne(resultat_);
    colonne->addWidget(CreerOnglets());

    MmResul = new QPlainTextEdit(resultat_);
    MmResul->setObjectName(QStringLiteral("MmResul"));
    const QString courier = QStringLiteral("Courier New");
    QFont police = QFontDatabase::families().contains(courier)
                       ? QFont(courier)
                       : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    police.setStyleHint(QFont::Monospace);
    MmResul->setFont(police);
    MmResul->setLineWrapMode(QPlainTextEdit::NoWrap);
    MmResul->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MmResul->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    colonne->addWidget(MmResul, 1);

    auto* bas = new QHBoxLayout;
    bas->setContentsMargins(2, 2, 2, 2);
    Relier(Bouton(resultat_, bas, "BtResulPP", QStringLiteral("Copier dans le presse-papier")), this,
           c_.Utilisateur, [this] { BtResulPPClick(); });
    // Beside the texts of the "Modèle" page, whose own row already spans the window.
    Relier(Bouton(resultat_, bas, "BtExporterMaillage", QStringLiteral("Exporter le maillage…")), this,
           c_.Utilisateur, [this] { BtExporterMaillageClick(); });
    bas->addStretch(1);
    colonne->addLayout(bas);
}

// Flat buttons rather than a QTabBar: no tab is selected until the first computation.
QWidget* TPageModele::CreerOnglets() {
    QWidget* barre = Panneau(resultat_, "TCresul");
    auto* onglets = new QHBoxLayout(barre);
    onglets->setContentsMargins(2, 2, 2, 2);
    OngletsResul = new QButtonGroup(barre);
    const char* noms[] = {"TCresulGeneral", "TCresulNoeuds", "TCresulElements"};
    const QString textes[] = {QStringLiteral("Général"), QStringLiteral("Table des noeuds"),
                              QStringLiteral("Table des éléments finis")};
    for (int i = 0; i < 3; ++i) {
        auto* onglet = new QToolButton(barre);
        onglet->setObjectName(QString::fromLatin1(noms[i]));
        onglet->setText(textes[i]);
        onglet->setCheckable(true);
        onglet->setAutoRaise(true);
        OngletsResul->addButton(onglet, i);
        onglets->addWidget(onglet);
    }
    onglets->addStretch(1);
    connect(OngletsResul, &QButtonGroup::idClicked, this,
            [this](int onglet) { Commande(c_.Utilisateur, [&] { TCresulChange(onglet); }); });
    return barre;
}

const QWidget* TPageModele::Memo() const {
    return MmResul;
}

void TPageModele::Entrer() {
    MmResul->clear();
    SelectionnerOngletResultat(-1);
    resulGen_.clear();
}

// The memo keeps what it shows until a tab is chosen again.
void TPageModele::BtCalcModeleClick() {
    const TSaisieModele saisie{Texte(EdModNds), Texte(EdModElts), Texte(EdModZ), Texte(EdModRot),
                               Texte(EdModTranches)};
    TResultatModele r = CalculerModele(c_.Maillage, saisie, c_.Decalage);
    if (!r.Calcule) {
        c_.Utilisateur.Message(r.Message);
        return;
    }
    resulGen_ = QString::fromStdString(r.ResulGen);
    resulNds_ = QString::fromStdString(r.ResulNds);
    resulElts_ = QString::fromStdString(r.ResulElts);
    modele_ = std::move(r.Modele);
}

// The model shown in the tabs, in the type of the name's extension, else of the type chosen.
void TPageModele::BtExporterMaillageClick() {
    if (!OngletResultatAccessible(resulGen_.toStdString())) {
        c_.Utilisateur.Message("calculer le modèle avant de l'exporter");
        return;
    }
    const auto choix = c_.Liens.NomExport(FiltreExport());
    if (!choix) return;
    static constexpr std::array<const char*, 4> Extensions{".msh", ".vtk", ".png", ".png"};
    const int filtre = std::clamp(choix->Filtre, 1, 4);
    std::filesystem::path nom = choix->Nom.toStdString();
    if (!GenreExport(nom)) nom += Extensions[static_cast<std::size_t>(filtre - 1)];
    {
        const TAttenteCurseur attente;
        ExporterModele(nom, *GenreExport(nom), modele_, filtre == 4);
    }
    c_.Utilisateur.AffiInfo(1, "maillage exporté : " + nom.string());
}

void TPageModele::TCresulChange(int onglet) {
    if (!OngletResultatAccessible(resulGen_.toStdString())) {
        SelectionnerOngletResultat(ongletResultat_);
        return;
    }
    ongletResultat_ = onglet;
    MmResul->setPlainText(onglet == 0 ? resulGen_ : onglet == 1 ? resulNds_ : resulElts_);
}

void TPageModele::SelectionnerOngletResultat(int onglet) {
    ongletResultat_ = onglet;
    OngletsResul->setExclusive(false);
    for (QAbstractButton* bouton : OngletsResul->buttons())
        bouton->setChecked(OngletsResul->id(bouton) == onglet);
    OngletsResul->setExclusive(true);
}

// The memo splits lines on CR LF and gives them back with LF alone; the analysis program reads CR LF,
// as the texts are written.
void TPageModele::BtResulPPClick() {
    QString texte = MmResul->toPlainText();
    texte.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QGuiApplication::clipboard()->setText(texte);
}

} // namespace tessarc
