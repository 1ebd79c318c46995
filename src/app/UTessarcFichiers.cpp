// Menu "Fichiers", "Propriétés", the settings, start-up and closing of the main window.

#include "Aide.h"
#include "CwinReg.h"
#include "DlphUtil.h"
#include "Formats.h"
#include "StringUtils.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QTabWidget>
#include <QWidget>

namespace tessarc {

// Long work lets events run: a command started from the menu or the pages would change the document
// under it.
TFTessarc::TTravail::TTravail(TFTessarc& f) : f_(f) {
    if (f_.travaux_++ > 0) return;
    f_.vue_->Occupee = true;
    f_.menuBar()->setEnabled(false);
    f_.PCavct->setEnabled(false);
    f_.PnTop->setEnabled(false);
}

TFTessarc::TTravail::~TTravail() {
    if (--f_.travaux_ > 0) return;
    f_.vue_->Occupee = false;
    f_.menuBar()->setEnabled(true);
    f_.PCavct->setEnabled(true);
    f_.PnTop->setEnabled(true);
}

// The window's section keeps the folder of the last scan; the component keeps the placement itself.
void TFTessarc::CreerReglages() {
    WR = std::make_unique<TWinReg>(this, *this).release();
    WR->PixelsPerInchDsgn = 120;
    WR->OnChargeReg = [this] { doc_.DernierScan = WR->GetStr("DernierScan"); };
    WR->OnRangeReg = [this] { WR->PutStr("DernierScan", doc_.DernierScan.string()); };
}

void TFTessarc::DemarrageDiffere() {
    if (InitDone) return;
    InitDone = true;
    Commande(*this, [this] {
        WR->ChargeReg(0);
        VGL->setCursor(ChargerCurseurMire());
        DefinirFichierAide(GuideParDefaut());
        doc_.ReinitialiserDocument();
    });
    if (!FichierDemarrage.isEmpty()) OuvrirFichier(FichierDemarrage);
}

void TFTessarc::MiOuvrirClick() {
    OuvrirFichier();
}

void TFTessarc::MiEnregistrerClick() {
    OublierCubesCompactes();
    const TTravail travail(*this);
    static_cast<void>(doc_.EnregistrerFichier(GenreProjet, doc_.Nuage.NivMax));
}

void TFTessarc::MiEnregistrerSousClick() {
    EnregistrerSousNiveau(doc_.Nuage.NivMax);
}

void TFTessarc::MiEnregistrerLeNiveauAfficheClick() {
    EnregistrerSousNiveau(doc_.Nuage.NivAffiche);
}

void TFTessarc::MiProprietesClick() {
    Message(doc_.Proprietes());
}

// With a name (command line, tests), the dialog is skipped; everything else is the same. The name comes
// first: a cancelled dialog or a type the program does not read leaves the document as it was, before
// any save question.
void TFTessarc::OuvrirFichier(const QString& nomImpose) {
    if (TravailEnCours()) return;
    QString nom = nomImpose;
    if (nom.isEmpty()) {
        const QString dossier = doc_.DernierScan.empty() ? QCoreApplication::applicationDirPath()
                                                         : QString::fromStdString(doc_.DernierScan.string());
        nom = Dlg.NomAOuvrir(this, dossier, FiltreOuvrir());
        if (nom.isEmpty()) return;
    }
    const std::filesystem::path chemin = nom.toStdString();
    if (FormatDe(chemin) == nullptr) {
        Message(TexteTypeInconnu(chemin));
        return;
    }
    if (!FermerDocument()) return;
    AfficherPage(0);
    doc_.ScanPret = false;
    {
        const TTravail travail(*this);
        // Failures reach the user through Message, and leave an empty document.
        static_cast<void>(doc_.OuvrirFichier(chemin));
    }
    std::string notes;
    for (const std::string& r : doc_.Remarques) AjouterNote(notes, r);
    PanneauxInfo[1]->setText(QString::fromStdString(notes));
    vue_->Repeindre();
}

bool TFTessarc::FermerDocument() {
    OublierCubesCompactes();
    const TTravail travail(*this);
    return doc_.FermerDocument();
}

void TFTessarc::OublierCubesCompactes() {
    if (!doc_.DonneesModifiees) return;
    vue_->CubeSel = nullptr;
    vue_->CubeSelSav = nullptr;
}

// The kind of file follows the filter; the third filter names the document but writes nothing.
void TFTessarc::EnregistrerSousNiveau(int niveau) {
    const auto choix =
        Dlg.NomAEnregistrer(this, QString::fromStdString(doc_.PFsansext.string()), FiltreEnregistrer());
    if (!choix) return;
    OublierCubesCompactes();
    const TTravail travail(*this);
    static_cast<void>(doc_.EnregistrerSousNiveau(choix->Nom.toStdString(), choix->Filtre, niveau));
}

bool TFTessarc::FormCloseQuery() {
    return FermerDocument();
}

void TFTessarc::FormClose() {
    WR->RangeReg(-1);
}

// What the document asks of the window.

void TFTessarc::InitVGL() {
    vue_->InitVGL();
}

void TFTessarc::AfficherPremierePage() {
    AfficherPage(0);
    PCavctChange();
    vue_->Camera().VuePlanXY = false;
}

void TFTessarc::AppliquerCadrage(const TCadrage& cadrage) {
    vue_->Camera().AppliquerCadrage(cadrage);
    vue_->OrienterVue(1);
}

void TFTessarc::CurseurAttente() {
    tessarc::CurseurAttente();
}

void TFTessarc::CurseurPrecedent() {
    tessarc::CurseurPrecedent();
}

} // namespace tessarc
