#include "CwinReg.h"

#include "CwinRegInterne.h"
#include "FichierIni.h"
#include "Nombres.h"
#include "StringUtils.h"
#include "Utils.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <array>
#include <bit>

namespace tessarc {

namespace cwinreg {

std::vector<TWinReg*>& Instances() {
    static std::vector<TWinReg*> instances; // in creation order
    return instances;
}

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string S(const QString& s) {
    return s.toStdString();
}

QWidget* FicheDe(const TWinReg* w) {
    auto* fiche = qobject_cast<QWidget*>(w->parent());
    return fiche != nullptr && fiche->isWindow() ? fiche : nullptr;
}

std::unique_ptr<QSettings> Reglages(const QString& application) {
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                         QStringLiteral("Vornak"), application);
    // Only this store: neither the organisation's values nor the system-wide ones.
    s->setFallbacksEnabled(false);
    return s;
}

std::optional<std::string> TexteDeValeur(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return S(v.toString());
    case QMetaType::QByteArray: {
        const QByteArray octets = v.toByteArray();
        if (octets.size() != 8) return std::nullopt;
        std::array<char, 8> brut{};
        std::copy(octets.begin(), octets.end(), brut.begin());
        return FormatReel(std::bit_cast<double>(brut));
    }
    default:
        return std::nullopt;
    }
}

} // namespace cwinreg

using namespace cwinreg;

namespace {

// The main window is the one whose component was created first.
QWidget* FichePrincipale() {
    return Instances().empty() ? nullptr : FicheDe(Instances().front());
}

// The first component of every window, in creation order.
std::vector<QPointer<TWinReg>> PremiersParFiche() {
    std::vector<QPointer<TWinReg>> premiers;
    std::vector<const QWidget*> vues;
    for (TWinReg* w : Instances()) {
        const QWidget* fiche = FicheDe(w);
        if (fiche == nullptr || std::find(vues.begin(), vues.end(), fiche) != vues.end()) continue;
        vues.push_back(fiche);
        premiers.emplace_back(w);
    }
    return premiers;
}

bool MemeNom(const QString& a, const QString& b) {
    return ComparerSansCasse(S(a), S(b)) == 0;
}

QString GroupeExistant(const QStringList& groupes, const QString& section) {
    for (const QString& g : groupes)
        if (MemeNom(g, section)) return g;
    return section;
}

std::string RepertoireIni() {
    const std::string& force = TWinReg::Environnement().RepertoireIni;
    return force.empty() ? RepertoireAppli() : force;
}

void ReduireApplication() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog))
            w->setWindowState(w->windowState() | Qt::WindowMinimized);
}

} // namespace

TWinReg::Crochets& TWinReg::Environnement() {
    static Crochets crochets{
        [] { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier); },
        [] {
            return S(QFileDialog::getOpenFileName(
                nullptr, QStringLiteral("recherche fichier d'environnement"), QString(),
                QStringLiteral("fichier d'environnement (EnvironnementGlb.txt)")));
        },
        {}};
    return crochets;
}

TWinReg::TWinReg(QWidget* proprietaire, IUtilisateur& utilisateur)
    : QObject(proprietaire), proprietaire_(proprietaire), utilisateur_(utilisateur) {
    Instances().push_back(this);
    FCleFiche = NomFiche();
    if (proprietaire == nullptr || !proprietaire->isWindow())
        utilisateur_.Message("WinReg : Owner <> TForm : " + NomFiche());
}

TWinReg::~TWinReg() {
    auto& instances = Instances();
    instances.erase(std::remove(instances.begin(), instances.end(), this), instances.end());
}

QWidget* TWinReg::Fiche() const {
    return FicheDe(this);
}

std::string TWinReg::NomFiche() const {
    return proprietaire_ ? S(proprietaire_->objectName()) : std::string();
}

TWinReg& TWinReg::Principal() {
    if (mainWR) return *mainWR;
    return Instances().empty() ? *this : *Instances().front();
}

std::string TWinReg::NomAppli() {
    if (Rogner(FNomAppli).empty()) FNomAppli = PartieChemin(CheminExecutable(), 2);
    return FNomAppli;
}

void TWinReg::SetCleFiche(std::string_view cle) {
    FCleFiche = cle.empty() ? NomFiche() : SansEspaces(cle);
}

std::unique_ptr<QSettings> TWinReg::ReglagesAppli() {
    return Reglages(Q(NomAppli()));
}

void TWinReg::FixerConfig(int numcfg) {
    // A negative number keeps the configuration in use.
    if (numcfg < 0) return;
    FCleConfig = numcfg == 0 ? std::string() : "CONFIG_" + std::to_string(numcfg);
    FNumConfig = numcfg;
}

std::string TWinReg::GetStr(std::string_view nomValeur) {
    const std::string* v = Principal().table_.Trouver(TableReglages::Cle(FCleFiche, nomValeur));
    return v != nullptr ? *v : std::string();
}

int TWinReg::GetLong(std::string_view nomValeur, int defaut) {
    const std::string v = GetStr(nomValeur);
    return LireEntier(Rogner(v)).value_or(defaut);
}

double TWinReg::GetDouble(std::string_view nomValeur, double defaut) {
    const std::string v = GetStr(nomValeur);
    return LireReel(Rogner(v)).value_or(defaut);
}

void TWinReg::PutStr(std::string_view nomValeur, std::string_view donneesValeur) {
    Principal().table_.Ecrire(TableReglages::Cle(FCleFiche, nomValeur), donneesValeur);
}

void TWinReg::PutLong(std::string_view nomValeur, int donneesValeur) {
    PutStr(nomValeur, std::to_string(donneesValeur));
}

void TWinReg::PutDouble(std::string_view nomValeur, double donneesValeur) {
    PutStr(nomValeur, FormatReel(donneesValeur));
}

bool TWinReg::ChargeReg(int numcfg) {
    if (Fiche() == nullptr || Fiche() != FichePrincipale())
        utilisateur_.Message("erreur CWinReg : seule MainForm peut appeler ChargeReg");
    mainWR = this;
    FLoadOK = false;
    FixerConfig(numcfg);
    try {
        ChargerLeRegistre();
        for (const QPointer<TWinReg>& w : PremiersParFiche()) {
            if (!w) continue;
            w->mainWR = this;
            try {
                w->ChargeFenReg({});
            } catch (const std::exception& e) {
                utilisateur_.Message(std::string(e.what()) + " dans " + w->NomFiche() +
                                     ",TWinReg.ChargeFenReg");
            }
        }
        FLoadOK = true;
        if (OuvrirReduit) ReduireApplication();
        return true;
    } catch (...) {
        FLoadOK = false;
        utilisateur_.Message("erreur au chargement du registre");
        if (OuvrirReduit) ReduireApplication();
        return false;
    }
}

void TWinReg::RangeReg(int numcfg) {
    if (!FLoadOK) return;
    if (Fiche() == nullptr || Fiche() != FichePrincipale())
        utilisateur_.Message("erreur CWinReg : seule MainForm peut appeler RangeReg");
    FixerConfig(numcfg);
    for (const QPointer<TWinReg>& w : PremiersParFiche()) {
        try {
            if (w) w->RangeFenReg();
        } catch (const std::exception&) {
            // A window that cannot give its section keeps its old values; the others are saved.
        }
    }
    try {
        RangerLeRegistre();
    } catch (const std::exception& e) {
        // The end of the program goes on; the user learns why the settings were not kept.
        utilisateur_.Message(e.what());
    }
}

void TWinReg::ChargeRegLocal(int numcfg) {
    FLoadOK = false;
    FixerConfig(numcfg);
    try {
        ChargeFenReg({});
        FLoadOK = true;
    } catch (...) {
        utilisateur_.Message("erreur au chargement du registre");
    }
}

void TWinReg::RangeRegLocal(int numcfg) {
    if (!FLoadOK) return;
    FixerConfig(numcfg);
    RangeFenReg();
    try {
        Principal().RangerLeRegistre();
    } catch (const std::exception& e) {
        utilisateur_.Message(e.what());
    }
}

void TWinReg::MettreAJourFiches(int index, void* pdata) {
    for (const QPointer<TWinReg>& w : PremiersParFiche()) {
        if (!w || !w->OnMajFiche) continue;
        try {
            w->OnMajFiche(index, pdata);
        } catch (const std::exception& e) {
            utilisateur_.Message(w->NomFiche() + " : " + e.what());
        }
    }
}

void TWinReg::ChargerLeRegistre() {
    FInitAlign = Environnement().CtrlEnfonce && Environnement().CtrlEnfonce();
    table_.Vider();
    if (fichierINI && ChargerIni()) {
        FLoadOK = true;
        return;
    }
    LireReglages();
    FLoadOK = true;
    if (FInitAlign && !fichierINI)
        utilisateur_.Message("réinitialisation des positions de fenêtres ; redémarrez " + NomAppli());
}

bool TWinReg::ChargerIni() {
    const std::string utilisateur = NomUtilisateur(utilisateur_);
    for (const std::string& fichier :
         CandidatsIni(RepertoireIni(), NomAppli(), utilisateur, FCleConfig, PathINILecGenerique)) {
        const std::string texte = ChargerFichierTexte(fichier);
        if (texte.empty()) continue;
        LireTexteIni(texte, table_);
        return true;
    }
    return false;
}

void TWinReg::LireReglages() {
    const auto s = ReglagesAppli();
    // A configuration never saved starts from the unnumbered settings.
    if (!FCleConfig.empty() && s->childGroups().contains(Q(FCleConfig))) s->beginGroup(Q(FCleConfig));
    const auto ajouter = [&](const QString& cle, const QString& nom) {
        if (const auto texte = TexteDeValeur(s->value(nom)); texte && !texte->empty())
            table_.Ecrire(S(cle), *texte);
    };
    for (const QString& nom : s->childKeys()) ajouter(nom, nom);
    for (const QString& section : s->childGroups()) {
        s->beginGroup(section);
        for (const QString& nom : s->childKeys()) ajouter(section + QLatin1Char('\t') + nom, nom);
        s->endGroup();
    }
}

void TWinReg::RangerLeRegistre() {
    if (fichierINI) {
        RangerFichierTexte(TexteIni(table_),
                           RepertoireIni() +
                               NomFichierIni(NomAppli(), NomUtilisateur(utilisateur_), FCleConfig));
        return;
    }
    const auto s = ReglagesAppli();
    if (!FCleConfig.empty()) s->beginGroup(Q(FCleConfig));
    std::optional<QString> sectionOuverte;
    for (std::size_t k = 0; k < table_.Taille(); ++k) {
        const std::string_view cle = table_.CleNo(k);
        const auto tab = cle.find('\t');
        const QString section = tab == std::string_view::npos ? QString() : Q(cle.substr(0, tab));
        const QString nom = Q(tab == std::string_view::npos ? cle : cle.substr(tab + 1));
        if (nom.isEmpty()) continue;
        if (!sectionOuverte || !MemeNom(*sectionOuverte, section)) {
            if (sectionOuverte && !sectionOuverte->isEmpty()) s->endGroup();
            sectionOuverte = section;
            if (!section.isEmpty()) s->beginGroup(GroupeExistant(s->childGroups(), section));
        }
        // Names are one whatever their case, as in the table.
        for (const QString& existant : s->childKeys())
            if (existant != nom && MemeNom(existant, nom)) s->remove(existant);
        s->setValue(nom, Q(table_.ValeurNo(k)));
    }
    if (sectionOuverte && !sectionOuverte->isEmpty()) s->endGroup();
    s->sync();
}

} // namespace tessarc
