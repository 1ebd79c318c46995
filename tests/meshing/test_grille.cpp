#include "GrilleCapture.h"
#include "Lineaire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using namespace tessarc;
using tessarc::test::TCubes;

namespace {

TMaillage Polygone(std::vector<std::pair<float, float>> points, float trame) {
    TMaillage m;
    for (auto [x, y] : points) m.Frontiere.push_back(FaireV3S(x, y, 0.0f));
    m.TrameGrille = trame;
    EntrerPageGrille(m, 0.0f);
    return m;
}

struct TNoeudAttendu {
    float x, y;
    std::int32_t segment;
};

void VerifierNoeuds(const TMaillage& m, const std::vector<TNoeudAttendu>& attendus) {
    ASSERT_EQ(m.NbPointsModele, static_cast<std::int32_t>(attendus.size()) + 1);
    ASSERT_EQ(m.PointsModele.size(), attendus.size() + 1);
    for (std::size_t i = 0; i < attendus.size(); ++i) {
        const TPointModele& n = m.PointsModele[i + 1];
        EXPECT_FLOAT_EQ(n.CoPM[1], attendus[i].x) << "noeud " << i + 1;
        EXPECT_FLOAT_EQ(n.CoPM[2], attendus[i].y) << "noeud " << i + 1;
        EXPECT_EQ(n.NumFront0, attendus[i].segment) << "noeud " << i + 1;
    }
}

const TPointTri& Cellule(const TMaillage& m, int c, int r) {
    return m.GrilleTri[static_cast<std::size_t>(c + r * m.NbColGrille)];
}

} // namespace

TEST(PageGrille, EntrySpansTheBoundaryAndPutsTheOriginAtItsMinimum) {
    TMaillage m;
    m.Frontiere = {FaireV3S(2.5f, -1.0f, 9.0f), FaireV3S(4.0f, 3.25f, 9.0f), FaireV3S(-0.125f, 1.0f, 9.0f)};
    m.TrameGrille = 0.35f;
    m.GrilleTri.resize(4);
    const TTextesGrille t = EntrerPageGrille(m, -3.0f);
    EXPECT_TRUE(m.GrilleTri.empty());
    EXPECT_EQ(m.FrontMin[1], -0.125f);
    EXPECT_EQ(m.FrontMin[2], -1.0f);
    EXPECT_EQ(m.FrontMax[1], 4.0f);
    EXPECT_EQ(m.FrontMax[2], 3.25f);
    EXPECT_EQ(m.OrigineGrille, FaireV3S(-0.125f, -1.0f, -3.0f));
    EXPECT_EQ(m.TrameGrille, 0.35f);
    EXPECT_EQ(t.OrigineX, "-0.12");
    EXPECT_EQ(t.OrigineY, "-1.00");
    EXPECT_EQ(t.Trame, "0.35");
}

TEST(PageGrille, ValidateReadsEachBoxAndKeepsWhatDoesNotRead) {
    TMaillage m;
    m.OrigineGrille = FaireV3S(1.0f, 2.0f, 3.0f);
    m.TrameGrille = 0.2f;
    TTextesGrille t = ValiderGrille(m, " 0.5", "x", "0.05 ");
    EXPECT_EQ(m.OrigineGrille, FaireV3S(0.5f, 2.0f, 3.0f));
    EXPECT_EQ(m.TrameGrille, 0.05f);
    EXPECT_EQ(t.OrigineY, "2.00");
    EXPECT_EQ(t.Trame, "0.05");
    t = ValiderGrille(m, "0,7", "1e40", "");
    EXPECT_EQ(m.OrigineGrille, FaireV3S(0.5f, 2.0f, 3.0f));
    EXPECT_EQ(t.OrigineX, "0.50");
}

TEST(Intersections, ALineTouchingTheBoundaryAtOneVertexGetsOneCrossing) {
    const std::vector<TV3S> triangle{FaireV3S(0, 0, 0), FaireV3S(1, 1, 0), FaireV3S(2, 0, 0)};
    const TIntersections r = ChercherIntersections(triangle, ESensLigne::Horizontale, 1.0f, 0.0f, 0.3f);
    ASSERT_EQ(r.nb, 1);
    EXPECT_EQ(r.i[0].c, 1.0f);
    EXPECT_EQ(r.i[0].segment, 1);
    EXPECT_FALSE(r.i[0].cale);
}

TEST(Intersections, AVertexWithinATenthOfAMillimetreOfTheLineCountsOnce) {
    // A diamond whose side vertices lie 0.05 mm above the line: each is met by two edges.
    const std::vector<TV3S> losange{FaireV3S(1, 0, 0), FaireV3S(2, 1.00005f, 0), FaireV3S(1, 2, 0),
                                    FaireV3S(0, 1.00005f, 0)};
    const TIntersections r = ChercherIntersections(losange, ESensLigne::Horizontale, 1.0f, 0.0f, 0.3f);
    ASSERT_EQ(r.nb, 2);
    EXPECT_EQ(r.i[0].c, 0.0f);
    EXPECT_EQ(r.i[0].segment, 3);
    EXPECT_EQ(r.i[1].c, 2.0f);
    EXPECT_EQ(r.i[1].segment, 1);
    // The same on a vertical line, with the roles of X and Y exchanged.
    const TIntersections v = ChercherIntersections(losange, ESensLigne::Verticale, 1.0f, 0.0f, 0.3f);
    ASSERT_EQ(v.nb, 2);
    EXPECT_EQ(v.i[0].c, 0.0f);
    EXPECT_EQ(v.i[0].segment, 0);
    EXPECT_EQ(v.i[1].c, 2.0f);
    EXPECT_EQ(v.i[1].segment, 2);
}

TEST(Intersections, ACrossingWithinATenthOfTheSpacingSnapsOntoTheLattice) {
    const auto premier = [](float x, float origine) {
        const std::vector<TV3S> f{FaireV3S(x, -1, 0), FaireV3S(3, -1, 0), FaireV3S(3, 1, 0),
                                  FaireV3S(x, 1, 0)};
        return ChercherIntersections(f, ESensLigne::Horizontale, 0.0f, origine, 0.2f).i[0];
    };
    EXPECT_TRUE(premier(0.415f, 0.0f).cale);
    EXPECT_EQ(premier(0.415f, 0.0f).c, 0.4f);
    EXPECT_TRUE(premier(0.385f, 0.0f).cale);
    EXPECT_EQ(premier(0.385f, 0.0f).c, 0.4f);
    EXPECT_FALSE(premier(0.425f, 0.0f).cale);
    EXPECT_EQ(premier(0.425f, 0.0f).c, 0.425f);
    // The lattice follows the origin: 0.415 is 0.035 from 0.45.
    EXPECT_FALSE(premier(0.415f, 0.05f).cale);
}

TEST(Intersections, ANonConvexBoundaryKeepsTheFirstTwoCrossingsInBoundaryOrder) {
    // A U open upwards, listed from the inner corner: the line Y = 2 crosses it at 0, 1, 4 and 5, and
    // the edges met first give 4, then 1.
    const std::vector<TV3S> u{FaireV3S(4, 1, 0), FaireV3S(1, 1, 0), FaireV3S(1, 3, 0), FaireV3S(0, 3, 0),
                              FaireV3S(0, 0, 0), FaireV3S(5, 0, 0), FaireV3S(5, 3, 0), FaireV3S(4, 3, 0)};
    const TIntersections r = ChercherIntersections(u, ESensLigne::Horizontale, 2.0f, 0.05f, 0.3f);
    ASSERT_EQ(r.nb, 2);
    EXPECT_EQ(r.i[0].c, 1.0f);
    EXPECT_EQ(r.i[0].segment, 1);
    EXPECT_EQ(r.i[1].c, 4.0f);
    EXPECT_EQ(r.i[1].segment, 7);
    EXPECT_EQ(ChercherIntersections({}, ESensLigne::Horizontale, 2.0f, 0.0f, 0.3f).nb, 0);
}

TEST(CalculerPointsGrille, EverySideGetsBoundaryNodesWhetherOnALatticeRowOrColumn) {
    TMaillage m = Polygone({{0, 0}, {0.6f, 0}, {0.6f, 0.4f}, {0, 0.4f}}, 0.2f);
    const TCompteRenduGrille cr = CalculerPointsGrille(m, {});
    ASSERT_TRUE(cr.Calcule);
    EXPECT_EQ(m.NbColGrille, 5);
    EXPECT_EQ(m.NbLigGrille, 4);
    ASSERT_EQ(m.GrilleTri.size(), 20u);
    // Row by row: the two crossings, then the lattice points between them; the vertical pass finds no
    // new node. The bottom and top sides lie on rows: their inner lattice points come from the fill and
    // then take the segment they lie on. The left side lies on column 0: every row gives it a boundary
    // node of segment 3. The right end of each row is a snapped crossing that the interior fill meets
    // again and leaves a boundary node.
    VerifierNoeuds(m, {{0, 0, 0},
                       {0.6f, 0, 1},
                       {0.2f, 0, 0},
                       {0.4f, 0, 0},
                       {0, 0.2f, 3},
                       {0.6f, 0.2f, 1},
                       {0.2f, 0.2f, -1},
                       {0.4f, 0.2f, -1},
                       {0, 0.4f, 3},
                       {0.6f, 0.4f, 2},
                       {0.2f, 0.4f, 2},
                       {0.4f, 0.4f, 2}});
    // The vertical pass marks the bottom cell as holding a crossing of segment 0, node unchanged.
    EXPECT_EQ(Cellule(m, 1, 0).typepttri, 2);
    EXPECT_EQ(Cellule(m, 1, 0).numsegfront0, 0);
    EXPECT_EQ(Cellule(m, 1, 0).PTrInt, 3);
    EXPECT_EQ(Cellule(m, 1, 1).typepttri, 1);
    EXPECT_EQ(Cellule(m, 3, 0).typepttri, 2);
    EXPECT_EQ(Cellule(m, 3, 0).PTrInt, 2);
    EXPECT_EQ(Cellule(m, 4, 0).typepttri, 0);
    EXPECT_TRUE(cr.SansHauteur);
}

TEST(CalculerPointsGrille, TwoCrossingsOnOneEdgeFillItsSlotsInAscendingOrder) {
    TMaillage m = Polygone({{0.05f, -0.1f}, {0.15f, -0.1f}, {0.15f, 0.1f}, {0.05f, 0.1f}}, 0.2f);
    ValiderGrille(m, "0", "0", "0.2");
    const TCompteRenduGrille cr = CalculerPointsGrille(m, {});
    ASSERT_TRUE(cr.Calcule);
    VerifierNoeuds(m, {{0.05f, 0, 3}, {0.15f, 0, 1}});
    const TPointTri& t = Cellule(m, 0, 0);
    EXPECT_EQ(t.PTrHV[1][1], 1);
    EXPECT_EQ(t.PTrHV[1][2], 2);
    EXPECT_EQ(t.PTrInt, 0);
    EXPECT_EQ(t.typepttri, 2);
    EXPECT_EQ(t.numsegfront0, 1);
}

TEST(CalculerPointsGrille, AnEmptyBoundaryGivesNoNode) {
    TMaillage m = Polygone({}, 0.2f);
    const TCompteRenduGrille cr = CalculerPointsGrille(m, {});
    ASSERT_TRUE(cr.Calcule);
    EXPECT_EQ(m.NbPointsModele, 1);
    EXPECT_EQ(m.PointsModele.size(), 1u);
    EXPECT_TRUE(m.GrilleTri.empty());
    EXPECT_NE(cr.Message.find("frontière vide"), std::string::npos);
}

TEST(CalculerPointsGrille, ABadSpacingIsRefusedAndChangesNothing) {
    for (const float trame : {0.0f, -0.2f, std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(), 1e-6f}) {
        TMaillage m = Polygone({{0, 0}, {1, 0}, {1, 1}}, 0.5f);
        ASSERT_TRUE(CalculerPointsGrille(m, {}).Calcule);
        const std::int32_t nbAvant = m.NbPointsModele;
        const std::size_t cellulesAvant = m.GrilleTri.size();
        m.TrameGrille = trame;
        const TCompteRenduGrille cr = CalculerPointsGrille(m, {});
        EXPECT_FALSE(cr.Calcule) << trame;
        EXPECT_NE(cr.Message.find("trame de grille"), std::string::npos) << cr.Message;
        EXPECT_EQ(m.NbPointsModele, nbAvant);
        EXPECT_EQ(m.GrilleTri.size(), cellulesAvant);
    }
}

TEST(CalculerPointsGrille, MoreThanTenMillionCellsIsRefused) {
    // 4000 columns and 2501 rows.
    TMaillage m = Polygone({{0, 0}, {3998, 0}, {3998, 2499}}, 1.0f);
    const TCompteRenduGrille cr = CalculerPointsGrille(m, {});
    EXPECT_FALSE(cr.Calcule);
    EXPECT_NE(cr.Message.find("10004000"), std::string::npos) << cr.Message;
    EXPECT_TRUE(m.GrilleTri.empty());
}

TEST(CalculerPointsGrille, CrossingsOutsideTheGridAreDroppedWithoutMakingNodes) {
    // Origin typed past the boundary's minimum: the left column and the bottom row of crossings, and
    // the lattice points left of the origin, have no cell.
    TMaillage m = Polygone({{0, 0}, {0.6f, 0}, {0.6f, 0.4f}, {0, 0.4f}}, 0.2f);
    ValiderGrille(m, "0.3", "0.1", "0.2");
    const TCompteRenduGrille cr = CalculerPointsGrille(m, {});
    ASSERT_TRUE(cr.Calcule);
    EXPECT_GT(cr.IntersectionsHorsGrille, 0);
    EXPECT_GT(cr.NoeudsHorsGrille, 0);
    EXPECT_NE(cr.Message.find("hors de la grille"), std::string::npos);
    ASSERT_GT(m.NbPointsModele, 1);
    for (std::int32_t i = 1; i < m.NbPointsModele; ++i) {
        EXPECT_GE(m.PointsModele[static_cast<std::size_t>(i)].CoPM[1], 0.3f - 0.001f);
        EXPECT_GE(m.PointsModele[static_cast<std::size_t>(i)].CoPM[2], 0.1f - 0.001f);
    }
    // Node numbers are those of the nodes kept: every node is referenced by some cell.
    std::vector<bool> vu(static_cast<std::size_t>(m.NbPointsModele), false);
    for (const TPointTri& t : m.GrilleTri)
        for (const std::int32_t n : {t.PTrInt, t.PTrHV[1][1], t.PTrHV[1][2], t.PTrHV[2][1], t.PTrHV[2][2]}) {
            ASSERT_LT(n, m.NbPointsModele);
            vu[static_cast<std::size_t>(n)] = true;
        }
    for (std::int32_t i = 1; i < m.NbPointsModele; ++i) EXPECT_TRUE(vu[static_cast<std::size_t>(i)]) << i;
}

TEST(CalculerPointsGrille, ABoundaryPointAddedAfterEnteringThePageIsDroppedQuickly) {
    TMaillage m = Polygone({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 0.25f);
    m.Frontiere.insert(m.Frontiere.begin() + 2, FaireV3S(1e30f, 0.6f, 0.0f));
    const TCompteRenduGrille cr = CalculerPointsGrille(m, {});
    ASSERT_TRUE(cr.Calcule);
    EXPECT_GT(cr.IntersectionsHorsGrille, 0);
    EXPECT_GT(cr.NoeudsHorsGrille, 1000000000LL);
    for (std::int32_t i = 1; i < m.NbPointsModele; ++i)
        EXPECT_LE(m.PointsModele[static_cast<std::size_t>(i)].CoPM[1], m.FrontMax[1] + 0.25f * 2);
}

TEST(CalculerPointsGrille, AGridLeftBehindByTheBoundaryIsRefused) {
    // Page entered while the boundary was empty, boundary drawn afterwards.
    TMaillage m = Polygone({}, 0.2f);
    m.Frontiere = {FaireV3S(0, 0, 0), FaireV3S(1, 0, 0), FaireV3S(1, 1, 0)};
    const TCompteRenduGrille cr = CalculerPointsGrille(m, {});
    EXPECT_FALSE(cr.Calcule);
    EXPECT_NE(cr.Message.find("Grille de capture"), std::string::npos);
}

TEST(AppuisSurSegments, AnInteriorNodeWithinAMillimetreOfSegmentsTakesTheLowest) {
    TMaillage m;
    m.Frontiere = {FaireV3S(0, 0, 0), FaireV3S(1, 0, 0), FaireV3S(1, 1, 0), FaireV3S(1, 1, 0),
                   FaireV3S(0, 1, 0)};
    const std::vector<TNoeudAttendu> avant{{0, 0, -1},              // corner of segments 4 and 0
                                           {0.5f, 0.0009f, -1},     // 0.9 mm inside segment 0
                                           {0.5f, 0.0011f, -1},     // 1.1 mm: interior
                                           {1.0005f, 0.5f, -1},     // outside, beyond the segment's side
                                           {1.0f, 1.0009f, -1},     // near the repeated point: segment 1
                                           {-0.0009f, 1.0009f, -1}, // past the end of segment 3
                                           {0.5f, 0.0f, 4}};        // a boundary node keeps its segment
    m.PointsModele.resize(1);
    for (const TNoeudAttendu& n : avant) {
        TPointModele p;
        p.CoPM = FaireV3S(n.x, n.y, 0);
        p.NumFront0 = n.segment;
        m.PointsModele.push_back(p);
    }
    m.NbPointsModele = static_cast<std::int32_t>(m.PointsModele.size());
    AppuisSurSegments(m);
    std::vector<std::int32_t> segments;
    for (std::size_t i = 1; i < m.PointsModele.size(); ++i) segments.push_back(m.PointsModele[i].NumFront0);
    EXPECT_EQ(segments, (std::vector<std::int32_t>{0, 0, -1, 1, 1, -1, 4}));
}

TEST(CalculerPointsGrille, HeightsComeFromTheNearestCubeNotDeleted) {
    TMaillage m = Polygone({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 1.0f);
    TCubes cubes;
    cubes.Ajouter(0.0f, 0.0f, 5.0f, EtatMasque | EtatSupprime); // on (0, 0), but deleted
    cubes.Ajouter(0.1f, 0.0f, 6.0f, EtatMasque);                // masked cubes still count
    cubes.Ajouter(-0.1f, 0.0f, 9.0f);                           // as near as the previous: it wins
    cubes.Ajouter(1.0f, 1.0f, 7.0f, EtatSelectionne);           // exactly on (1, 1)
    cubes.Ajouter(1.2f, 0.0f, 8.0f);
    const TCompteRenduGrille cr = CalculerPointsGrille(m, cubes.Liste());
    ASSERT_TRUE(cr.Calcule);
    EXPECT_FALSE(cr.SansHauteur);
    EXPECT_TRUE(cr.Message.empty()) << cr.Message;
    VerifierNoeuds(m, {{0, 0, 0}, {1, 0, 1}, {0, 1, 3}, {1, 1, 2}});
    EXPECT_EQ(m.PointsModele[1].CoPM[3], 6.0f);
    EXPECT_EQ(m.PointsModele[2].CoPM[3], 8.0f);
    EXPECT_EQ(m.PointsModele[3].CoPM[3], 7.0f); // (1, 1) is 1 away, (0.1, 0) 1.01
    EXPECT_EQ(m.PointsModele[4].CoPM[3], 7.0f);
}

TEST(CalculerPointsGrille, EveryNodeOfALargeGridTakesTheHeightOfTheListScan) {
    // Enough nodes for the search to be shared out; a tenth of the cubes deleted.
    TMaillage m = Polygone({{0, 0}, {1.2f, 0}, {1.2f, 1.1f}, {0, 1.1f}}, 0.01f);
    TCubes cubes;
    std::uint32_t graine = 7;
    const auto hasard = [&] {
        graine = graine * 1664525u + 1013904223u;
        return static_cast<float>(graine >> 8) / 16777216.0f;
    };
    for (int k = 0; k < 1500; ++k)
        cubes.Ajouter(1.3f * hasard() - 0.05f, 1.2f * hasard() - 0.05f, float(k),
                      k % 10 == 3 ? EtatSupprime : 0);
    ASSERT_TRUE(CalculerPointsGrille(m, cubes.Liste()).Calcule);
    ASSERT_GT(m.NbPointsModele, 13000);
    for (std::int32_t i = 1; i < m.NbPointsModele; ++i) {
        const TV3S& p = m.PointsModele[static_cast<std::size_t>(i)].CoPM;
        const std::int32_t c = tessarc::test::PlusProcheLineaire(cubes.Liste(), p[1], p[2]);
        ASSERT_EQ(p[3], float(c)) << "noeud " << i;
    }
}

TEST(CalculerPointsGrille, WithoutDisplayedCubesLeftTheNodesStayAtZeroAndTheStatusSaysSo) {
    TCubes supprimes;
    supprimes.Ajouter(0.5f, 0.5f, 3.0f, EtatMasque | EtatSupprime);
    supprimes.Ajouter(0.0f, 0.0f, 4.0f, EtatSelectionne | EtatMasque | EtatSupprime);
    for (const std::span<TCube* const> cubes : {std::span<TCube* const>{}, supprimes.Liste()}) {
        TMaillage m = Polygone({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 0.5f);
        const TCompteRenduGrille cr = CalculerPointsGrille(m, cubes);
        ASSERT_TRUE(cr.Calcule);
        EXPECT_TRUE(cr.SansHauteur) << cubes.size();
        EXPECT_EQ(cr.Message,
                  "aucune hauteur prise dans le nuage : aucun point affiché, les noeuds restent à Z = 0");
        for (std::int32_t i = 1; i < m.NbPointsModele; ++i)
            EXPECT_EQ(m.PointsModele[static_cast<std::size_t>(i)].CoPM[3], 0.0f);
    }
}
