// The page controller: back any number of pages, forward one at a time, the Triangulation page only
// with grid points, the result sheet on "Modèle".

#include "FauxDialogues.h"
#include "PagesMaillage.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace tessarc;

namespace {

class Pages : public testing::Test {
protected:
    TFauxDialogues faux;
    TFTessarc fenetre{faux.Dialogues()};
    QTabWidget* pages = fenetre.findChild<QTabWidget*>("PCavct");
    QStackedWidget* affichage = fenetre.findChild<QStackedWidget*>("PCaffi");

    // What a click on a tab does.
    void Cliquer(int page) { pages->setCurrentIndex(page); }
    [[nodiscard]] QString Feuille() const { return affichage->currentWidget()->objectName(); }

    // "Modèle" cannot be reached before the grid exists; the controller is driven as the tab control
    // would after the page "Triangulation".
    void EntrerModeleDepuisTriangulation() {
        fenetre.PCavctChanging(3);
        {
            const QSignalBlocker silence(pages);
            pages->setCurrentIndex(4);
        }
        fenetre.PCavctChange();
    }
};

TEST_F(Pages, ForwardOnlyOnePageAtATime) {
    Cliquer(2);
    EXPECT_EQ(fenetre.PageActive(), 0);
    Cliquer(1);
    EXPECT_EQ(fenetre.PageActive(), 1);
    Cliquer(3);
    EXPECT_EQ(fenetre.PageActive(), 1) << "page 3 from page 1 is refused";
    Cliquer(4);
    EXPECT_EQ(fenetre.PageActive(), 1);
    Cliquer(2);
    EXPECT_EQ(fenetre.PageActive(), 2);
}

TEST_F(Pages, TriangulationRefusedWithoutGridPoints) {
    Cliquer(1);
    Cliquer(2);
    Cliquer(3);
    EXPECT_EQ(fenetre.PageActive(), 2);
    EXPECT_EQ(fenetre.ongletactif, 2);
}

TEST_F(Pages, BackAlwaysAllowed) {
    Cliquer(1);
    Cliquer(2);
    Cliquer(0);
    EXPECT_EQ(fenetre.PageActive(), 0);

    EntrerModeleDepuisTriangulation();
    EXPECT_EQ(fenetre.PageActive(), 4);
    Cliquer(0);
    EXPECT_EQ(fenetre.PageActive(), 0);
    EXPECT_EQ(Feuille(), "TSvgl");
}

TEST_F(Pages, ResultSheetOnModelPageOnly) {
    EXPECT_EQ(Feuille(), "TSvgl");
    Cliquer(1);
    EXPECT_EQ(Feuille(), "TSvgl");
    EntrerModeleDepuisTriangulation();
    EXPECT_EQ(Feuille(), "TSresul");
    Cliquer(2);
    EXPECT_EQ(Feuille(), "TSvgl");
}

TEST_F(Pages, EveryChangeEndsBoundaryInputAndTheTopViewLock) {
    Cliquer(1);
    EXPECT_TRUE(fenetre.Vue().Camera().VuePlanXY);
    fenetre.findChild<QAbstractButton*>("SBsaisirFront")->click();
    EXPECT_TRUE(fenetre.Vue().Etat().FrontiereEnCours);
    EXPECT_TRUE(fenetre.findChild<QAbstractButton*>("SBsaisirFront")->isChecked());
    Cliquer(0);
    EXPECT_FALSE(fenetre.Vue().Etat().FrontiereEnCours);
    EXPECT_FALSE(fenetre.Vue().Camera().VuePlanXY);
    Cliquer(1);
    EXPECT_FALSE(fenetre.Vue().Etat().FrontiereEnCours) << "coming back does not turn input on";
    EXPECT_FALSE(fenetre.findChild<QAbstractButton*>("SBsaisirFront")->isChecked());
    EXPECT_EQ(fenetre.findChild<QComboBox*>("CmBxNumPtFront")->currentIndex(), -1);
}

TEST_F(Pages, ModelPageEmptiesTheMemoAndLocksTheTabsUntilAComputation) {
    auto* memo = fenetre.findChild<QPlainTextEdit*>("MmResul");
    auto* noeuds = fenetre.findChild<QAbstractButton*>("TCresulNoeuds");
    memo->setPlainText("ancien");
    EntrerModeleDepuisTriangulation();
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    EXPECT_TRUE(fenetre.Pages().Modele().ResulGen().isEmpty());
    noeuds->click();
    EXPECT_FALSE(noeuds->isChecked()) << "no tab before the first computation";
    EXPECT_EQ(fenetre.Pages().Modele().OngletResultat(), -1);
}

} // namespace
