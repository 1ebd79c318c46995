// Menu "Fichiers", "Propriétés", start-up and closing of the main window.

#include "Aide.h"
#include "UTessarc.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

namespace tessarc {

namespace {

// The wait cursor over a load or a save, restored however the work ends.
class TCurseurAttente {
public:
    TCurseurAttente() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TCurseurAttente() { QGuiApplication::restoreOverrideCursor(); }
    TCurseurAttente(const TCurseurAttente&) = delete;
    TCurseurAttente& operator=(const TCurseurAttente&) = delete;
};

// The path without its last extension; a name without extension is taken whole.
QString CheminSansExtension(const QString& chemin) {
    const qsizetype point = chemin.lastIndexOf(QLatin1Char('.'));
    const qsizetype separateur = chemin.lastIndexOf(QLatin1Char('/'));
    return point > separateur ? chemin.left(point) : chemin;
}

} // namespace

void TFTessarc::DemarrageDiffere() {
    if (InitDone) return;
    InitDone = true;
    Commande([this] {
        ChargerReglages();
        PoserCurseurMire();
        DefinirFichierAide(GuideParDefaut());
        ReinitialiserDocument();
    });
    if (!FichierDemarrage.isEmpty()) OuvrirFichier(FichierDemarrage);
}

void TFTessarc::MiOuvrirClick() {
    OuvrirFichier();
}

void TFTessarc::MiEnregistrerClick() {
    Commande([this] { EnregistrerFichier(1, NivMaxDocument()); });
}

void TFTessarc::MiEnregistrerSousClick() {
    Commande([this] { EnregistrerSousNiveau(NivMaxDocument()); });
}

void TFTessarc::MiEnregistrerLeNiveauAfficheClick() {
    Commande([this] { EnregistrerSousNiveau(NivAfficheDocument()); });
}

void TFTessarc::MiProprietesClick() {
    Commande([this] { AfficherProprietes(); });
}

// With a name (command line), the dialog is skipped; everything else is the same.
void TFTessarc::OuvrirFichier(const QString& nomImpose) {
    bool ferme = false;
    Commande([&] { ferme = FermerDocument(); });
    if (!ferme) return;
    AfficherPage(0);
    ScanPret = false;
    QString nom = nomImpose;
    if (nom.isEmpty()) {
        const QString dossier = DernierScan.isEmpty() ? QCoreApplication::applicationDirPath() : DernierScan;
        nom = Dlg.NomAOuvrir(this, dossier, FiltreOuvrir());
        if (nom.isEmpty()) return;
    }
    ChargerFichier(nom);
}

void TFTessarc::ChargerFichier(const QString& nom) {
    const TCurseurAttente attente;
    try {
        PFsansext = CheminSansExtension(nom);
        DernierScan = QFileInfo(nom).absolutePath();
        LireDocument(nom);
    } catch (const std::exception& e) {
        Dlg.Message(this, QString::fromUtf8(e.what()));
        ReinitialiserDocument();
    }
    FinChargement();
}

// Runs whether the load succeeded or not: an empty cloud is a ready one too.
void TFTessarc::FinChargement() {
    ChangerNivAffiche(NivAfficheDocument());
    ScanPret = true;
    OrienterVue(1);
    VGL->update();
}

bool TFTessarc::FermerDocument() {
    if (ScanPret && DonneesModifiees) {
        switch (Dlg.Question(this, QStringLiteral("les données ont été modifiées, enregistrer?"))) {
        case TReponse::Oui:
            EnregistrerFichier(1, NivMaxDocument());
            break;
        case TReponse::Non:
            break;
        case TReponse::Fermee:
            return false;
        }
    }
    ReinitialiserDocument();
    return true;
}

void TFTessarc::ReinitialiserDocument() {
    ScanPret = false;
    InvaliderListesVue(true);
    AfficherPage(0);
    PCavctChange();
    VuePlanXY = false;
    ViderDocument();
}

void TFTessarc::EnregistrerFichier(int genre, int niveau) {
    const TCurseurAttente attente;
    EcrireDocument(genre, niveau);
}

// The kind of file follows the filter; the third filter names the document but writes nothing.
void TFTessarc::EnregistrerSousNiveau(int niveau) {
    const auto choix = Dlg.NomAEnregistrer(this, PFsansext, FiltreEnregistrer());
    if (!choix) return;
    PFsansext = CheminSansExtension(choix->Nom);
    if (choix->Filtre == 1 || choix->Filtre == 2) EnregistrerFichier(choix->Filtre, niveau);
}

void TFTessarc::AfficherProprietes() {
    Dlg.Message(this, RapportProprietes());
}

// A failed save keeps the window open: nothing is lost.
bool TFTessarc::FormCloseQuery() {
    bool fermer = false;
    Commande([&] { fermer = FermerDocument(); });
    return fermer;
}

void TFTessarc::FormClose() {
    RangerReglages();
}

} // namespace tessarc
