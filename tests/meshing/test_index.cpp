// The spatial indexes against the plain list scans they replace, on random data rich in ties,
// duplicates and pairs straddling the tolerance.

#include "IndexCubesXY.h"
#include "IndexPointsModele.h"
#include "Lineaire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace tessarc;
using tessarc::test::TCubes;

namespace {

class TTirage {
public:
    explicit TTirage(unsigned graine) : g_(graine) {}
    int Entier(int a, int b) { return std::uniform_int_distribution<int>(a, b)(g_); }
    float Reel(float a, float b) { return std::uniform_real_distribution<float>(a, b)(g_); }

private:
    std::mt19937 g_;
};

// A point near the others: on a 0.5 mm lattice, a copy of an earlier point, or an earlier point moved
// by about the tolerance.
TV3S PointProche(TTirage& t, const std::vector<TV3S>& deja, float echelle, float base) {
    const int genre = t.Entier(0, 4);
    if (genre == 0 || deja.empty())
        return FaireV3S(base + 0.0005f * static_cast<float>(t.Entier(0, 40)),
                        base + 0.0005f * static_cast<float>(t.Entier(0, 40)), t.Reel(0, 1));
    const TV3S& p = deja[static_cast<std::size_t>(t.Entier(0, static_cast<int>(deja.size()) - 1))];
    if (genre == 1) return p;
    static constexpr float Ecarts[] = {0.0f, 0.00099f, 0.001f, 0.00101f, -0.00099f, -0.001f, -0.00101f};
    const auto ecart = [&] { return Ecarts[t.Entier(0, 6)] * echelle; };
    if (genre == 2) return FaireV3S(p[1] + ecart(), p[2] + ecart(), p[3]);
    if (genre == 3) return FaireV3S(std::nextafter(p[1], 1e30f), std::nextafter(p[2], -1e30f), p[3]);
    return FaireV3S(base + t.Reel(0, 0.05f), base + t.Reel(0, 0.05f), 0);
}

void ComparerAjouts(unsigned graine, float base, int nbDeja) {
    TTirage t(graine);
    std::vector<TV3S> points;
    TMaillage lin;
    lin.PointsModele.resize(128);
    lin.NbPointsModele = 1;
    for (int k = 0; k < nbDeja; ++k) {
        points.push_back(PointProche(t, points, 1.0f, base));
        test::AjouterPointModeleLineaire(lin, points.back(), k % 3 - 1);
    }
    TMaillage idx = lin;
    TIndexPointsModele index(idx);
    for (int k = 0; k < 3000; ++k) {
        points.push_back(PointProche(t, points, 1.0f, base));
        const std::int32_t seg = k % 5 - 1;
        const std::int32_t a = test::AjouterPointModeleLineaire(lin, points.back(), seg);
        const std::int32_t b = index.AjouterPointModele(points.back(), seg);
        ASSERT_EQ(a, b) << "graine " << graine << " ajout " << k;
    }
    ASSERT_EQ(lin.NbPointsModele, idx.NbPointsModele);
    ASSERT_EQ(lin.PointsModele.size(), idx.PointsModele.size());
    for (std::size_t i = 1; i < static_cast<std::size_t>(lin.NbPointsModele); ++i) {
        EXPECT_EQ(lin.PointsModele[i].CoPM, idx.PointsModele[i].CoPM);
        EXPECT_EQ(lin.PointsModele[i].NumFront0, idx.PointsModele[i].NumFront0);
    }
}

void ComparerPlusProches(TCubes& cubes, TTirage& t, float min, float max, float pas) {
    const TIndexCubesXY index(cubes.Liste());
    for (int k = 0; k < 400; ++k) {
        const bool surReseau = k % 2 == 0 && pas > 0;
        const float x =
            surReseau ? min + pas * static_cast<float>(t.Entier(-2, static_cast<int>((max - min) / pas) + 2))
                      : t.Reel(min - 1, max + 1);
        const float y =
            surReseau ? min + pas * static_cast<float>(t.Entier(-2, static_cast<int>((max - min) / pas) + 2))
                      : t.Reel(min - 1, max + 1);
        ASSERT_EQ(index.PlusProche(x, y), test::PlusProcheLineaire(cubes.Liste(), x, y))
            << cubes.Taille() << " cubes, requête (" << x << ", " << y << ")";
    }
}

} // namespace

TEST(IndexPointsModele, GivesTheNodesOfTheListScan) {
    for (unsigned graine = 1; graine <= 6; ++graine) ComparerAjouts(graine, 0.0f, 0);
    // Away from the origin, where 1 mm is a few float steps, and on negative coordinates.
    ComparerAjouts(11, 1500.0f, 0);
    ComparerAjouts(12, -250.0f, 0);
    ComparerAjouts(13, 3.0e6f, 0);
    // Indexing nodes already there, as the triangulation does.
    ComparerAjouts(14, 0.0f, 500);
}

TEST(IndexPointsModele, GrowsByBlocksOf128AndNeverUsesEntryZero) {
    TMaillage m;
    TIndexPointsModele index(m);
    EXPECT_EQ(m.NbPointsModele, 1);
    for (int k = 0; k < 128; ++k) EXPECT_EQ(index.AjouterPointModele(FaireV3S(float(k), 0, 0), -1), k + 1);
    EXPECT_EQ(m.PointsModele.size(), 129u); // one block, full
    EXPECT_EQ(index.AjouterPointModele(FaireV3S(5.0009f, 0.0009f, 7), 3), 6);
    EXPECT_EQ(m.PointsModele[6].CoPM, FaireV3S(5, 0, 0)); // the existing node is left unchanged
    EXPECT_EQ(m.PointsModele[6].NumFront0, -1);
    // Undefined coordinates are within the tolerance of nothing, themselves included.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(index.AjouterPointModele(FaireV3S(nan, 0, 0), -1), 129);
    EXPECT_EQ(index.AjouterPointModele(FaireV3S(nan, 0, 0), -1), 130);
    EXPECT_EQ(m.PointsModele.size(), 129u + 128u);
}

TEST(IndexCubesXY, FindsTheCubeOfTheListScanAmongTiesAndDuplicates) {
    for (unsigned graine = 1; graine <= 5; ++graine) {
        TTirage t(graine);
        for (const int n : {1, 2, 8, 9, 17, 1000, 4000}) {
            TCubes cubes;
            // Half-metre lattice: equal distances are common, and so are identical cubes.
            for (int k = 0; k < n; ++k)
                cubes.Ajouter(0.5f * float(t.Entier(0, 20)), 0.5f * float(t.Entier(0, 20)), float(k),
                              std::uint8_t(k % 8));
            ComparerPlusProches(cubes, t, 0.0f, 10.0f, 0.25f);
        }
    }
}

TEST(IndexCubesXY, FindsTheCubeOfTheListScanOnScatteredAndClusteredClouds) {
    TTirage t(42);
    TCubes diffus;
    for (int k = 0; k < 10000; ++k) diffus.Ajouter(t.Reel(-5, 5), t.Reel(-5, 5), 0);
    ComparerPlusProches(diffus, t, -5, 5, 0);

    // A dense cluster of many copies of a few points, and strays far away: all of the cluster falls in
    // one cell of the curve and is split on coordinates.
    TCubes amas;
    for (int k = 0; k < 5000; ++k)
        amas.Ajouter(1.0f + 0.001f * float(t.Entier(0, 3)), 2.0f + 0.001f * float(t.Entier(0, 3)), 0);
    for (int k = 0; k < 3000; ++k) amas.Ajouter(1.0f + t.Reel(0, 0.004f), 2.0f + t.Reel(0, 0.004f), 0);
    amas.Ajouter(-2000.0f, 3000.0f, 0);
    amas.Ajouter(1e6f, -1e6f, 0);
    ComparerPlusProches(amas, t, 0.999f, 1.005f, 0.0005f);
    ComparerPlusProches(amas, t, -3000.0f, 3000.0f, 0);
}

TEST(IndexCubesXY, FollowsTheListScanOnUndefinedCoordinates) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    TCubes vide;
    EXPECT_EQ(TIndexCubesXY(vide.Liste()).PlusProche(0, 0), -1);

    TCubes premierIndefini; // no later cube is ever strictly nearer than a NaN distance
    premierIndefini.Ajouter(nan, 0, 0);
    premierIndefini.Ajouter(0, 0, 0);
    EXPECT_EQ(TIndexCubesXY(premierIndefini.Liste()).PlusProche(0, 0), 0);
    EXPECT_EQ(test::PlusProcheLineaire(premierIndefini.Liste(), 0, 0), 0);

    TCubes infinis;
    infinis.Ajouter(inf, 0, 0);
    infinis.Ajouter(3, nan, 0);
    infinis.Ajouter(2, 2, 0);
    infinis.Ajouter(-inf, 1, 0);
    infinis.Ajouter(1, 1, 0);
    const TIndexCubesXY index(infinis.Liste());
    for (const auto& [x, y] :
         std::vector<std::pair<float, float>>{{0, 0}, {2, 2}, {nan, 0}, {inf, 1}, {1, -inf}})
        EXPECT_EQ(index.PlusProche(x, y), test::PlusProcheLineaire(infinis.Liste(), x, y)) << x << " " << y;

    TCubes seulementInfinis;
    seulementInfinis.Ajouter(inf, inf, 0);
    seulementInfinis.Ajouter(-inf, 0, 0);
    EXPECT_EQ(TIndexCubesXY(seulementInfinis.Liste()).PlusProche(1, 1), 0);
    EXPECT_EQ(test::PlusProcheLineaire(seulementInfinis.Liste(), 1, 1), 0);

    // A deleted cube is not there, an undefined one included.
    TCubes supprimes;
    supprimes.Ajouter(nan, 0, 0, EtatMasque | EtatSupprime);
    supprimes.Ajouter(5, 5, 0);
    EXPECT_EQ(TIndexCubesXY(supprimes.Liste()).PlusProche(0, 0), 1);
    EXPECT_EQ(TIndexCubesXY(supprimes.Liste()).PlusProche(nan, 0), 1);
    supprimes.Ajouter(0, 0, 0, EtatSupprime);
    EXPECT_EQ(TIndexCubesXY(supprimes.Liste()).PlusProche(0, 0), 1);
    TCubes tousSupprimes;
    tousSupprimes.Ajouter(0, 0, 0, EtatSupprime);
    EXPECT_EQ(TIndexCubesXY(tousSupprimes.Liste()).PlusProche(0, 0), -1);
    EXPECT_EQ(test::PlusProcheLineaire(tousSupprimes.Liste(), 0, 0), -1);
}
