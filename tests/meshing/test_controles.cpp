#include "Controles.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tessarc;

namespace {

TMaillage Noeuds(std::size_t nbFrontiere, const std::vector<std::array<float, 3>>& noeuds) {
    TMaillage m;
    m.Frontiere.resize(nbFrontiere);
    m.PointsModele.resize(1);
    for (const auto& [x, y, segment] : noeuds) {
        TPointModele p;
        p.CoPM = FaireV3S(x, y, 0);
        p.NumFront0 = static_cast<std::int32_t>(segment);
        m.PointsModele.push_back(p);
    }
    m.NbPointsModele = static_cast<std::int32_t>(m.PointsModele.size());
    return m;
}

} // namespace

TEST(ControleAppuis, CountsEachSegmentAndNamesThoseWithFewerThanTwo) {
    // A segment beyond the boundary (changed since the grid) is not one of its sides.
    const TMaillage m =
        Noeuds(4, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 0, 2}, {0, 0, -1}, {0, 0, 7}});
    EXPECT_EQ(ControleAppuis(m),
              "appuis par segment : 3, 1, 2, 0 ; attention : segment 1 : 1 appui, segment 3 : 0 appui");
    EXPECT_EQ(ControleAppuis(Noeuds(2, {{0, 0, 0}, {0, 0, 1}, {0, 0, 0}, {0, 0, 1}})),
              "appuis par segment : 2, 2");
    EXPECT_EQ(ControleAppuis(Noeuds(0, {{0, 0, -1}})), "");
}

TEST(ControleTriangulation, CountsElementsTheSmallestAngleInPlanAndTheSharpOnes) {
    TMaillage m = Noeuds(0, {{0, 0, -1}, {1, 0, -1}, {0, 1, -1}, {1, 1, -1}, {10, 0.5f, -1}});
    TCompteRenduTriangulation cr{true, 2};
    EXPECT_EQ(ControleTriangulation(m, cr), "éléments : 0 ; triangles sans aire écartés : 2");
    // Two right isosceles triangles (45°) and a sliver whose apex angle is 2 atan(0.5 / 9) = 6.36°.
    for (const std::array<std::int32_t, 3> s :
         {std::array{1, 2, 3}, std::array{2, 4, 3}, std::array{2, 5, 4}})
        m.Triangles.push_back({s, 0.0f});
    EXPECT_EQ(
        ControleTriangulation(m, cr),
        "éléments : 3 ; plus petit angle : 6.4° ; éléments sous 15° : 1 ; triangles sans aire écartés : 2");
    m.Triangles.pop_back();
    EXPECT_EQ(
        ControleTriangulation(m, {true, 0}),
        "éléments : 2 ; plus petit angle : 45.0° ; éléments sous 15° : 0 ; triangles sans aire écartés : 0");
}
