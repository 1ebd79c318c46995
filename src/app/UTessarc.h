#pragma once
// The main window TFTessarc: the row of work pages, the 3D view or the result text, the two-panel
// status line and the main menu. It owns the document and the view. Its handlers live in one file per
// menu or page: UTessarcFichiers.cpp (Fichiers, Propriétés, settings, start-up and closing),
// UTessarcVue.cpp (the view, Orientation, Couleurs, rafraichir, the redraw requests),
// UTessarcSelection.cpp (Sélection, Définir axe X, Esc), UTessarcUtilisateur.cpp (the window as the
// user's channel: status line, cancel question, boxes), UTessarcMaillage.cpp (the page controller; the
// meshing pages build their own widgets, PagesMaillage.h), UTessarcAide.cpp (Aide). Widgets are owned
// by their Qt parents.

#include "Dialogues.h"
#include "Document.h"
#include "Utilisateur.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>
#include <string>

class QAction;
class QComboBox;
class QKeyEvent;
class QLabel;
class QStackedWidget;
class QTabWidget;
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

class TFTessarc final : public QMainWindow, public IUtilisateur, public IFenetreDocument {
    Q_OBJECT

public:
    explicit TFTessarc(TDialogues dialogues = TDialogues::Standard(), QWidget* parent = nullptr);
    ~TFTessarc() override;

    // The user's channel. Status panel 0 (400 px) or 1 (the rest); empty text clears it. Asks "Annuler?"
    // first when Esc was pressed, and throws EStopError on Yes. Lets pending events run, so that the
    // window repaints and Esc is seen during long work.
    void AffiInfo(int panneau, const std::string& texte) override;
    // The message and question boxes of the window's dialogs.
    void Message(const std::string& texte) override;
    [[nodiscard]] TReponse Question(const std::string& texte) override;
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

    // Window state read and written by the handlers of every unit. The view's state (camera, scene,
    // colours, the X-axis step) is the view's own: Vue().
    bool InitDone = false;
    bool Echap = false;      // Esc pressed and not yet acknowledged
    std::string svgetatmenu; // saved menu state while the menu is locked, else empty
    int ongletactif = 0;     // work page left by the last page change
    TV3S NvCooOrig{};        // the two X-axis picks, copied: the tree may change under them
    TV3S NvCooX{};

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
    QWidget* CreerBandeau();
    QWidget* CreerPageNettoyage();
    QWidget* CreerAffichage();
    QWidget* CreerBarreEtat();
    void CreerMenu();
    QAction* AjouterCommande(QWidget* menu, const QString& texte, const char* nom,
                             void (TFTessarc::*gestionnaire)());

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

    // The view, Orientation, Couleurs and the redraw requests (UTessarcVue.cpp).
    void CreerVue(QWidget* parent);
    void RetracerPoints();
    // The wheel anywhere over the window zooms, but over the result text, which it scrolls; true when
    // taken.
    bool FormMouseWheel(QWheelEvent& molette);

    // The channel of the view's paint and mouse handlers (UTessarcUtilisateur.cpp).
    [[nodiscard]] std::unique_ptr<IUtilisateur> CreerCanalVue();

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
    std::unique_ptr<IUtilisateur> canalVue_; // the view's: no event pumping inside a paint
    TWinReg* WR = nullptr;                   // owned by the window (Qt parent)
    int travaux_ = 0;                        // long work running (nested count)
    QString FichierDemarrage;

    QWidget* PnFen = nullptr;
    QWidget* PnTop = nullptr;
    QTabWidget* PCavct = nullptr;
    QComboBox* CmBxNivAff = nullptr;
    QStackedWidget* PCaffi = nullptr;
    QWidget* TSvgl = nullptr;
    TSetupGL* VGL = nullptr;
    std::array<QLabel*, 2> PanneauxInfo{};
};

} // namespace tessarc
