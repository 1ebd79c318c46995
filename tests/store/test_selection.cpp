#include "Selection.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tessarc;

namespace {

// Four columns of points 20 cm apart: four level-1 cubes, each with leaves below.
class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        n.NivMax = 4;
        n.CooMin = FaireV3S(0.05f, 0.05f, 0.05f);
        n.CooMax = FaireV3S(0.65f, 0.1f, 0.1f);
        (void)n.CalculerEtendue();
        n.DimensionnerGrille();
        for (int i = 0; i < 4; ++i) {
            n.InsererPoint(0.05f + 0.2f * i, 0.05f, 0.05f, TV4By{{1, 1, 1, 0}});
            n.InsererPoint(0.05f + 0.2f * i, 0.1f, 0.1f, TV4By{{1, 1, 1, 0}});
        }
        n.CalculerMoyennesRacines();
        n.ChoisirNivAffiche(1);
    }
    std::vector<int> Etats() const {
        std::vector<int> r;
        for (const TCube* c : n.CubesAffiches) r.push_back(c->etatSP);
        return r;
    }
    std::vector<int> EtatsNiveau(int niv) {
        n.ChoisirNivAffiche(niv);
        auto r = Etats();
        n.ChoisirNivAffiche(1);
        return r;
    }
    TNuage n;
    bool modifiees = false;
};

} // namespace

TEST_F(Selection, MaskingDeselectsAndHidesOnlyTheDisplayedLevel) {
    n.CubesAffiches[0]->etatSP = 1;
    n.CubesAffiches[1]->etatSP = 1;
    MasquerSelection(n);
    EXPECT_EQ(Etats(), (std::vector<int>{2, 2, 0, 0}));
    // The level below keeps its state: the area shows again at level 4.
    for (int e : EtatsNiveau(4)) EXPECT_EQ(e, 0);
    Demasquer(n);
    EXPECT_EQ(Etats(), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_FALSE(modifiees);
}

TEST_F(Selection, DeletionMarksSubtreesAndSurvivesUnmasking) {
    n.CubesAffiches[2]->etatSP = 1;
    SupprimerSelection(n, modifiees);
    EXPECT_TRUE(modifiees);
    EXPECT_EQ(Etats(), (std::vector<int>{0, 0, 7, 0}));
    int supprimes = 0;
    for (int e : EtatsNiveau(4)) supprimes += (e & 6) == 6;
    EXPECT_EQ(supprimes, 2);
    Demasquer(n); // deleted cubes stay hidden
    EXPECT_EQ(Etats(), (std::vector<int>{0, 0, 7, 0}));
}

TEST_F(Selection, InversionTogglesTheMaskOfDeletedCubesToo) {
    n.CubesAffiches[0]->etatSP = 1;
    SupprimerSelection(n, modifiees);
    n.CubesAffiches[1]->etatSP = 1;
    InverserMasque(n);
    EXPECT_EQ(Etats(), (std::vector<int>{4, 2, 2, 2})); // deselected, deleted but visible
    InverserMasque(n);
    EXPECT_EQ(Etats(), (std::vector<int>{6, 0, 0, 0}));
}

TEST_F(Selection, DeletingMaskedCubesAndUndoingClearsEverything) {
    n.CubesAffiches[3]->etatSP = 2;
    n.CubesAffiches[1]->etatSP = 1;
    SupprimerLesPointsMasques(n, modifiees);
    EXPECT_TRUE(modifiees);
    EXPECT_EQ(Etats(), (std::vector<int>{0, 1, 0, 6}));
    AnnulerSuppressions(n, modifiees);
    EXPECT_FALSE(modifiees);
    for (int niv = 0; niv <= 4; ++niv)
        for (int e : EtatsNiveau(niv)) EXPECT_EQ(e, 0) << "niveau " << niv;
}

TEST_F(Selection, DeletionCommandsSetTheFlagEvenWhenNothingMatches) {
    SupprimerSelection(n, modifiees);
    EXPECT_TRUE(modifiees);
    modifiees = false;
    SupprimerLesPointsMasques(n, modifiees);
    EXPECT_TRUE(modifiees);
    Deselectionner(n);
    EXPECT_EQ(Etats(), (std::vector<int>{0, 0, 0, 0}));
}
