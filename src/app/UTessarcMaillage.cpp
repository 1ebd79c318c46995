// The page controller of the work pages, menu "Triangulation", the boundary input button and the
// result sheet of the page "Modèle". The work of the meshing pages is done elsewhere: the entries below
// (EntrerPageFrontiere, EntrerPageGrille, Trianguler, EntrerPageModele and the button handlers) only keep
// the window's side.

#include "Nombres.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

namespace tessarc {

// Shows a page from the program: the page controller is not told.
void TFTessarc::AfficherPage(int page) {
    const QSignalBlocker silence(PCavct);
    PCavct->setCurrentIndex(page);
    pageAffichee_ = page;
}

void TFTessarc::PCavctChanging(int pageQuittee) {
    ongletactif = pageQuittee;
}

// Back any number of pages, forward one at a time, and into "Triangulation" only once the grid points
// exist; entering a page starts its work.
void TFTessarc::PCavctChange() {
    const int page = PCavct->currentIndex();
    pageAffichee_ = page;
    if (page > ongletactif + 1 || (page == 3 && !GrilleCalculee())) {
        AfficherPage(ongletactif);
        return;
    }
    FrontiereEnCours = false;
    VuePlanXY = false;
    PCaffi->setCurrentWidget(page == 4 ? TSresul : TSvgl);
    switch (page) {
    case 1:
        EntrerPageFrontiere();
        break;
    case 2:
        EntrerPageGrille();
        break;
    case 3:
        Trianguler();
        break;
    case 4:
        EntrerPageModele();
        break;
    default:
        break;
    }
    RetracerTout();
}

// Top view, input off, the point list refilled "1" .. n with nothing selected.
void TFTessarc::EntrerPageFrontiere() {
    VuePlanXY = true;
    SBsaisirFront->setChecked(false);
    CmBxNumPtFront->clear();
    const auto n = static_cast<int>(doc_.Maillage.Frontiere.size());
    for (int i = 1; i <= n; ++i) CmBxNumPtFront->addItem(QString::fromStdString(FormatC("%d", i)));
    CmBxNumPtFront->setCurrentIndex(-1);
}

void TFTessarc::EntrerPageGrille() {
    VuePlanXY = true;
}

bool TFTessarc::GrilleCalculee() const {
    return doc_.Maillage.NbPointsModele > 0;
}

void TFTessarc::Trianguler() {}

void TFTessarc::EntrerPageModele() {
    MmResul->clear();
    SelectionnerOngletResultat(-1);
    ResulGen.clear();
}

void TFTessarc::MiDefinirFrontiereClick() {
    doc_.Maillage.Frontiere.clear();
    FrontiereEnCours = true;
    vue_->Repeindre();
}

void TFTessarc::SBsaisirFrontClick() {
    FrontiereEnCours = !FrontiereEnCours;
    SBsaisirFront->setChecked(FrontiereEnCours);
    vue_->Repeindre();
}

void TFTessarc::MiTriangulerClick() {
    Trianguler();
    RetracerTout();
}

// A result tab opens only once a model was computed.
bool TFTessarc::TCresulChanging() const {
    return !ResulGen.isEmpty();
}

void TFTessarc::TCresulChange(int onglet) {
    if (!TCresulChanging()) {
        SelectionnerOngletResultat(ongletResultat_);
        return;
    }
    ongletResultat_ = onglet;
    MmResul->setPlainText(onglet == 0 ? ResulGen : onglet == 1 ? ResulNds : ResulElts);
}

void TFTessarc::SelectionnerOngletResultat(int onglet) {
    ongletResultat_ = onglet;
    OngletsResul->setExclusive(false);
    for (QAbstractButton* bouton : OngletsResul->buttons())
        bouton->setChecked(OngletsResul->id(bouton) == onglet);
    OngletsResul->setExclusive(true);
}

void TFTessarc::BtResulPPClick() {
    QGuiApplication::clipboard()->setText(MmResul->toPlainText());
}

} // namespace tessarc
