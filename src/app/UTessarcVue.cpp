// The 3D view of the window, the menus "Orientation", "Couleurs" and "rafraichir", the view's check
// boxes, level list and turned top view, and the redraw requests every unit uses. The view owns its
// camera, scene state and colours; the handlers here write them there.

#include "PagesMaillage.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace tessarc {

namespace {

TColor VersCouleur(const QColor& c) {
    return FaireCouleur(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                        static_cast<std::uint8_t>(c.blue()));
}

QColor VersQColor(TColor c) {
    return {RougeDe(c), VertDe(c), BleuDe(c)};
}

// A cancelled dialog keeps the colour.
void ChoisirCouleur(const TDialogues& dlg, QWidget* parent, TColor& couleur) {
    if (const auto choix = dlg.Couleur(parent, VersQColor(couleur))) couleur = VersCouleur(*choix);
}

} // namespace

void TFTessarc::CreerVue(QWidget* parent) {
    VGL = new TSetupGL(parent);
    VGL->setObjectName(QStringLiteral("VGL"));
    VGL->setFocusPolicy(Qt::StrongFocus);
    TVue3D::ConfigurerVGL(*VGL);
    vue_ = std::make_unique<TVue3D>(*VGL);
    canalVue_ = CreerCanalVue();

    TEtatScene& etat = vue_->Etat();
    etat.Nuage = &doc_.Nuage;
    etat.Maillage = &doc_.Maillage;
    etat.ScanPret = &doc_.ScanPret;
    etat.Decalage = &doc_.Decalage;
    etat.Utilisateur = canalVue_.get();
    // The view waits inside a paint: the utility's hourglass lets events run, which a paint must not.
    etat.CurseurAttente = [] { QGuiApplication::setOverrideCursor(Qt::WaitCursor); };
    etat.CurseurPrecedent = [] { QGuiApplication::restoreOverrideCursor(); };
    vue_->SurPiqueAxeX = [this](TCube& cube) { PiqueAxeX(cube); };
    vue_->SurSelection = [this](std::size_t nouveaux) { AfficherSelectionRectangle(nouveaux); };
    // Boundary points added by a click are for the meshing pages: SurPointFrontiere is theirs to set.
}

bool TFTessarc::FormMouseWheel(QWheelEvent& molette) {
    const QWidget* sous = childAt(molette.position().toPoint());
    const QWidget* memo = pages_->Modele().Memo();
    if (sous != nullptr && (sous == memo || memo->isAncestorOf(sous))) return false;
    vue_->FormMouseWheel(molette);
    return true;
}

void TFTessarc::MiVueClick() {
    if (const auto* action = qobject_cast<const QAction*>(sender()))
        vue_->OrienterVue(action->data().toInt());
}

void TFTessarc::MiCouleurDuFondClick() {
    ChoisirCouleur(Dlg, this, vue_->Reglages().CouleurFond);
    RetracerTout();
}

// Defines the forced colour without switching to it.
void TFTessarc::MiCoulPtsDefinirClick() {
    ChoisirCouleur(Dlg, this, vue_->Reglages().CouleurPoints);
    RetracerTout();
}

void TFTessarc::MiCoulPtsForceeClick() {
    vue_->Reglages().CouleurForcee = true;
    RetracerTout();
}

void TFTessarc::MiCoulPtsNaturelleClick() {
    vue_->Reglages().CouleurForcee = false;
    RetracerTout();
}

void TFTessarc::rafraichir1Click() {
    RetracerTout();
}

void TFTessarc::CkBxVoirClick() {
    RetracerTout();
}

// The document lowers a level above the deepest of the tree and redraws.
void TFTessarc::CmBxNivAffChange(int index) {
    doc_.ChangerNivAffiche(index);
}

// The turned top view of the page "Nettoyage" is asked for until a preset or a mouse turn.
void TFTessarc::BtRotClick() {
    vue_->Camera().TagBtRot = 1;
    vue_->Repeindre();
}

void TFTessarc::NivAfficheChoisi(int niveau) {
    const QSignalBlocker silence(CmBxNivAff);
    CmBxNivAff->setCurrentIndex(niveau);
}

// Repaints and focuses only while the 3D sheet is shown; the lists are discarded either way.
void TFTessarc::RetracerTout() {
    vue_->RetracerTout();
}

void TFTessarc::RetracerPoints() {
    vue_->RetracerPoints();
}

} // namespace tessarc
