#include "DlphUtil.h"
#include "VerrousFichiers.h"

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tessarc;

namespace {

class Curseurs : public ::testing::Test {
protected:
    void SetUp() override { DemarrerUtilitaires(); }
    void TearDown() override {
        while (!PileCurseurs().empty()) CurseurPrecedent();
        DefinirCurseurEcran(crDefaut);
    }
    static Qt::CursorShape Forme() {
        const QCursor* c = QGuiApplication::overrideCursor();
        return c == nullptr ? Qt::CustomCursor : c->shape();
    }
};

} // namespace

TEST_F(Curseurs, NestedWaitsGiveBackTheCursorShownBefore) {
    DefinirCurseurEcran(-3);
    CurseurAttente();
    CurseurAttente();
    EXPECT_EQ(PileCurseurs(), "-11 -3 ");
    EXPECT_EQ(Forme(), Qt::WaitCursor);
    CurseurPrecedent();
    EXPECT_EQ(Forme(), Qt::WaitCursor);
    CurseurPrecedent();
    EXPECT_EQ(Forme(), Qt::CrossCursor);
    EXPECT_EQ(CurseurEcran(), -3);
    EXPECT_TRUE(PileCurseurs().empty());

    DefinirCurseurEcran(crDefaut);
    CurseurAttente();
    CurseurPrecedent();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); // no override left behind
}

TEST_F(Curseurs, AnEmptyStackChangesNothing) {
    DefinirCurseurEcran(-21);
    CurseurPrecedent();
    EXPECT_EQ(Forme(), Qt::PointingHandCursor);
    EXPECT_EQ(CurseurEcran(), -21);
}

TEST_F(Curseurs, OwnCursorsComeFromEmbeddedImages) {
    for (int numero = crAttente00; numero < crAttente00 + 10; ++numero) {
        const QCursor c = CurseurNumero(numero);
        ASSERT_EQ(c.shape(), Qt::BitmapCursor) << numero;
        EXPECT_EQ(c.pixmap().size(), QSize(32, 32)) << numero;
        EXPECT_EQ(c.hotSpot(), QPoint(15, 15));
        if (numero > crAttente00) {
            EXPECT_NE(c.pixmap().toImage(), CurseurNumero(numero - 1).pixmap().toImage());
        }
    }
    const QCursor mire = ChargerCurseurMire();
    EXPECT_EQ(mire.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(CurseurNumero(crMire).pixmap().toImage(), mire.pixmap().toImage());

    // A registered cursor survives the wait stack.
    DefinirCurseurEcran(crAttente00 + 5);
    CurseurAttente();
    CurseurPrecedent();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->pixmap().toImage(),
              CurseurNumero(crAttente00 + 5).pixmap().toImage());
}

TEST(VerrousFichiers, OneEmptyListRefreshedEveryFiveMinutes) {
    DemarrerUtilitaires();
    TVerrousFichiers* verrous = VerrousFichiers();
    ASSERT_NE(verrous, nullptr);
    DemarrerUtilitaires();
    EXPECT_EQ(VerrousFichiers(), verrous);
    EXPECT_TRUE(verrous->Fichiers().empty());
    EXPECT_TRUE(verrous->Minuterie().isActive());
    EXPECT_EQ(verrous->Minuterie().interval(), 300000);
    EXPECT_EQ(verrous->parent(), QCoreApplication::instance());
}

TEST(FicheProprietaire, ClimbsToTheNearestWindow) {
    QMainWindow fenetre;
    auto* panneau = new QWidget(&fenetre);
    auto* bouton = new QPushButton(panneau);
    QMenu* menu = fenetre.menuBar()->addMenu("Fichiers");
    QAction* action = menu->addAction("Ouvrir");
    QWidget dialogue(&fenetre, Qt::Dialog);
    auto* dansDialogue = new QPushButton(&dialogue);
    QObject orphelin;

    EXPECT_EQ(FicheProprietaire(bouton), &fenetre);
    EXPECT_EQ(FicheProprietaire(&fenetre), &fenetre);
    EXPECT_EQ(FicheProprietaire(action), &fenetre); // not the popup menu
    EXPECT_EQ(FicheProprietaire(dansDialogue), &dialogue);
    EXPECT_EQ(FicheProprietaire(&orphelin), nullptr);
    EXPECT_EQ(FicheProprietaire(nullptr), nullptr);
}

TEST(EtatMenu, SaveDisablesEverythingAndRestoreGivesItBack) {
    QMainWindow fenetre;
    QMenuBar* barre = fenetre.menuBar();
    QMenu* fichiers = barre->addMenu("Fichiers");
    fichiers->addAction("Ouvrir");
    fichiers->addSeparator();
    fichiers->addAction("Fermer")->setEnabled(false);
    QMenu* selection = barre->addMenu("Sélection");
    QMenu* niveaux = selection->addMenu("Niveau");
    niveaux->addAction("0 : 1 m");
    niveaux->addAction("1 : 20 cm")->setEnabled(false);
    selection->addAction("Masquer");
    barre->addAction("Aide")->setEnabled(false);

    const std::string etat = SauverEtatMenu(barre);
    // Fichiers, Ouvrir, separator, Fermer, Sélection, Niveau, 0, 1, Masquer, Aide.
    EXPECT_EQ(etat, "TTTFTTTFTF");
    std::size_t desactivees = 0, total = 0;
    for (QAction* a : fenetre.findChildren<QAction*>()) {
        if (a->parent() == &fenetre) continue; // Qt's own window actions
        ++total;
        desactivees += !a->isEnabled();
    }
    EXPECT_EQ(desactivees, total);

    RestaurerEtatMenu(barre, etat);
    EXPECT_EQ(SauverEtatMenu(barre), etat);
    RestaurerEtatMenu(barre, etat);
    EXPECT_TRUE(fichiers->actions()[0]->isEnabled());
    EXPECT_FALSE(fichiers->actions()[2]->isEnabled());
    EXPECT_FALSE(niveaux->actions()[1]->isEnabled());

    RestaurerEtatMenu(barre, "FT"); // a short text leaves the rest alone
    EXPECT_FALSE(barre->actions()[0]->isEnabled());
    EXPECT_TRUE(fichiers->actions()[0]->isEnabled());
    EXPECT_TRUE(selection->actions()[1]->isEnabled());
}
