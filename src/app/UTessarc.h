#pragma once
// The main window TFTessarc: the row of work pages, the 3D view or the result text, the two-panel
// status line and the main menu. Its handlers live in one file per menu or page:
// UTessarcFichiers.cpp (Fichiers, Propriétés, start-up and closing), UTessarcVue.cpp (Orientation,
// Couleurs, rafraichir, the view's redraw requests), UTessarcSelection.cpp (Sélection, Définir axe X,
// Esc and the status line), UTessarcMaillage.cpp (the page controller, Triangulation and the result
// sheet), UTessarcAide.cpp (Aide); UTessarcLiaisons.cpp holds what the window asks of the document,
// view, settings and meshing libraries. Widgets are owned by their Qt parents.

#include "Dialogues.h"
#include "Progression.h"

#include <QColor>
#include <QMainWindow>
#include <QString>

#include <array>
#include <string>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTabWidget;
class QToolButton;

namespace tessarc {

// The commands of the menu "Sélection" that work on the cubes of the displayed level.
enum class TCommandeSelection {
    Deselectionner,
    MasquerSelection,
    Demasquer,
    InverserMasque,
    SupprimerSelection,
    SupprimerPointsMasques,
    AnnulerSuppressions,
};

class TFTessarc final : public QMainWindow, public IProgression {
    Q_OBJECT

public:
    explicit TFTessarc(TDialogues dialogues = TDialogues::Standard(), QWidget* parent = nullptr);
    ~TFTessarc() override;

    // Status panel 0 (400 px) or 1 (the rest); empty text clears it. Asks "Annuler?" first when Esc was
    // pressed, and throws EStopError on Yes. Lets pending events run, so that the window repaints and
    // Esc is seen during long work.
    void AffiInfo(int panneau, const std::string& texte) override;
    // False unless Esc was pressed; then clears Echap and asks "Annuler?": true on Yes.
    [[nodiscard]] bool DemandeAbandon();
    [[nodiscard]] QString TexteStatut(int panneau) const;

    // A file named on the command line, opened after start-up as "Ouvrir" does, without the dialog.
    void OuvrirAuDemarrage(const QString& nom) { FichierDemarrage = nom; }
    // The work page shown (0 "Nettoyage" .. 4 "Modèle").
    [[nodiscard]] int PageActive() const;
    // Esc: every other key passes untouched.
    void FormKeyPress(const QKeyEvent& touche);
    // A result tab may be chosen only once a model was computed.
    [[nodiscard]] bool TCresulChanging() const;

    // Window state read and written by the handlers of every unit.
    bool InitDone = false;
    QString DernierScan;   // folder of the last scan opened, initial folder of the open dialog
    QString PFsansext;     // path of the current document without its extension
    bool ScanPret = false; // a scan is loaded and may be drawn and saved
    bool Echap = false;    // Esc pressed and not yet acknowledged
    int ModeDefinirAxeX = 0;
    std::string svgetatmenu; // saved menu state while the menu is locked, else empty
    bool FrontiereEnCours = false;
    bool VuePlanXY = false;
    int ongletactif = 0; // work page left by the last page change
    QString ResulGen;
    QString ResulNds;
    QString ResulElts;
    bool DonneesModifiees = false; // deletions pending: drives the save question
    QColor CouleurFond{0, 0, 0};
    QColor CouleurPoints{0, 0, 0};
    bool CouleurForcee = false;

public slots:
    void DemarrageDiffere();

    void MiOuvrirClick();
    void MiEnregistrerClick();
    void MiEnregistrerSousClick();
    void MiEnregistrerLeNiveauAfficheClick();
    void MiVueClick();
    void MiDefinirAxeXClick();
    void MiDeselectionnerClick();
    void MiMasquerSelectionClick();
    void MiDemasquerClick();
    void MiInverserMasqueClick();
    void MiSupprimerSelectionClick();
    void MiSupprimerLesPointsMasquesClick();
    void MiAnnulerSuppressionsClick();
    void MiDefinirFrontiereClick();
    void MiTriangulerClick();
    void MiProprietesClick();
    void MiCouleurDuFondClick();
    void MiCoulPtsNaturelleClick();
    void MiCoulPtsForceeClick();
    void MiCoulPtsDefinirClick();
    void rafraichir1Click();
    void MiAideClick();

    void CkBxVoirClick();
    void CmBxNivAffChange(int index);
    void BtRotClick();
    void SBsaisirFrontClick();
    void TCresulChange(int onglet);
    void BtResulPPClick();

    // Page controller of the work pages: the page being left, then the page now shown.
    void PCavctChanging(int pageQuittee);
    void PCavctChange();

protected:
    void showEvent(QShowEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    // Construction of the component tree and of the menu.
    void CreerComposants();
    QWidget* CreerPageNettoyage();
    QWidget* CreerPageFrontiere();
    QWidget* CreerPageGrille();
    QWidget* CreerPageModele();
    QWidget* CreerFeuilleResultat();
    void CreerMenu();
    QAction* AjouterCommande(QWidget* menu, const QString& texte, const char* nom,
                             void (TFTessarc::*gestionnaire)());

    // Runs a command and shows any error's own text in a message box.
    template <typename F> void Commande(F&& travail);

    // Fichiers, start-up and closing (UTessarcFichiers.cpp).
    void OuvrirFichier(const QString& nomImpose = QString());
    void ChargerFichier(const QString& nom);
    void FinChargement();
    [[nodiscard]] bool FermerDocument();
    void ReinitialiserDocument();
    void EnregistrerFichier(int genre, int niveau);
    void EnregistrerSousNiveau(int niveau);
    [[nodiscard]] bool FormCloseQuery();
    void FormClose();
    void AfficherProprietes();

    // Orientation, Couleurs and the redraw requests (UTessarcVue.cpp).
    void RetracerTout();
    void RetracerPoints();
    void OrienterVue(int tag);
    void ChangerNivAffiche(int niveau);

    // Sélection, the X-axis menu lock, Esc (UTessarcSelection.cpp).
    void AppliquerCommandeSelection(TCommandeSelection commande);
    void VerrouillerMenu();
    void RestaurerMenu();
    [[nodiscard]] std::string EtatMenu() const;
    void AppliquerEtatMenu(const std::string& etat);

    // Page controller, Triangulation and the result sheet (UTessarcMaillage.cpp).
    void AfficherPage(int page);
    void EntrerPageFrontiere();
    void EntrerPageModele();
    void SelectionnerOngletResultat(int onglet);

    // Aide (UTessarcAide.cpp).
    void AfficherAide();

    // What the window asks of the document, view, settings and meshing libraries (UTessarcLiaisons.cpp).
    void LireDocument(const QString& nom);
    void EcrireDocument(int genre, int niveau);
    void ViderDocument();
    [[nodiscard]] QString RapportProprietes() const;
    [[nodiscard]] int NivMaxDocument() const;
    [[nodiscard]] int NivAfficheDocument() const;
    void AppliquerNiveauDocument(int niveau);
    void MarquerCubes(TCommandeSelection commande);
    void ChargerReglages();
    void RangerReglages();
    void InvaliderListesVue(bool toutes);
    void OrienterCamera(int tag);
    void PoserCurseurMire();
    void ViderFrontiere();
    [[nodiscard]] int NbPointsFrontiere() const;
    void EntrerPageGrille();
    [[nodiscard]] bool GrilleCalculee() const;
    void Trianguler();

    TDialogues Dlg;
    QString FichierDemarrage;
    int pageAffichee_ = 0;    // page of PCavct as the page controller last saw it
    int ongletResultat_ = -1; // tab of TCresul, -1 when none

    QWidget* PnFen = nullptr;
    QWidget* PnTop = nullptr;
    QCheckBox* CkBxVoirPoints = nullptr;
    QCheckBox* CkBxVoirSurface = nullptr;
    QTabWidget* PCavct = nullptr;
    QComboBox* CmBxNivAff = nullptr;
    QLineEdit* EdRotZ = nullptr;
    QPushButton* BtRot = nullptr;
    QToolButton* SBsaisirFront = nullptr;
    QComboBox* CmBxNumPtFront = nullptr;
    QLineEdit* EdPtFronX = nullptr;
    QLineEdit* EdPtFronY = nullptr;
    QPushButton* BtValidFr = nullptr;
    QLineEdit* EdOriGrilX = nullptr;
    QLineEdit* EdOriGrilY = nullptr;
    QLineEdit* EdTrameGrille = nullptr;
    QPushButton* BtValiderGrille = nullptr;
    QPushButton* BtCalcPointsGr = nullptr;
    QLineEdit* EdModNds = nullptr;
    QLineEdit* EdModElts = nullptr;
    QLineEdit* EdModZ = nullptr;
    QLineEdit* EdModRot = nullptr;
    QLineEdit* EdModTranches = nullptr;
    QPushButton* BtCalcModele = nullptr;
    QStackedWidget* PCaffi = nullptr;
    QWidget* TSvgl = nullptr;
    QWidget* PnVGL = nullptr;
    QWidget* VGL = nullptr;
    QWidget* TSresul = nullptr;
    QWidget* TCresul = nullptr;
    QButtonGroup* OngletsResul = nullptr;
    QPlainTextEdit* MmResul = nullptr;
    QPushButton* BtResulPP = nullptr;
    QWidget* PnBtns = nullptr;
    QWidget* PnInfo = nullptr;
    QStatusBar* SBinfo = nullptr;
    std::array<QLabel*, 2> PanneauxInfo{};
};

template <typename F> void TFTessarc::Commande(F&& travail) {
    try {
        travail();
    } catch (const std::exception& e) {
        Dlg.Message(this, QString::fromUtf8(e.what()));
    }
}

} // namespace tessarc
