#include "EnvironnementEssai.h"
#include "PlacementFiche.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

using namespace tessarc;

namespace {

class PlacementFiche : public essais::EssaiReglages {
protected:
    void Stocker(const char* winLTWH) { Stockage()->setValue("FTessarc/WinLTWH", winLTWH); }
    static QRect Ecran() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

} // namespace

TEST_F(PlacementFiche, NegativeLeftAndTopBecomeZero) {
    Stocker("-30 -40 800 600");
    auto f = NouvelleFenetre();
    ASSERT_TRUE(f.wr->ChargeReg(0));
    EXPECT_EQ(f.fiche->geometry(), QRect(0, 0, 800, 600));
}

TEST_F(PlacementFiche, AWindowBeyondTheScreenComesBack) {
    QWidget fiche;
    ASSERT_TRUE(AppliquerLTWH(&fiche, "5000 20 800 600"));
    EXPECT_EQ(fiche.geometry(), QRect(5000, 20, 800, 600));
    RamenerFicheDansEcran(&fiche, QRect(0, 0, 1920, 1080));
    EXPECT_EQ(fiche.geometry(), QRect(1070, 20, 800, 600));

    // The same on this display's screen, through the load.
    Stocker("5000 20 300 200");
    auto f = NouvelleFenetre();
    ASSERT_TRUE(f.wr->ChargeReg(0));
    const QRect g = f.fiche->geometry();
    EXPECT_EQ(g.size(), QSize(300, 200));
    EXPECT_LE(g.x(), Ecran().right() - 50);
    EXPECT_GE(g.right(), Ecran().x() + 50);
}

TEST_F(PlacementFiche, MalformedPlacementKeepsTheDesignBounds) {
    for (const char* texte : {"10 20 800", "", "x10 20 300 200", "10 20 trois 200", "A"}) {
        Stocker(texte);
        auto f = NouvelleFenetre();
        f.fiche->setGeometry(30, 40, 200, 150);
        ASSERT_TRUE(f.wr->ChargeReg(0));
        EXPECT_EQ(f.fiche->normalGeometry(), QRect(30, 40, 200, 150)) << texte;
        EXPECT_EQ(f.fiche->isMaximized(), texte[0] == 'A') << texte; // the state applies alone
    }
}

TEST_F(PlacementFiche, AMaximisedWindowComesBackMaximisedWithItsNormalRectangle) {
    {
        auto f = NouvelleFenetre();
        ASSERT_TRUE(f.wr->ChargeReg(0));
        f.fiche->setGeometry(20, 30, 300, 200);
        f.fiche->show();
        f.fiche->showMaximized();
        QCoreApplication::processEvents();
        f.wr->RangeReg(-1);
    }
    EXPECT_EQ(Stockage()->value("FTessarc/WinLTWH").toString(), "A20 30 300 200");

    auto g = NouvelleFenetre();
    ASSERT_TRUE(g.wr->ChargeReg(0));
    EXPECT_TRUE(g.fiche->isMaximized());
    EXPECT_EQ(g.fiche->normalGeometry(), QRect(20, 30, 300, 200));
    g.fiche->show();
    g.fiche->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(g.fiche->geometry(), QRect(20, 30, 300, 200));
}

TEST_F(PlacementFiche, AMinimisedWindowComesBackMinimised) {
    Stocker("i15 25 300 200");
    auto f = NouvelleFenetre();
    ASSERT_TRUE(f.wr->ChargeReg(0));
    EXPECT_TRUE(f.fiche->isMinimized());
    EXPECT_EQ(f.fiche->geometry(), QRect(15, 25, 300, 200));
    f.wr->RangeReg(-1);
    EXPECT_EQ(Stockage()->value("FTessarc/WinLTWH").toString(), "I15 25 300 200");
}

TEST_F(PlacementFiche, RefusedAssociationsAreKeptPerSlot) {
    Stockage()->setValue("FTessarc/NoAutoAssociation", "T");
    auto f = NouvelleFenetre();
    ASSERT_TRUE(f.wr->ChargeReg(0));
    EXPECT_TRUE(f.wr->AutoFile[0].FNoAutoAssoc);
    EXPECT_FALSE(f.wr->AutoFile[1].FNoAutoAssoc);
    EXPECT_FALSE(f.wr->AutoFile[2].FNoAutoAssoc);
    f.wr->AutoFile[2].FNoAutoAssoc = true;
    f.wr->AutoFile[1].Fext = " ";
    f.wr->RangeReg(-1);
    EXPECT_EQ(Stockage()->value("FTessarc/NoAutoAssociation").toString(),
              "T"); // blank extensions: not written
    f.wr->AutoFile[1].Fext = "tsrk";
    f.wr->RangeReg(-1);
    EXPECT_EQ(Stockage()->value("FTessarc/NoAutoAssociation").toString(), "TFT");
}
