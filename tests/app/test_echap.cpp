// The status line, its cancel question, Esc and the menu lock of "Définir axe X".

#include "FauxDialogues.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using namespace tessarc;

namespace {

class Echap : public testing::Test {
protected:
    TFauxDialogues faux;
    TFTessarc fenetre{faux.Dialogues()};

    void SetUp() override {
        fenetre.show();
        QCoreApplication::processEvents();
        faux.messages.clear();
    }

    // Through the window's platform window, as a real key press arrives.
    void Appuyer(Qt::Key touche) { QTest::keyClick(fenetre.windowHandle(), touche); }

    [[nodiscard]] QAction* Action(const char* nom) const {
        return fenetre.findChild<QAction*>(QString::fromLatin1(nom));
    }

    // Enabled menu items, submenus included.
    [[nodiscard]] static int NbActives(const QList<QAction*>& actions) {
        int n = 0;
        for (const QAction* a : actions) {
            if (a->isEnabled() && !a->isSeparator()) ++n;
            if (a->menu()) n += NbActives(a->menu()->actions());
        }
        return n;
    }
    [[nodiscard]] int NbActionsActives() const { return NbActives(fenetre.menuBar()->actions()); }
};

TEST_F(Echap, EscWithNothingRunningWaitsForTheNextStatusUpdate) {
    Appuyer(Qt::Key_Escape);
    EXPECT_TRUE(fenetre.Echap);
    EXPECT_TRUE(faux.questions.empty()) << "nothing visible happens";

    faux.reponses = {TReponse::Non};
    fenetre.AffiInfo(1, "lecture : 40%");
    ASSERT_EQ(faux.questions.size(), 1u);
    EXPECT_EQ(faux.questions[0], "Annuler?");
    EXPECT_EQ(fenetre.TexteStatut(1), "lecture : 40%") << "No goes on";
    EXPECT_FALSE(fenetre.Echap);

    fenetre.AffiInfo(1, "lecture : 41%");
    EXPECT_EQ(faux.questions.size(), 1u) << "asked once per Esc";
}

TEST_F(Echap, YesAbandonsWithEStopError) {
    fenetre.AffiInfo(1, "lecture : 40%");
    Appuyer(Qt::Key_Escape);
    faux.reponses = {TReponse::Oui};
    try {
        fenetre.AffiInfo(1, "lecture : 41%");
        FAIL() << "EStopError expected";
    } catch (const EStopError& e) {
        EXPECT_STREQ(e.what(), "abandon");
    }
    EXPECT_EQ(fenetre.TexteStatut(1), "lecture : 40%");
    EXPECT_FALSE(fenetre.Echap);
}

TEST_F(Echap, ClosingTheQuestionBoxGoesOn) {
    fenetre.Echap = true;
    faux.reponses = {TReponse::Annuler};
    EXPECT_NO_THROW(fenetre.AffiInfo(0, "x"));
    EXPECT_EQ(fenetre.TexteStatut(0), "x");
}

TEST_F(Echap, OtherKeysPassUntouched) {
    Appuyer(Qt::Key_A);
    Appuyer(Qt::Key_Return);
    EXPECT_FALSE(fenetre.Echap);
}

TEST_F(Echap, DefineXAxisLocksTheWholeMenu) {
    const int actives = NbActionsActives();
    Action("MiDefinirAxeX")->trigger();
    EXPECT_EQ(fenetre.Vue().Etat().ModeDefinirAxeX, 1);
    EXPECT_EQ(fenetre.TexteStatut(1), "Saisir le point origine (échap pour annuler)");
    EXPECT_FALSE(fenetre.svgetatmenu.empty());
    EXPECT_EQ(NbActionsActives(), 0);
    EXPECT_GT(actives, 20);
}

TEST_F(Echap, EscAnsweredNoGivesTheMenuBack) {
    Action("MiTrianguler")->setEnabled(false);
    const int actives = NbActionsActives();
    Action("MiDefinirAxeX")->trigger();

    faux.reponses = {TReponse::Non};
    Appuyer(Qt::Key_Escape);
    EXPECT_EQ(faux.questions.size(), 1u) << "the lock's release asks at once";
    EXPECT_EQ(fenetre.Vue().Etat().ModeDefinirAxeX, 0);
    EXPECT_EQ(NbActionsActives(), actives);
    EXPECT_FALSE(Action("MiTrianguler")->isEnabled()) << "an item disabled before stays disabled";
    EXPECT_TRUE(fenetre.TexteStatut(1).isEmpty());
    EXPECT_TRUE(fenetre.svgetatmenu.empty());
    EXPECT_FALSE(fenetre.Echap);
    EXPECT_TRUE(faux.messages.empty());
}

TEST_F(Echap, EscAnsweredYesShowsAbandonAndKeepsTheSavedState) {
    const int actives = NbActionsActives();
    Action("MiDefinirAxeX")->trigger();
    const std::string etat = fenetre.svgetatmenu;

    faux.reponses = {TReponse::Oui};
    Appuyer(Qt::Key_Escape);
    EXPECT_EQ(NbActionsActives(), actives) << "the menu is back whatever the answer";
    ASSERT_EQ(faux.messages.size(), 1u);
    EXPECT_EQ(faux.messages[0], "abandon");
    EXPECT_EQ(fenetre.TexteStatut(1), "Saisir le point origine (échap pour annuler)");
    EXPECT_EQ(fenetre.svgetatmenu, etat);
    EXPECT_EQ(fenetre.Vue().Etat().ModeDefinirAxeX, 0);

    faux.reponses = {TReponse::Non};
    Appuyer(Qt::Key_Escape);
    EXPECT_EQ(faux.questions.size(), 2u);
    EXPECT_TRUE(fenetre.svgetatmenu.empty());
    EXPECT_TRUE(fenetre.TexteStatut(1).isEmpty());
    EXPECT_EQ(NbActionsActives(), actives);
}

TEST_F(Echap, PendingEscAsksBeforeDefiningTheAxis) {
    Appuyer(Qt::Key_Escape);
    faux.reponses = {TReponse::Oui};
    Action("MiDefinirAxeX")->trigger();
    EXPECT_EQ(faux.questions.size(), 1u);
    ASSERT_EQ(faux.messages.size(), 1u);
    EXPECT_EQ(faux.messages[0], "abandon");
    EXPECT_TRUE(fenetre.svgetatmenu.empty()) << "the menu is not locked after an abandon";
    EXPECT_EQ(fenetre.Vue().Etat().ModeDefinirAxeX, 0) << "no pick waits behind an unlocked menu";
    EXPECT_GT(NbActionsActives(), 0);
}

} // namespace
