#include "GrilleCapture.h"
#include "Triangulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using namespace tessarc;

namespace {

using TTri = std::array<std::int32_t, 3>;

// One grid square: corners c0 (0, 0), c1 (1, 0), c2 (1, 1), c3 (0, 1), counter-clockwise.
class TCarre {
public:
    TCarre() {
        m.NbColGrille = 2;
        m.NbLigGrille = 2;
        m.GrilleTri.resize(4);
        m.PointsModele.resize(1);
        m.NbPointsModele = 1;
    }
    TPointTri& Coin(int k) {
        static constexpr std::array<int, 4> Cellule{0, 1, 3, 2};
        return m.GrilleTri[static_cast<std::size_t>(Cellule[static_cast<std::size_t>(k)])];
    }
    std::int32_t Noeud(float x, float y, float z = 0.0f) {
        TPointModele n;
        n.CoPM = FaireV3S(x, y, z);
        n.NumFront0 = -1;
        m.PointsModele.push_back(n);
        return m.NbPointsModele++;
    }
    // Puts node n at position 1..12 of the outline, counter-clockwise from the top of the left edge.
    void Placer(int position, std::int32_t n) {
        struct TPlace {
            int coin;
            int direction; // 0: the corner node itself
            int rang;
        };
        static constexpr std::array<TPlace, 12> Places{{{0, 2, 2},
                                                        {0, 2, 1},
                                                        {0, 0, 0},
                                                        {0, 1, 1},
                                                        {0, 1, 2},
                                                        {1, 0, 0},
                                                        {1, 2, 1},
                                                        {1, 2, 2},
                                                        {2, 0, 0},
                                                        {3, 1, 2},
                                                        {3, 1, 1},
                                                        {3, 0, 0}}};
        const TPlace& p = Places[static_cast<std::size_t>(position - 1)];
        TPointTri& c = Coin(p.coin);
        if (p.direction == 0) {
            c.PTrInt = n;
            c.typepttri = std::max<std::uint8_t>(c.typepttri, 1);
        } else {
            c.PTrHV[p.direction][p.rang] = n;
            c.typepttri = 2;
        }
    }
    std::vector<TTri> Triangles() const {
        std::vector<TTri> r;
        for (const TTriangle& t : m.Triangles) r.push_back(t.Sommets);
        return r;
    }
    TMaillage m;
};

} // namespace

TEST(Trianguler, EachOutlineSizeFrom3To8GivesItsPatternOverTheNodesInOutlineOrder) {
    // Positions deliberately not in outline order; P1 .. Pn follow the outline, not the placing.
    const std::array<int, 8> positions{12, 1, 7, 4, 10, 2, 6, 8};
    const std::array<std::vector<TTri>, 9> motifs{
        std::vector<TTri>{},
        {},
        {},
        {{1, 2, 3}},
        {{1, 2, 3}, {3, 4, 1}},
        {{1, 2, 3}, {3, 4, 5}, {5, 1, 3}},
        {{1, 2, 3}, {3, 4, 5}, {5, 6, 3}, {6, 1, 3}},
        {{1, 2, 3}, {3, 4, 5}, {5, 6, 7}, {7, 1, 5}, {1, 3, 5}},
        {{1, 2, 3}, {3, 4, 5}, {5, 6, 7}, {7, 8, 1}, {1, 3, 5}, {5, 7, 1}}};
    for (std::size_t n = 1; n <= 8; ++n) {
        TCarre c;
        std::vector<std::pair<int, std::int32_t>> places;
        for (std::size_t k = 0; k < n; ++k) {
            // On a circle: no three nodes on one line, so that no pattern triangle lacks area.
            const std::int32_t noeud = c.Noeud(std::cos(0.7f * float(k)), std::sin(0.7f * float(k)));
            c.Placer(positions[k], noeud);
            places.emplace_back(positions[k], noeud);
        }
        std::sort(places.begin(), places.end());
        std::vector<TTri> attendus;
        for (const TTri& t : motifs[n])
            attendus.push_back({places[static_cast<std::size_t>(t[0] - 1)].second,
                                places[static_cast<std::size_t>(t[1] - 1)].second,
                                places[static_cast<std::size_t>(t[2] - 1)].second});
        ASSERT_TRUE(Trianguler(c.m).Triangule);
        EXPECT_EQ(c.Triangles(), attendus) << n << " noeuds";
        EXPECT_EQ(c.m.NbPointsModele, static_cast<std::int32_t>(n) + 1) << "no centre node";
    }
}

TEST(Trianguler, MoreThanEightNodesOnTheOutlineGiveNoTriangle) {
    TCarre c;
    for (const int p : {1, 2, 3, 4, 5, 6, 7, 8, 10}) c.Placer(p, c.Noeud(float(p), 0.0f));
    ASSERT_TRUE(Trianguler(c.m).Triangule);
    EXPECT_TRUE(c.Triangles().empty());
}

TEST(Trianguler, APatternTriangleUsingOneNodeTwiceIsDropped) {
    // A snapped crossing stored both at the corner and on the edge: P2 and P3 are the same node.
    TCarre c;
    const std::int32_t a = c.Noeud(0, 0.5f);
    const std::int32_t b = c.Noeud(0, 0);
    const std::int32_t d = c.Noeud(1, 0);
    c.Placer(1, a);
    c.Placer(2, b);
    c.Placer(3, b);
    c.Placer(6, d);
    ASSERT_TRUE(Trianguler(c.m).Triangule);
    EXPECT_EQ(c.Triangles(), (std::vector<TTri>{{b, d, a}}));
    std::vector<TTriangle> t;
    for (const TTri& r : std::vector<TTri>{{1, 2, 1}, {1, 1, 2}, {2, 1, 1}})
        EXPECT_EQ(AjouterTriangle(t, c.m.PointsModele, r[0], r[1], r[2]), EAjoutTriangle::NoeudRepete);
    EXPECT_TRUE(t.empty());
}

TEST(Trianguler, ATriangleWithoutAreaIsDroppedAndCounted) {
    // Two crossings on the left edge and the lower-left corner lie on one line: (P1, P2, P3) has no area.
    TCarre c;
    const std::int32_t p1 = c.Noeud(0, 0.7f);
    const std::int32_t p2 = c.Noeud(0, 0.3f);
    const std::int32_t p3 = c.Noeud(0, 0);
    const std::int32_t p4 = c.Noeud(1, 0);
    c.Placer(1, p1);
    c.Placer(2, p2);
    c.Placer(3, p3);
    c.Placer(6, p4);
    const TCompteRenduTriangulation cr = Trianguler(c.m);
    ASSERT_TRUE(cr.Triangule);
    EXPECT_EQ(cr.SansAire, 1);
    EXPECT_EQ(c.Triangles(), (std::vector<TTri>{{p3, p4, p1}}));

    // Twice the signed area against 1e-6, in double on the single coordinates.
    const std::int32_t presque = c.Noeud(0.5f, 9e-7f);
    const std::int32_t juste = c.Noeud(0.5f, 1.1e-6f);
    const std::int32_t dessous = c.Noeud(0.5f, -1.1e-6f);
    std::vector<TTriangle> t;
    EXPECT_EQ(AjouterTriangle(t, c.m.PointsModele, p3, p4, presque), EAjoutTriangle::SansAire);
    EXPECT_EQ(AjouterTriangle(t, c.m.PointsModele, p3, p4, juste), EAjoutTriangle::Ajoute);
    EXPECT_EQ(AjouterTriangle(t, c.m.PointsModele, p3, p4, dessous), EAjoutTriangle::Ajoute);
    EXPECT_EQ(t.size(), 2u);
}

TEST(Trianguler, AFullSquareGetsACentreNodeAndFourTrianglesEvenWithACrossingOnAnEdge) {
    TCarre c;
    const std::int32_t n0 = c.Noeud(0, 0, 1.0f);
    const std::int32_t n1 = c.Noeud(1, 0, 2.0f);
    const std::int32_t n2 = c.Noeud(1, 1, 4.0f);
    const std::int32_t n3 = c.Noeud(0, 1, 3.0f);
    c.Placer(3, n0);
    c.Placer(6, n1);
    c.Placer(9, n2);
    c.Placer(12, n3);
    c.Placer(4, c.Noeud(0.5f, 0.0f)); // on the lower edge: not used
    ASSERT_TRUE(Trianguler(c.m).Triangule);
    const std::int32_t centre = 6;
    EXPECT_EQ(c.Triangles(),
              (std::vector<TTri>{{n0, n1, centre}, {n1, n2, centre}, {n2, n3, centre}, {n3, n0, centre}}));
    ASSERT_EQ(c.m.NbPointsModele, 7);
    ASSERT_EQ(c.m.PointsModele.size(), 7u);
    EXPECT_EQ(c.m.PointsModele[6].CoPM, FaireV3S(0.5f, 0.5f, 2.5f)); // the mean of the diagonal c0-c2
    EXPECT_EQ(c.m.PointsModele[6].NumFront0, -1);
}

TEST(Trianguler, RunningAgainGivesTheSameTrianglesWithoutNewNodes) {
    TMaillage m;
    m.Frontiere = {FaireV3S(0, 0, 0), FaireV3S(1.0f, 0, 0), FaireV3S(1.3f, 0.7f, 0), FaireV3S(0.1f, 0.9f, 0)};
    m.TrameGrille = 0.2f;
    EntrerPageGrille(m, 0.0f);
    ASSERT_TRUE(CalculerPointsGrille(m, {}).Calcule);
    ASSERT_TRUE(Trianguler(m).Triangule);
    const std::int32_t nb = m.NbPointsModele;
    const std::vector<TPointModele> noeuds = m.PointsModele;
    std::vector<std::array<std::int32_t, 3>> premiers;
    for (const TTriangle& t : m.Triangles) premiers.push_back(t.Sommets);
    ASSERT_GT(premiers.size(), 20u);
    ASSERT_TRUE(Trianguler(m).Triangule);
    EXPECT_EQ(m.NbPointsModele, nb);
    EXPECT_EQ(m.PointsModele.size(), noeuds.size());
    std::vector<std::array<std::int32_t, 3>> seconds;
    for (const TTriangle& t : m.Triangles) seconds.push_back(t.Sommets);
    EXPECT_EQ(seconds, premiers);
}

TEST(Trianguler, DoesNothingWhileTheGridIsNotComputed) {
    TMaillage m;
    m.NbColGrille = 3;
    m.NbLigGrille = 3;
    m.Triangles.resize(2);
    EXPECT_FALSE(Trianguler(m).Triangule);
    EXPECT_EQ(m.Triangles.size(), 2u);
}

TEST(PagesMaillage, ForwardOnePageAtATimeAndTriangulationOnlyOnceTheGridIsComputed) {
    TMaillage m;
    EXPECT_TRUE(ChangementPageAccepte(PageNettoyage, PageFrontiere, m));
    EXPECT_TRUE(ChangementPageAccepte(PageFrontiere, PageGrille, m));
    EXPECT_FALSE(ChangementPageAccepte(PageGrille, PageModele, m));
    EXPECT_FALSE(ChangementPageAccepte(PageFrontiere, PageTriangulation, m));
    EXPECT_FALSE(ChangementPageAccepte(PageGrille, PageTriangulation, m));
    EXPECT_TRUE(ChangementPageAccepte(PageModele, PageNettoyage, m));
    EXPECT_FALSE(ChangementPageAccepte(PageModele, PageTriangulation, m));
    m.GrilleTri.resize(1);
    EXPECT_TRUE(ChangementPageAccepte(PageGrille, PageTriangulation, m));
    EXPECT_TRUE(ChangementPageAccepte(PageModele, PageTriangulation, m));
    EXPECT_TRUE(ChangementPageAccepte(PageTriangulation, PageModele, m));
    EXPECT_FALSE(OngletResultatAccessible(""));
    EXPECT_TRUE(OngletResultatAccessible("OPTIONS PS EC Z\r\n"));
}
