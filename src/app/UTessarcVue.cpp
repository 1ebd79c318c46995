// Menus "Orientation", "Couleurs" and "rafraichir", the view's check boxes and level list, and the
// redraw requests every unit uses.

#include "UTessarc.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>

#include <algorithm>

namespace tessarc {

void TFTessarc::MiVueClick() {
    if (const auto* action = qobject_cast<const QAction*>(sender())) OrienterVue(action->data().toInt());
}

void TFTessarc::MiCouleurDuFondClick() {
    if (const auto couleur = Dlg.Couleur(this, CouleurFond)) CouleurFond = *couleur;
    RetracerTout();
}

// Defines the forced colour without switching to it.
void TFTessarc::MiCoulPtsDefinirClick() {
    if (const auto couleur = Dlg.Couleur(this, CouleurPoints)) CouleurPoints = *couleur;
    RetracerTout();
}

void TFTessarc::MiCoulPtsForceeClick() {
    CouleurForcee = true;
    RetracerTout();
}

void TFTessarc::MiCoulPtsNaturelleClick() {
    CouleurForcee = false;
    RetracerTout();
}

void TFTessarc::rafraichir1Click() {
    RetracerTout();
}

void TFTessarc::CkBxVoirClick() {
    RetracerTout();
}

void TFTessarc::CmBxNivAffChange(int index) {
    ChangerNivAffiche(index);
}

// The turned top view of the page "Nettoyage" is asked for until a preset or a mouse turn.
void TFTessarc::BtRotClick() {
    BtRot->setProperty("tag", 1);
    VGL->update();
}

void TFTessarc::OrienterVue(int tag) {
    OrienterCamera(tag);
    BtRot->setProperty("tag", 0);
    VGL->update();
}

// A level above the deepest of the tree shows the deepest; the list keeps its five entries.
void TFTessarc::ChangerNivAffiche(int niveau) {
    niveau = std::clamp(niveau, 0, NivMaxDocument());
    {
        const QSignalBlocker silence(CmBxNivAff);
        CmBxNivAff->setCurrentIndex(niveau);
    }
    AppliquerNiveauDocument(niveau);
    RetracerTout();
}

// Only while the 3D sheet is shown.
void TFTessarc::RetracerTout() {
    if (PCaffi->currentWidget() != TSvgl) return;
    InvaliderListesVue(true);
    VGL->update();
    VGL->setFocus();
}

void TFTessarc::RetracerPoints() {
    InvaliderListesVue(false);
    VGL->update();
    if (VGL->isVisible()) VGL->setFocus();
}

} // namespace tessarc
