#include "Lignes.h"
#include "Modele.h"
#include "Nombres.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

using namespace tessarc;
using essais::Lignes;

namespace {

struct TNoeud {
    float x, y, z;
    std::int32_t segment = -1;
};

TMaillage Modele(const std::vector<TNoeud>& noeuds,
                 const std::vector<std::array<std::int32_t, 3>>& triangles = {},
                 std::size_t nbFrontiere = 4) {
    TMaillage m;
    m.Frontiere.resize(nbFrontiere);
    m.PointsModele.resize(1);
    for (const TNoeud& n : noeuds) {
        TPointModele p;
        p.CoPM = FaireV3S(n.x, n.y, n.z);
        p.NumFront0 = n.segment;
        m.PointsModele.push_back(p);
    }
    m.NbPointsModele = static_cast<std::int32_t>(m.PointsModele.size());
    for (const auto& s : triangles) {
        TTriangle t;
        t.Sommets = s;
        m.Triangles.push_back(t);
    }
    return m;
}

TSaisieModele Saisie(std::string zBas, std::string rotation, std::string tranches) {
    TSaisieModele s;
    s.ZBas = std::move(zBas);
    s.Rotation = std::move(rotation);
    s.Tranches = std::move(tranches);
    return s;
}

} // namespace

TEST(CalculerModele, Rotation90TurnsTheAxesCounterClockwise) {
    TMaillage m = Modele({{1, 1, 0}});
    const TResultatModele r = CalculerModele(m, Saisie("0", "90", "50"));
    ASSERT_TRUE(r.Calcule);
    EXPECT_EQ(Lignes(r.ResulNds),
              (std::vector<std::string>{"GROUPE NDS_TR50", "         1       1.00      -1.00       0.00"}));
}

TEST(CalculerModele, TheLowestNodeGoesToZPointBasAndTheOthersKeepTheirDifference) {
    TMaillage m = Modele({{0, 0, 3.75f}, {0, 0, 2.5f}, {0, 0, 2.75f}});
    EXPECT_EQ(Lignes(CalculerModele(m, Saisie("0", "0", "50")).ResulNds),
              (std::vector<std::string>{"GROUPE NDS_TR50", "         1       0.00       0.00       0.00",
                                        "         2       0.00       0.00       0.25", "GROUPE NDS_TR150",
                                        "         3       0.00       0.00       1.25"}));
    EXPECT_EQ(m.PointsModele[1].NumPt, 3);
    EXPECT_EQ(m.PointsModele[2].NumPt, 1);
    EXPECT_EQ(Lignes(CalculerModele(m, Saisie(" 1.5 ", "0", "50")).ResulNds)[1],
              "         1       0.00       0.00       1.50");
}

TEST(CalculerModele, TheFirstNodeAndTheFirstElementOpenTheFirstSlice) {
    TMaillage m = Modele({{0, 0, 7}, {1, 0, 7}, {0, 1, 7.2f}}, {{1, 2, 3}});
    const TResultatModele r = CalculerModele(m, TSaisieModele{});
    EXPECT_EQ(Lignes(r.ResulNds).front(), "GROUPE NDS_TR50");
    // Nodes 1 and 2 have the same height: the sort puts node 2 first.
    EXPECT_EQ(Lignes(r.ResulElts),
              (std::vector<std::string>{"GROUPE TRI_TR50", "         1          2          1          3"}));
    EXPECT_FLOAT_EQ(m.Triangles[0].Z, 7.0666666f);
}

TEST(CalculerModele, AGapOfSeveralSlicesGivesOneHeaderNamingTheSliceThatHoldsTheNode) {
    // 0, 0.1, then 1.3: the third node lies in the third 50 cm slice. Elements likewise.
    TMaillage m = Modele({{0, 0, 0}, {1, 0, 0.1f}, {0, 1, 1.3f}, {1, 1, 2.9f}}, {{1, 2, 3}, {2, 3, 4}});
    const TResultatModele r = CalculerModele(m, TSaisieModele{});
    EXPECT_EQ(Lignes(r.ResulNds),
              (std::vector<std::string>{"GROUPE NDS_TR50", "         1       0.00       0.00       0.00",
                                        "         2       1.00       0.00       0.10", "GROUPE NDS_TR150",
                                        "         3       0.00       1.00       1.30", "GROUPE NDS_TR300",
                                        "         4       1.00       1.00       2.90"}));
    // Element heights 0.4667 and 1.4333: the second lies 0.9667 above the first.
    EXPECT_EQ(Lignes(r.ResulElts),
              (std::vector<std::string>{"GROUPE TRI_TR50", "         1          1          2          3",
                                        "GROUPE TRI_TR100", "         2          2          3          4"}));
}

TEST(CalculerModele, SupportsAreListedPerSegmentFromZeroAndOnlyBoundaryNodesAreSupports) {
    TMaillage m =
        Modele({{0, 0, 0.3f, 2}, {0, 0, 0.1f, 0}, {0, 0, 0.2f, -1}, {0, 0, 0.4f, 2}, {0, 0, 0.0f, 6}}, {}, 4);
    TSaisieModele s;
    s.Noeuds = "10";
    const std::vector<std::string> gen = Lignes(CalculerModele(m, s).ResulGen);
    // Node numbers: heights 0.0 -> 10, 0.1 -> 11, 0.2 -> 12, 0.3 -> 13, 0.4 -> 14. Segment 6 is beyond the
    // boundary (changed after the grid was computed): its node stays a support.
    EXPECT_EQ(gen, (std::vector<std::string>{"OPTIONS PS EC Z",
                                             "TITRE modèle voute",
                                             "NOEUDS",
                                             "UNITES M",
                                             "LIRETABLE tblnds",
                                             "MAILLAGES",
                                             "ELFI DKT18 maco 0.10",
                                             "LIRETABLE tblelfis",
                                             "LIAISONS",
                                             ";segment 0",
                                             "A 11",
                                             ";segment 2",
                                             "A 13,14",
                                             ";segment 6",
                                             "A 10",
                                             "CHARGES",
                                             "CAS 1 G 1 = cp",
                                             "G",
                                             ";MAXI 1",
                                             "FIN"}));

    // A far scan's shift is said once, after the title; the tables stay in the stored frame.
    TMaillage loin = m;
    const TResultatModele local = CalculerModele(m, s);
    const TResultatModele decale = CalculerModele(loin, s, FaireV3R(652000.0, 6862000.0, 0.0));
    std::vector<std::string> attendu = gen;
    attendu.insert(attendu.begin() + 2, ";decalage 652000 6862000 0");
    EXPECT_EQ(Lignes(decale.ResulGen), attendu);
    EXPECT_EQ(decale.ResulNds, local.ResulNds);
}

TEST(CalculerModele, NoNodeAndNoTriangleGiveTheFixedLinesAndEmptyTables) {
    TMaillage m;
    const TResultatModele r = CalculerModele(m, TSaisieModele{});
    ASSERT_TRUE(r.Calcule);
    EXPECT_EQ(
        r.ResulGen,
        "OPTIONS PS EC Z\r\nTITRE modèle voute\r\nNOEUDS\r\nUNITES M\r\nLIRETABLE tblnds\r\nMAILLAGES\r\n"
        "ELFI DKT18 maco 0.10\r\nLIRETABLE tblelfis\r\nLIAISONS\r\nCHARGES\r\nCAS 1 G 1 = cp\r\nG\r\n"
        ";MAXI 1\r\nFIN\r\n");
    EXPECT_EQ(r.ResulNds, "");
    EXPECT_EQ(r.ResulElts, "");
    TMaillage sansTriangle = Modele({{0, 0, 1}});
    const TResultatModele r2 = CalculerModele(sansTriangle, TSaisieModele{});
    EXPECT_EQ(Lignes(r2.ResulNds).size(), 2u);
    EXPECT_EQ(r2.ResulElts, "");
}

TEST(CalculerModele, UnreadableEntriesFallBackToOneForBasesAndZeroForReals) {
    TMaillage m = Modele({{1, 2, 5}, {3, 4, 6}, {5, 6, 7}}, {{1, 2, 3}});
    TSaisieModele s;
    s.Noeuds = "x";
    s.Elements = "2.0";
    s.ZBas = "1,5";
    s.Rotation = "quatre-vingt-dix";
    const TResultatModele r = CalculerModele(m, s);
    ASSERT_TRUE(r.Calcule);
    EXPECT_EQ(Lignes(r.ResulNds)[1], "         1       1.00       2.00       0.00");
    EXPECT_EQ(Lignes(r.ResulElts)[1], "         1          1          2          3");
}

TEST(CalculerModele, BadSlicesAndOverflowingNumbersAreRefusedWithoutChangingAnything) {
    for (const char* tranche : {"0", "-50", "abc", "", "1e-40", "1e-9"}) {
        TMaillage m = Modele({{0, 0, 0}, {0, 0, 4}}, {{1, 2, 1}});
        const TResultatModele r = CalculerModele(m, Saisie("0", "0", tranche));
        EXPECT_FALSE(r.Calcule) << tranche;
        EXPECT_NE(r.Message.find("tranche"), std::string::npos) << r.Message;
        EXPECT_EQ(m.PointsModele[1].NumPt, 0);
        EXPECT_TRUE(r.ResulGen.empty());
    }
    TMaillage m = Modele({{0, 0, 0}, {0, 0, 4}});
    TSaisieModele s;
    s.Noeuds = "2147483647";
    EXPECT_FALSE(CalculerModele(m, s).Calcule);
    s.Noeuds = "2147483646";
    const TResultatModele r = CalculerModele(m, s);
    ASSERT_TRUE(r.Calcule);
    EXPECT_EQ(Lignes(r.ResulNds).back(), "2147483647       0.00       0.00       4.00");
    s.Noeuds = "-2147483648";
    EXPECT_TRUE(CalculerModele(m, s).Calcule);
}

TEST(CalculerModele, TableLinesAreThoseOfPrintf) {
    // Ties at two decimals (0.125, -2.675 held in singles), signs of values that round to zero, widths
    // overflowing ten characters, and values that are not numbers.
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<TNoeud> noeuds{{0.125f, -2.675f, 0.0f},   {-0.004f, 0.005f, 1e-9f},
                                     {1.0e12f, -3.4e38f, 5.0f}, {-inf, 99999.995f, 6.0f},
                                     {0.015f, 1e-45f, 7.0f},    {std::nanf(""), -0.0f, 8.0f}};
    TMaillage m = Modele(noeuds, {{1, 2, 3}, {4, 5, 6}});
    const TResultatModele r = CalculerModele(m, Saisie("0", "0", "1000000000"));
    ASSERT_TRUE(r.Calcule) << r.Message;
    std::vector<std::string> attendu{"GROUPE NDS_TR1000000000"};
    for (const TNoeudNumerote& n : r.Modele.Noeuds)
        attendu.push_back(
            FormatC("%10d %10.2f %10.2f %10.2f", n.Numero, double(n.X), double(n.Y), double(n.Z)));
    EXPECT_EQ(Lignes(r.ResulNds), attendu);
    TSaisieModele grands = Saisie("0", "0", "50");
    grands.Noeuds = "-2147483648";
    grands.Elements = "2147483646";
    const TResultatModele g = CalculerModele(m, grands);
    ASSERT_TRUE(g.Calcule) << g.Message;
    EXPECT_EQ(Lignes(g.ResulElts).back(),
              FormatC("%10d %10d %10d %10d", 2147483647, -2147483645, -2147483644, -2147483643));
}

TEST(CalculerModele, EveryLineEndsWithCrLf) {
    TMaillage m = Modele({{0, 0, 0, 0}, {1, 0, 0.7f, 1}, {0, 1, 1.2f, 2}}, {{1, 2, 3}}, 3);
    const TResultatModele r = CalculerModele(m, TSaisieModele{});
    for (const std::string* t : {&r.ResulGen, &r.ResulNds, &r.ResulElts}) {
        ASSERT_FALSE(t->empty());
        EXPECT_EQ(t->substr(t->size() - 2), "\r\n");
        for (std::size_t k = 0; k < t->size(); ++k) {
            if ((*t)[k] == '\n') {
                EXPECT_EQ((*t)[k - 1], '\r');
            }
        }
        for (const std::string& l : Lignes(*t)) EXPECT_EQ(l.find('\r'), std::string::npos);
    }
}

TEST(ComparerHauteurs, EqualWithinATenthOfAMillimetreOrATenThousandth) {
    EXPECT_EQ(ComparerHauteurs(0.0f, 0.00009f), 0);
    EXPECT_EQ(ComparerHauteurs(0.0f, 0.00011f), -1);
    EXPECT_EQ(ComparerHauteurs(1000.0f, 1000.09f), 0);
    EXPECT_EQ(ComparerHauteurs(1000.11f, 1000.0f), 1);
    EXPECT_EQ(ComparerHauteurs(-2.0f, -1.0f), -1);
}

TEST(TrierPointeurs, EqualHeightsKeepTheOrderOfTheSortAsWritten) {
    // Orders worked out by hand by stepping through the sort (and cross-checked independently).
    const auto trier = [](std::vector<float> hauteurs) {
        std::vector<float*> p;
        for (float& h : hauteurs) p.push_back(&h);
        TrierPointeurs(p, [](const float* a, const float* b) { return ComparerHauteurs(*a, *b); });
        std::vector<std::ptrdiff_t> ordre;
        for (float* q : p) ordre.push_back(q - hauteurs.data());
        return ordre;
    };
    EXPECT_EQ(trier({1.0f, 1.4f, 1.2f, 1.6f, 2.0f, 1.8f, 1.4f, 1.6f}),
              (std::vector<std::ptrdiff_t>{0, 2, 6, 1, 7, 3, 5, 4}));
    EXPECT_EQ(trier({5, 5, 5, 5, 5, 5}), (std::vector<std::ptrdiff_t>{3, 4, 5, 0, 1, 2}));
    EXPECT_EQ(trier({3, 1, 2, 3, 1, 2, 3, 1, 2.00005f}),
              (std::vector<std::ptrdiff_t>{4, 7, 1, 5, 8, 2, 0, 3, 6}));
    EXPECT_TRUE(trier({}).empty());
    EXPECT_EQ(trier({2}), std::vector<std::ptrdiff_t>{0});
}

TEST(TrierPointeurs, SortsDistinctHeightsAndLongRuns) {
    std::vector<float> h;
    // Distinct heights 1 cm apart, farther than the tolerance everywhere up to 50 m.
    for (int k = 0; k < 5000; ++k) h.push_back(static_cast<float>((k * 7919) % 5000) * 0.01f);
    for (int k = 0; k < 20000; ++k) h.push_back(5.0f); // a long run of equal heights
    std::vector<float*> p;
    for (float& v : h) p.push_back(&v);
    TrierPointeurs(p, [](const float* a, const float* b) { return ComparerHauteurs(*a, *b); });
    for (std::size_t k = 1; k < p.size(); ++k) ASSERT_LE(*p[k - 1], *p[k]) << k;
}
