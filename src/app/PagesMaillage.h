#pragma once
// The meshing work pages of the main window: "Frontière", "Grille de capture", "Triangulation" and
// "Modèle" with its result sheet. The widgets are found by name under the window, so the window only
// builds them; every handler reads the boxes, calls the meshing core and asks for a redraw.

#include "Dialogues.h"
#include "Maillage.h"
#include "Modele.h"
#include "UTessarcGlb.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tessarc {

// What the pages ask of the window.
struct TLiensPagesMaillage {
    std::function<void()> RetracerTout;                            // drop the view's lists and repaint
    std::function<void()> Repeindre;                               // repaint only
    std::function<void(int panneau, const std::string&)> AffiInfo; // status line; may throw on Esc
    std::function<void(const QString&)> Message;                   // plain message box
    // The checks of the page in the wide status panel, shown again whenever that panel is cleared,
    // until the next page; an empty text ends them.
    std::function<void(const std::string&)> Controle;
    // Save dialog for the exports; nothing when cancelled.
    std::function<std::optional<TChoixEnregistrement>(const QString& filtre)> NomExport;
};

// The export dialog's types: Gmsh mesh, VTK mesh, plan picture, plan picture with node numbers.
[[nodiscard]] QString FiltreExport();

// The window's view state that the pages set.
struct TEtatVueMaillage {
    bool& FrontiereEnCours;
    bool& VuePlanXY;
    int& PointFrontiereChoisi; // item of the boundary point list, -1 for none
};

// Owned by the window beside its widgets; a QObject only so that its connections end with it.
class TPagesMaillage final : public QObject {
public:
    // Throws std::logic_error naming the first widget missing under `racine`.
    TPagesMaillage(QWidget& racine, TNuage& nuage, TMaillage& maillage, TLiensPagesMaillage liens,
                   TEtatVueMaillage etat);

    // Back any number of pages, forward one at a time, Triangulation only once the grid points exist.
    // When refused, the window shows `pageQuittee` again and does nothing else.
    [[nodiscard]] bool Accepter(int pageQuittee, int page) const;
    // After an accepted change and once the window shows the view or the result sheet: input off, the
    // page's own entry work, then the whole view redrawn.
    void EntrerPage(int page);

    // Menu "Triangulation".
    void MiDefinirFrontiereClick();
    void MiTriangulerClick();
    // The view appended boundary point i after a click.
    void SurPointFrontiere(std::size_t i, const TV3S& p);

    [[nodiscard]] const QString& ResulGen() const { return resulGen_; }
    [[nodiscard]] const QString& ResulNds() const { return resulNds_; }
    [[nodiscard]] const QString& ResulElts() const { return resulElts_; }
    // Tab of TCresul shown, -1 for none.
    [[nodiscard]] int OngletResultat() const { return ongletResultat_; }

private:
    void SBsaisirFrontClick();
    void CmBxNumPtFrontCloseUp(int i);
    void BtValidFrClick();
    void BtValiderGrilleClick();
    void BtCalcPointsGrClick();
    void BtCalcModeleClick();
    void BtExporterMaillageClick();
    void TCresulChange(int onglet);
    void BtResulPPClick();

    void EntrerPageFrontiere();
    void EntrerPageGrille();
    void EntrerPageModele();
    void Trianguler();
    void RemplirPointsFrontiere(int choisi);
    void AfficherPointFrontiere(int i);
    void SelectionnerOngletResultat(int onglet);
    // Runs a handler; an error (Esc answered Yes included) goes to a message box.
    template <typename F> void Commande(F&& travail);

    TNuage& nuage_;
    TMaillage& maillage_;
    TLiensPagesMaillage liens_;
    TEtatVueMaillage etat_;
    QString resulGen_;
    QString resulNds_;
    QString resulElts_;
    TModeleNumerote modele_;
    int ongletResultat_ = -1;

    QAbstractButton* SBsaisirFront;
    QComboBox* CmBxNumPtFront;
    QLineEdit* EdPtFronX;
    QLineEdit* EdPtFronY;
    QLineEdit* EdOriGrilX;
    QLineEdit* EdOriGrilY;
    QLineEdit* EdTrameGrille;
    QLineEdit* EdModNds;
    QLineEdit* EdModElts;
    QLineEdit* EdModZ;
    QLineEdit* EdModRot;
    QLineEdit* EdModTranches;
    QButtonGroup* OngletsResul;
    QPlainTextEdit* MmResul;
};

} // namespace tessarc
