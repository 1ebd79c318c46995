#pragma once
// The main window TFTessarc: the row of work pages, the 3D view or the result text, the two-panel
// status line and the main menu. It owns the document and the view. Its handlers live in one file per
// menu or page: UTessarcFichiers.cpp (Fichiers, Propriétés, settings, start-up and closing),
// UTessarcVue.cpp (the view, Orientation, Couleurs, rafraichir, the redraw requests, the mouse),
// UTessarcSelection.cpp (Sélection, Définir axe X, Esc and the status line), UTessarcMaillage.cpp (the
// page controller, tied to the meshing pages of PagesMaillage.cpp), UTessarcAide.cpp (Aide). Widgets are
// owned by their Qt parents.

#include "Dialogues.h"
#include "Document.h"
#include "Progression.h"

#include <QColor>
#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>
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
class QWheelEvent;

namespace tessarc {

class TSetupGL;
class TPagesMaillage;
class TVue3D;
class TWinReg;

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

class TFTessarc final : public QMainWindow, public IProgression, public IFenetreDocument {
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

    // The document: cloud, meshing state, file name, flags (ScanPret, DonneesModifiees, DernierScan).
    [[nodiscard]] TDocument& Doc() { return doc_; }
    [[nodiscard]] TVue3D& Vue() { return *vue_; }
    [[nodiscard]] TPagesMaillage& Pages() { return *pages_; }
    [[nodiscard]] TWinReg& Reglages() { return *WR; }
    // Opens a file through the open command, without its dialog (command line, tests).
    void OuvrirFichier(const QString& nomImpose = QString());
    // True while a load, a save or the axis transform runs: menu and pages are off, closing is refused.
    [[nodiscard]] bool TravailEnCours() const { return travaux_ > 0; }

    // What the document asks of the window.
    void InitVGL() override;
    void AfficherPremierePage() override;
    void AppliquerCadrage(const TCadrage& cadrage) override;
    void NivAfficheChoisi(int niveau) override;
    void RetracerTout() override;
    void CurseurAttente() override;
    void CurseurPrecedent() override;
    TReponse Question(const std::string& texte) override;
    void Message(const std::string& texte) override;

    // Window state read and written by the handlers of every unit.
    bool InitDone = false;
    bool Echap = false; // Esc pressed and not yet acknowledged
    int ModeDefinirAxeX = 0;
    std::string svgetatmenu; // saved menu state while the menu is locked, else empty
    bool FrontiereEnCours = false;
    bool VuePlanXY = false;
    int ongletactif = 0; // work page left by the last page change
    TV3S NvCooOrig{};    // the two X-axis picks, copied: the tree may change under them
    TV3S NvCooX{};
    QColor CouleurFond{0, 0, 0};
    QColor CouleurPoints{0, 0, 0};
    bool CouleurForcee = false;

public Q_SLOTS:
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

    // Long work: the menu bar, the check boxes and the work pages are off for its lifetime.
    class TTravail {
    public:
        explicit TTravail(TFTessarc& f);
        ~TTravail();
        TTravail(const TTravail&) = delete;
        TTravail& operator=(const TTravail&) = delete;

    private:
        TFTessarc& f_;
    };

    // Fichiers, settings, start-up and closing (UTessarcFichiers.cpp).
    void CreerReglages();
    [[nodiscard]] bool FermerDocument();
    // A save compacts the tree when deletions are pending: the picked cubes go first.
    void OublierCubesCompactes();
    void EnregistrerSousNiveau(int niveau);
    [[nodiscard]] bool FormCloseQuery();
    void FormClose();

    // The view, Orientation, Couleurs, the redraw requests and the mouse (UTessarcVue.cpp).
    void CreerVue(QWidget* parent);
    // Copies the window's state into the view's before it draws or handles the mouse.
    void SynchroniserVue();
    void RetracerPoints();
    void OrienterVue(int tag);
    void ChangerNivAffiche(int niveau);
    void VGLMouseDown(int X, int Y);
    void VGLMouseMove(Qt::MouseButtons boutons, bool shift, int X, int Y);
    void VGLMouseUp(int X, int Y);
    // The wheel anywhere over the window zooms, but over the result text, which it scrolls; true when
    // taken.
    bool FormMouseWheel(QWheelEvent& molette);

    // Sélection, the X-axis picks and menu lock, Esc (UTessarcSelection.cpp).
    void AppliquerCommandeSelection(TCommandeSelection commande);
    void AfficherSelectionRectangle(std::size_t nouveaux);
    void PiqueAxeX(const TCube& cube);
    void AppliquerAxeXFenetre();
    void RestaurerMenu();

    // Page controller and Triangulation (UTessarcMaillage.cpp); the meshing pages' own work is in
    // TPagesMaillage.
    void AfficherPage(int page);
    void CreerPagesMaillage();

    // Aide (UTessarcAide.cpp).
    void AfficherAide();

    TDialogues Dlg;
    TDocument doc_;
    std::unique_ptr<TVue3D> vue_;
    std::unique_ptr<TPagesMaillage> pages_;
    std::unique_ptr<IProgression> statutVue_; // status line of the view: no event pumping inside paint
    TWinReg* WR = nullptr;                    // owned by the window (Qt parent)
    int travaux_ = 0;                         // long work running (nested count)
    QString FichierDemarrage;
    int pageAffichee_ = 0; // page of PCavct as the page controller last saw it

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
    QPushButton* BtExporterMaillage = nullptr;
    QStackedWidget* PCaffi = nullptr;
    QWidget* TSvgl = nullptr;
    QWidget* PnVGL = nullptr;
    TSetupGL* VGL = nullptr;
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
