#include "UTessarcGlb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <tuple>
#include <vector>

using namespace tessarc;

namespace {

struct Pt {
    float x, y, z;
    TV4By c;
};

TV4By Gris(std::uint8_t v) {
    return TV4By{{v, v, v, 0}};
}

// Loads points the way an open does: bounding box, extent, grid, routing, averaging.
void Charger(TNuage& n, const std::vector<Pt>& pts, int nivMax = 4) {
    n.Vider();
    n.NivMax = nivMax;
    n.CooMin = FaireV3S(3.4028235e38f, 3.4028235e38f, 3.4028235e38f);
    n.CooMax = FaireV3S(-3.4028235e38f, -3.4028235e38f, -3.4028235e38f);
    for (const Pt& p : pts) {
        const float v[4] = {0, p.x, p.y, p.z};
        for (int a = 1; a <= 3; ++a) {
            n.CooMin[a] = std::min(n.CooMin[a], v[a]);
            n.CooMax[a] = std::max(n.CooMax[a], v[a]);
        }
    }
    (void)n.CalculerEtendue();
    n.DimensionnerGrille();
    for (const Pt& p : pts) n.InsererPoint(p.x, p.y, p.z, p.c);
    n.CalculerMoyennesRacines();
}

std::vector<TCube*> Liste(const TNuage& n, int niv) {
    std::vector<TCube*> r;
    for (TCube* c = n.TeteNiv(niv); c != nullptr; c = n.Suivant(c)) r.push_back(c);
    return r;
}

// Counts and lists must agree at every level, and the lists hold living cubes only.
void VerifierListes(const TNuage& n) {
    for (int niv = 0; niv < NbNiveaux; ++niv) {
        const auto l = Liste(n, niv);
        EXPECT_EQ(static_cast<std::int32_t>(l.size()), n.NbCubesNiv[static_cast<std::size_t>(niv)])
            << "niveau " << niv;
        for (const TCube* c : l) {
            EXPECT_EQ(c->NivCube, niv);
            EXPECT_EQ(c->Vivant, 1);
        }
    }
}

} // namespace

TEST(EnregistrerUnPoint, KeepsATruncatingRunningColourMean) {
    TNuage n;
    n.NivMax = 0; // the root is the leaf
    TCube* f = n.Create(0, FaireV3S(0, 0, 0));
    n.EnregistrerUnPoint(f, 0.5f, 0.5f, 0.5f, Gris(0));
    n.EnregistrerUnPoint(f, 0.5f, 0.5f, 0.5f, Gris(255));
    EXPECT_EQ(f->ColCube[1], 127);
    n.EnregistrerUnPoint(f, 0.5f, 0.5f, 0.5f, Gris(255));
    EXPECT_EQ(f->ColCube[1], 169); // not 170: (127 * 2 + 255) div 3
    EXPECT_EQ(f->nbptscube, -3);
    EXPECT_FLOAT_EQ(f->CooMoyPts[1], 1.5f); // a sum until averaging
}

TEST(EnregistrerUnPoint, RoutesAndAveragesEveryLevel) {
    TNuage n;
    // Two points in one 1.6 mm cell, a third in another cell of the same 8 mm cube.
    Charger(n, {{1.0001f, 2.0001f, 3.0001f, TV4By{{10, 20, 30, 0}}},
                {1.0003f, 2.0003f, 3.0003f, TV4By{{20, 40, 60, 0}}},
                {1.0051f, 2.0001f, 3.0001f, TV4By{{90, 90, 90, 0}}}});
    EXPECT_EQ(n.NbCubesNiv, (std::array<std::int32_t, 5>{1, 1, 1, 1, 2}));
    const auto feuilles = Liste(n, 4);
    // Newest cube first: the cell of the third point was created last.
    EXPECT_NEAR(feuilles[0]->CooMoyPts[1], 1.0051f, 1e-6);
    EXPECT_EQ(feuilles[1]->nbptscube, 2);
    EXPECT_EQ(feuilles[1]->ColCube[2], 30);
    EXPECT_FLOAT_EQ(feuilles[1]->CooMoyPts[1], static_cast<float>((double(1.0001f) + double(1.0003f)) / 2));
    TCube* racine = n.TeteNiv(0);
    EXPECT_EQ(racine->nbptscube, 3);
    EXPECT_EQ(racine->CooOriCube, FaireV3S(1, 2, 3));
    // Colour sums: leaves weigh by their counts: (15*2 + 90) div 3 = 40 on red.
    EXPECT_EQ(racine->ColCube[1], 40);
    EXPECT_EQ(n.NbCubesTotal(), 6);
    VerifierListes(n);
}

TEST(EnregistrerUnPoint, SinglePointLeafIsUnchangedByAveraging) {
    TNuage n;
    Charger(n, {{0.123f, 4.567f, -8.9f, Gris(7)}});
    const TCube* f = n.TeteNiv(4);
    EXPECT_EQ(f->CooMoyPts, FaireV3S(0.123f, 4.567f, -8.9f));
    EXPECT_EQ(f->nbptscube, 1);
}

TEST(EnregistrerUnPoint, ClampsFarOffsetsToIndexFourAndNearOnesToZero) {
    TNuage n;
    n.NivMax = 1;
    TCube* r = n.Create(0, FaireV3S(0, 0, 0));
    // Exactly on the far face (offset 5 child sides) and beyond: index 4, no sixth cell.
    n.EnregistrerUnPoint(r, 1.0f, 0.5f, 0.5f, Gris(1));
    n.EnregistrerUnPoint(r, 1.3f, 0.5f, 0.5f, Gris(1));
    EXPECT_NE(n.Enfant(r, 25 * 4 + 5 * 2 + 2), nullptr);
    EXPECT_EQ(n.NbCubesNiv[1], 1);
    // Less than one child side below the corner: truncation toward zero gives index 0.
    n.EnregistrerUnPoint(r, -0.1f, 0.5f, 0.5f, Gris(1));
    EXPECT_NE(n.Enfant(r, 5 * 2 + 2), nullptr);
    EXPECT_EQ(n.NbCubesNiv[1], 2);
}

TEST(EnregistrerUnPoint, ReportsAndDropsAPointBelowTheCube) {
    TNuage n;
    n.NivMax = 2;
    std::vector<std::string> messages;
    n.SurMessage = [&](const std::string& m) { messages.push_back(m); };
    TCube* r = n.Create(0, FaireV3S(0, 0, 0));
    n.EnregistrerUnPoint(r, 0.5f, -0.2f, 0.5f, Gris(1));
    EXPECT_EQ(messages, std::vector<std::string>{"erreur"});
    EXPECT_EQ(n.NbCubesNiv[1], 0);
    EXPECT_EQ(n.NbEnfants(r), 0);
}

TEST(EnregistrerUnPoint, ChildCornersComeFromTheParentCorner) {
    TNuage n;
    Charger(n, {{-0.0001f, 0.9999f, 12.3456f, Gris(3)}});
    for (int niv = 1; niv <= 4; ++niv) {
        const TCube* c = n.TeteNiv(niv);
        const TCube* p = n.Parent(c);
        const double s = CoteNiv[static_cast<std::size_t>(niv)];
        const int slot = c->SlotParent;
        const int idx[4] = {0, slot / 25, (slot / 5) % 5, slot % 5};
        for (int a = 1; a <= 3; ++a)
            EXPECT_EQ(c->CooOriCube[a], static_cast<float>(double(p->CooOriCube[a]) + idx[a] * s));
    }
    EXPECT_EQ(n.TeteNiv(0)->CooOriCube, FaireV3S(-1, 0, 12));
}

TEST(CalculerLesMoyennes, IsIdempotent) {
    std::mt19937 g(7);
    std::uniform_real_distribution<float> u(0.0f, 2.5f);
    std::vector<Pt> pts;
    for (int i = 0; i < 5000; ++i)
        pts.push_back({u(g), u(g), u(g), TV4By{{static_cast<std::uint8_t>(i), 3, 200, 0}}});
    TNuage n;
    Charger(n, pts);
    std::vector<std::tuple<TV3S, TV4By, int>> avant;
    for (int niv = 0; niv <= 4; ++niv)
        for (const TCube* c : Liste(n, niv)) avant.emplace_back(c->CooMoyPts, c->ColCube, c->nbptscube);
    n.CalculerMoyennesRacines();
    std::size_t k = 0;
    for (int niv = 0; niv <= 4; ++niv)
        for (const TCube* c : Liste(n, niv)) {
            const auto& [coo, col, nb] = avant[k++];
            EXPECT_EQ(c->nbptscube, nb);
            EXPECT_EQ(c->ColCube, col);
            for (int a = 1; a <= 3; ++a) EXPECT_NEAR(c->CooMoyPts[a], coo[a], 2e-6f);
        }
    std::int64_t total = 0;
    for (const TCube* c : Liste(n, 0)) total += c->nbptscube;
    EXPECT_EQ(total, 5000);
}

TEST(CalculerLesMoyennes, RootsAveragedInParallelGiveTheSequentialResults) {
    std::mt19937 g(13);
    std::uniform_real_distribution<float> u(0.0f, 4.0f);
    std::vector<Pt> pts;
    for (int i = 0; i < 150000; ++i)
        pts.push_back({u(g), u(g), u(g) * 0.25f,
                       TV4By{{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 7), 9, 0}}});
    TNuage parallele, sequentiel;
    Charger(parallele, pts); // large enough for two threads
    ASSERT_GT(parallele.NbCubesTotal(), 200000);
    Charger(sequentiel, {});
    sequentiel.CooMin = parallele.CooMin;
    sequentiel.CooMax = parallele.CooMax;
    (void)sequentiel.CalculerEtendue();
    sequentiel.DimensionnerGrille();
    for (const Pt& p : pts) sequentiel.InsererPoint(p.x, p.y, p.z, p.c);
    sequentiel.PourRacines([&](TCube* r) {
        TV3S coo;
        TV4I col;
        std::int32_t nb = 0;
        sequentiel.CalculerLesMoyennes(r, coo, col, nb);
    });
    for (int niv = 0; niv <= 4; ++niv) {
        const auto a = Liste(parallele, niv), b = Liste(sequentiel, niv);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t k = 0; k < a.size(); ++k) {
            ASSERT_EQ(a[k]->CooMoyPts, b[k]->CooMoyPts);
            ASSERT_EQ(a[k]->ColCube, b[k]->ColCube);
            ASSERT_EQ(a[k]->nbptscube, b[k]->nbptscube);
        }
    }
}

TEST(CalculerLesMoyennes, ColourSumsDoNotOverflowPastEightMillionPoints) {
    TNuage n;
    n.NivMax = 1;
    TCube* r = n.Create(0, FaireV3S(0, 0, 0));
    const TV4By blanc{{255, 255, 255, 255}};
    for (int i = 0; i < 8'500'000; ++i) n.EnregistrerUnPoint(r, 0.1f, 0.1f, 0.1f, blanc);
    TV3S coo;
    TV4I col;
    std::int32_t nb = 0;
    n.CalculerLesMoyennes(r, coo, col, nb);
    EXPECT_EQ(nb, 8'500'000);
    EXPECT_EQ(r->ColCube, blanc);
}

TEST(NbCubesNiv, CountsDistinctOccupiedCells) {
    std::mt19937 g(11);
    std::uniform_real_distribution<float> u(-1.5f, 1.5f);
    std::vector<Pt> pts;
    std::set<std::tuple<int, int, int>> racines;
    for (int i = 0; i < 20000; ++i) {
        // Quantised so that many points share a cell.
        const Pt p{std::round(u(g) * 400) / 400, std::round(u(g) * 400) / 400, std::round(u(g) * 4) / 4,
                   Gris(1)};
        pts.push_back(p);
    }
    TNuage n;
    Charger(n, pts);
    // Positions are 2.5 mm apart, more than a 1.6 mm cell: distinct positions are distinct cells.
    std::set<std::tuple<float, float, float>> positions;
    for (const Pt& p : pts) {
        racines.emplace(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)),
                        static_cast<int>(std::floor(p.z)));
        positions.emplace(p.x, p.y, p.z);
    }
    EXPECT_EQ(n.NbCubesNiv[0], static_cast<std::int32_t>(racines.size()));
    EXPECT_EQ(positions.size(), static_cast<std::size_t>(n.NbCubesNiv[4]));
    std::int64_t somme = 0;
    for (const TCube* f : Liste(n, 4)) somme += f->nbptscube;
    EXPECT_EQ(somme, 20000);
    VerifierListes(n);
}

TEST(ChoisirNivAffiche, FollowsListOrderNewestFirst) {
    TNuage n;
    Charger(n, {{0.1f, 0.1f, 0.1f, Gris(1)}, {5.1f, 0.1f, 0.1f, Gris(2)}, {2.1f, 3.1f, 0.1f, Gris(3)}});
    n.ChoisirNivAffiche(0);
    ASSERT_EQ(n.CubesAffiches.size(), 3u);
    EXPECT_EQ(n.CubesAffiches[0]->CooOriCube, FaireV3S(2, 3, 0));
    EXPECT_EQ(n.CubesAffiches[1]->CooOriCube, FaireV3S(5, 0, 0));
    EXPECT_EQ(n.CubesAffiches[2]->CooOriCube, FaireV3S(0, 0, 0));
    EXPECT_EQ(n.NivAffiche, 0);
}

TEST(Enfants, SlotsGrowAndKeepSlotOrder) {
    TNuage n;
    n.NivMax = 1;
    TCube* r = n.Create(0, FaireV3S(0, 0, 0));
    std::vector<int> slots(125);
    for (int s = 0; s < 125; ++s) slots[static_cast<std::size_t>(s)] = s;
    std::shuffle(slots.begin(), slots.end(), std::mt19937(3));
    std::set<int> poses;
    for (int s : slots) {
        const float x = (s / 25) * 0.2f + 0.1f, y = ((s / 5) % 5) * 0.2f + 0.1f, z = (s % 5) * 0.2f + 0.1f;
        n.EnregistrerUnPoint(r, x, y, z, Gris(1));
        poses.insert(s);
        // Every class change must keep every child reachable and in slot order.
        if (poses.size() == 4 || poses.size() == 5 || poses.size() == 9 || poses.size() == 17 ||
            poses.size() == 33 || poses.size() == 125) {
            std::vector<int> vus;
            n.PourEnfants(r, [&](TCube* e) { vus.push_back(e->SlotParent); });
            EXPECT_EQ(vus, std::vector<int>(poses.begin(), poses.end()));
            for (int p : poses) EXPECT_EQ(n.Enfant(r, p)->SlotParent, p);
        }
    }
    EXPECT_EQ(n.NbCubesNiv[1], 125);
}

TEST(MarquerSupprime, MarksAndClearsTheWholeSubtree) {
    TNuage n;
    Charger(n, {{0.1f, 0.1f, 0.1f, Gris(1)}, {0.9f, 0.9f, 0.9f, Gris(1)}});
    TCube* r = n.TeteNiv(0);
    n.TeteNiv(4)->etatSP = EtatSelectionne;
    n.MarquerSupprime(r, true);
    for (int niv = 0; niv <= 4; ++niv)
        for (const TCube* c : Liste(n, niv)) EXPECT_EQ(c->etatSP & 6, 6);
    EXPECT_EQ(n.TeteNiv(4)->etatSP, 7); // the selected bit is left as it was
    n.MarquerSupprime(r, false);
    for (int niv = 0; niv <= 4; ++niv)
        for (const TCube* c : Liste(n, niv)) EXPECT_EQ(c->etatSP, 0);
}

TEST(Compacter, DestroysNothingWhenNothingIsDeleted) {
    TNuage n;
    Charger(n, {{0.1f, 0.1f, 0.1f, Gris(1)}, {0.5f, 0.5f, 0.5f, Gris(1)}});
    const auto avant = n.NbCubesNiv;
    EXPECT_FALSE(n.Compacter(n.TeteNiv(0)));
    EXPECT_EQ(n.NbCubesNiv, avant);
}

TEST(Compacter, RemovesDeletedSubtreesAndEmptiedAncestors) {
    TNuage n;
    Charger(n, {{0.1f, 0.1f, 0.1f, Gris(1)}, {0.5f, 0.5f, 0.5f, Gris(1)}, {3.5f, 0.5f, 0.5f, Gris(1)}});
    ASSERT_EQ(n.NbCubesNiv[1], 3);
    // Delete the level-1 cube of the second point: its 3 descendants go with it.
    TCube* c1 = nullptr;
    for (TCube* c : Liste(n, 1))
        if (c->CooOriCube == FaireV3S(0.4f, 0.4f, 0.4f)) c1 = c;
    ASSERT_NE(c1, nullptr);
    n.MarquerSupprime(c1, true);
    // Delete the whole second root.
    TCube* r2 = n.Racine(3, 0, 0);
    n.MarquerSupprime(r2, true);
    n.NivAffiche = 4;
    n.CompacterNuage();
    EXPECT_EQ(n.NbCubesNiv, (std::array<std::int32_t, 5>{1, 1, 1, 1, 1}));
    EXPECT_EQ(n.Racine(3, 0, 0), nullptr);
    ASSERT_EQ(n.CubesAffiches.size(), 1u);
    EXPECT_NEAR(n.CubesAffiches[0]->CooMoyPts[1], 0.1f, 1e-6);
    VerifierListes(n);
}

TEST(Compacter, DeletingHalfOfALargeLevelKeepsListsConsistent) {
    std::vector<Pt> pts;
    for (int i = 0; i < 60; ++i)
        for (int j = 0; j < 60; ++j) pts.push_back({i * 0.01f, j * 0.01f, 0.5f, Gris(1)});
    TNuage n;
    Charger(n, pts);
    const auto feuilles = Liste(n, 4);
    int supprimes = 0;
    for (std::size_t k = 0; k < feuilles.size(); k += 2, ++supprimes) n.MarquerSupprime(feuilles[k], true);
    const auto niv4 = n.NbCubesNiv[4];
    n.NivAffiche = 4;
    n.CompacterNuage();
    EXPECT_EQ(n.NbCubesNiv[4], niv4 - supprimes);
    EXPECT_EQ(static_cast<std::int32_t>(n.CubesAffiches.size()), n.NbCubesNiv[4]);
    // The survivors keep their relative order.
    decltype(n.CubesAffiches) attendus;
    for (std::size_t k = 1; k < feuilles.size(); k += 2) attendus.push_back(feuilles[k]);
    EXPECT_EQ(n.CubesAffiches, attendus);
    VerifierListes(n);
}

TEST(Detruire, UncountsTheSubtreeAtEveryLevel) {
    TNuage n;
    Charger(n, {{0.1f, 0.1f, 0.1f, Gris(1)}, {0.11f, 0.1f, 0.1f, Gris(1)}, {0.9f, 0.9f, 0.9f, Gris(1)}});
    TCube* niv2 = n.Parent(n.Parent(Liste(n, 4).back()));
    const int enfants3 = n.NbEnfants(niv2);
    const auto avant = n.NbCubesNiv;
    TCube* p = n.Parent(niv2);
    const int avantParent = n.NbEnfants(p);
    n.Detruire(niv2);
    EXPECT_EQ(n.NbCubesNiv[2], avant[2] - 1);
    EXPECT_EQ(n.NbCubesNiv[3], avant[3] - enfants3);
    EXPECT_EQ(n.NbCubesNiv[4], avant[4] - 2);
    EXPECT_EQ(n.NbEnfants(p), avantParent - 1);
    VerifierListes(n);
}

TEST(CalculerEtendue, SizesTheRootGridWithMargins) {
    TNuage n;
    n.CooMin = FaireV3S(0.0f, -2.995f, 10.0f);
    n.CooMax = FaireV3S(0.995f, 1.0f, 10.0f);
    const TCadrage c = n.CalculerEtendue();
    EXPECT_EQ(n.OrigRacines, (TV3I{{-1, -4, 9}}));
    EXPECT_EQ(n.DimRacines, (TV3I{{3, 6, 2}}));
    EXPECT_DOUBLE_EQ(c.CoefZoom, 1.0);
    EXPECT_NEAR(c.RayonStruc, std::sqrt(0.995 * 0.995 + 3.995 * 3.995) / 2, 1e-6);
    EXPECT_FLOAT_EQ(c.CentreRotAbs[2], static_cast<float>((1.0 + double(-2.995f)) / 2));
}

TEST(DimensionnerGrille, KeepsOnlyOccupiedRootsVisitedXThenYThenZ) {
    // Kilometres apart: a dense grid of 1 m cells would hold 3e9 of them.
    TNuage n;
    Charger(n, {{2999.5f, 0.5f, 0.5f, Gris(1)}, {0.5f, 999.5f, 0.5f, Gris(2)}, {0.5f, 0.5f, 0.5f, Gris(3)},
                {2999.5f, 0.5f, 0.25f, Gris(4)}, {0.5f, 0.5f, 0.8f, Gris(5)}, {0.5f, 0.5f, 1.5f, Gris(6)}});
    EXPECT_EQ(n.NbRacines(), 4);
    std::vector<TV3S> ordre;
    n.PourRacines([&](TCube* r) { ordre.push_back(r->CooOriCube); });
    EXPECT_EQ(ordre, (std::vector<TV3S>{FaireV3S(0, 0, 0), FaireV3S(0, 0, 1), FaireV3S(0, 999, 0),
                                        FaireV3S(2999, 0, 0)}));
    EXPECT_EQ(n.Racine(2999, 0, 0)->nbptscube, 2);
    EXPECT_EQ(n.Racine(5, 5, 5), nullptr);
}

TEST(DimensionnerGrille, RefusesExtentsThatCellNumbersCannotReach) {
    TNuage n;
    n.CooMin = FaireV3S(-1.5e9f, -1.5e9f, -1.5e9f);
    n.CooMax = FaireV3S(1.5e9f, 1.5e9f, 1.5e9f);
    (void)n.CalculerEtendue();
    try {
        n.DimensionnerGrille();
        FAIL() << "étendue acceptée";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("trop grande"), std::string::npos) << e.what();
    }
    EXPECT_EQ(n.NbRacines(), 0);
}

TEST(CalculerEtendue, EmptyBoxGivesNoCell) {
    TNuage n;
    n.CooMin = FaireV3S(3.4028235e38f, 3.4028235e38f, 3.4028235e38f);
    n.CooMax = FaireV3S(-3.4028235e38f, -3.4028235e38f, -3.4028235e38f);
    (void)n.CalculerEtendue();
    n.DimensionnerGrille();
    EXPECT_EQ(n.DimRacines, (TV3I{{0, 0, 0}}));
}
