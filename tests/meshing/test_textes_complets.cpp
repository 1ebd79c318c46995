// The whole road on two small boundaries, against texts worked out by hand: crossings, snapping and
// node order from the grid rules, patterns from the outline table, numbers from stepping through the
// sort, groups from the slice rule. The float roundings and the final strings were cross-checked with a
// separate re-implementation written for that purpose.

#include "GrilleCapture.h"
#include "Lineaire.h"
#include "Modele.h"
#include "Triangulation.h"

#include <gtest/gtest.h>

using namespace tessarc;
using tessarc::test::TCubes;

namespace {

TMaillage Entrer(std::vector<std::pair<float, float>> points, float trame) {
    TMaillage m;
    for (auto [x, y] : points) m.Frontiere.push_back(FaireV3S(x, y, 0.0f));
    m.TrameGrille = trame;
    EntrerPageGrille(m, 0.0f);
    return m;
}

} // namespace

TEST(TextesComplets, Rectangle) {
    // 0.4 x 0.2 m, spacing 0.2, origin at its corner: 4 x 3 cells. Row 0 gives the snapped corners
    // 1 (0, 0) seg 0 and 2 (0.4, 0) seg 1, then the fill 3 (0.2, 0); row 1 gives 4 (0, 0.2) seg 3,
    // 5 (0.4, 0.2) seg 2 and 6 (0.2, 0.2); the vertical pass finds no new node. The fills 3 and 6 lie on
    // the bottom and top sides: they become supports of segments 0 and 2. The two full
    // squares add centres 7 (0.1, 0.1) and 8 (0.3, 0.1), each with four triangles. Heights from cubes on
    // z = 1 + x + 3y; the decoy at (0.1, 0.1) is nearest to no node.
    TMaillage m = Entrer({{0, 0}, {0.4f, 0}, {0.4f, 0.2f}, {0, 0.2f}}, 0.2f);
    TCubes cubes;
    cubes.Ajouter(0, 0, 1.0f);
    cubes.Ajouter(0.4f, 0, 1.4f);
    cubes.Ajouter(0.2f, 0, 1.2f);
    cubes.Ajouter(0, 0.2f, 1.6f);
    cubes.Ajouter(0.4f, 0.2f, 2.0f);
    cubes.Ajouter(0.2f, 0.2f, 1.8f);
    cubes.Ajouter(0.1f, 0.1f, 5.0f);
    ASSERT_TRUE(CalculerPointsGrille(m, cubes.Liste()).Calcule);
    ASSERT_TRUE(Trianguler(m).Triangule);
    ASSERT_EQ(m.NbPointsModele, 9);
    ASSERT_EQ(m.Triangles.size(), 8u);

    // Heights 1.0 1.4 1.2 1.6 2.0 1.8 1.4 1.6 for nodes 1..8: the sort puts 7 before 2 and 8 before 4.
    const TResultatModele r = CalculerModele(m, TSaisieModele{});
    ASSERT_TRUE(r.Calcule);
    EXPECT_EQ(r.ResulGen, "OPTIONS PS EC Z\r\n"
                          "TITRE modèle voute\r\n"
                          "NOEUDS\r\n"
                          "UNITES M\r\n"
                          "LIRETABLE tblnds\r\n"
                          "MAILLAGES\r\n"
                          "ELFI DKT18 maco 0.10\r\n"
                          "LIRETABLE tblelfis\r\n"
                          "LIAISONS\r\n"
                          ";segment 0\r\n"
                          "A 1,2\r\n"
                          ";segment 1\r\n"
                          "A 4\r\n"
                          ";segment 2\r\n"
                          "A 7,8\r\n"
                          ";segment 3\r\n"
                          "A 6\r\n"
                          "CHARGES\r\n"
                          "CAS 1 G 1 = cp\r\n"
                          "G\r\n"
                          ";MAXI 1\r\n"
                          "FIN\r\n");
    EXPECT_EQ(r.ResulNds, "GROUPE NDS_TR50\r\n"
                          "         1       0.00       0.00       0.00\r\n"
                          "         2       0.20       0.00       0.20\r\n"
                          "         3       0.10       0.10       0.40\r\n"
                          "         4       0.40       0.00       0.40\r\n"
                          "GROUPE NDS_TR100\r\n"
                          "         5       0.30       0.10       0.60\r\n"
                          "         6       0.00       0.20       0.60\r\n"
                          "         7       0.20       0.20       0.80\r\n"
                          "GROUPE NDS_TR150\r\n"
                          "         8       0.40       0.20       1.00\r\n");
    // Triangle heights 1.2, 1.467, 1.6, 1.333, 1.4, 1.667, 1.8, 1.533, all distinct.
    EXPECT_EQ(r.ResulElts, "GROUPE TRI_TR50\r\n"
                           "         1          1          2          3\r\n"
                           "         2          6          1          3\r\n"
                           "         3          2          4          5\r\n"
                           "         4          2          7          3\r\n"
                           "         5          7          2          5\r\n"
                           "         6          7          6          3\r\n"
                           "         7          4          8          5\r\n"
                           "GROUPE TRI_TR100\r\n"
                           "         8          8          7          5\r\n");
}

TEST(TextesComplets, EnL) {
    // An L of 0.5 m with a 0.25 m notch, spacing 0.2: 5 x 5 cells. The sides at 0.5 and 0.25 are 0.1 and
    // 0.05 from the lattice, farther than T/10: their crossings stay on cell edges. Rows give 1 (0, 0) s0,
    // 2 (0.5, 0) s1, 3 (0.2, 0), 4 (0.4, 0) (both on the bottom side: supports of s0); 5 (0, 0.2) s5, 6 (0.5,
    // 0.2) s1, 7 (0.2, 0.2), 8 (0.4, 0.2); 9 (0, 0.4) s5, 10 (0.25, 0.4) s3, 11 (0.2, 0.4). The vertical pass
    // adds 12 (0, 0.5) s5, 13 (0.2, 0.5) s4 and 14 (0.4, 0.25) s2. Three full squares add centres 15, 16, 17;
    // the partial squares take 4, 5, 3, 4 and 3 nodes. Heights from a 5 cm lattice of cubes on z = 2 + x - y.
    TMaillage m = Entrer({{0, 0}, {0.5f, 0}, {0.5f, 0.25f}, {0.25f, 0.25f}, {0.25f, 0.5f}, {0, 0.5f}}, 0.2f);
    TCubes cubes;
    for (int i = 0; i <= 12; ++i)
        for (int j = 0; j <= 12; ++j) {
            const auto x = static_cast<float>(0.05 * i);
            const auto y = static_cast<float>(0.05 * j);
            cubes.Ajouter(x, y, static_cast<float>(2.0 + double(x) - double(y)));
        }
    ASSERT_TRUE(CalculerPointsGrille(m, cubes.Liste()).Calcule);
    ASSERT_TRUE(Trianguler(m).Triangule);
    ASSERT_EQ(m.NbPointsModele, 18);
    ASSERT_EQ(m.Triangles.size(), 21u);

    TSaisieModele s;
    s.Noeuds = "101";
    s.Elements = "1001";
    s.ZBas = "10";
    s.Rotation = "30";
    s.Tranches = "20";
    const TResultatModele r = CalculerModele(m, s);
    ASSERT_TRUE(r.Calcule);
    EXPECT_EQ(r.ResulGen, "OPTIONS PS EC Z\r\n"
                          "TITRE modèle voute\r\n"
                          "NOEUDS\r\n"
                          "UNITES M\r\n"
                          "LIRETABLE tblnds\r\n"
                          "MAILLAGES\r\n"
                          "ELFI DKT18 maco 0.10\r\n"
                          "LIRETABLE tblelfis\r\n"
                          "LIAISONS\r\n"
                          ";segment 0\r\n"
                          "A 108,114,116\r\n"
                          ";segment 1\r\n"
                          "A 115,117\r\n"
                          ";segment 2\r\n"
                          "A 111\r\n"
                          ";segment 3\r\n"
                          "A 107\r\n"
                          ";segment 4\r\n"
                          "A 103\r\n"
                          ";segment 5\r\n"
                          "A 101,102,105\r\n"
                          "CHARGES\r\n"
                          "CAS 1 G 1 = cp\r\n"
                          "G\r\n"
                          ";MAXI 1\r\n"
                          "FIN\r\n");
    EXPECT_EQ(r.ResulNds, "GROUPE NDS_TR20\r\n"
                          "       101       0.25       0.43      10.00\r\n"
                          "       102       0.20       0.35      10.10\r\n"
                          "GROUPE NDS_TR40\r\n"
                          "       103       0.42       0.33      10.20\r\n"
                          "       104       0.37       0.25      10.30\r\n"
                          "       105       0.10       0.17      10.30\r\n"
                          "       106       0.24       0.21      10.30\r\n"
                          "       107       0.42       0.22      10.35\r\n"
                          "GROUPE NDS_TR60\r\n"
                          "       108       0.00       0.00      10.50\r\n"
                          "       109       0.14       0.04      10.50\r\n"
                          "       110       0.27       0.07      10.50\r\n"
                          "GROUPE NDS_TR80\r\n"
                          "       111       0.47       0.02      10.65\r\n"
                          "       112       0.45      -0.03      10.70\r\n"
                          "       113       0.31      -0.06      10.70\r\n"
                          "       114       0.17      -0.10      10.70\r\n"
                          "GROUPE NDS_TR100\r\n"
                          "       115       0.53      -0.08      10.80\r\n"
                          "       116       0.35      -0.20      10.90\r\n"
                          "GROUPE NDS_TR120\r\n"
                          "       117       0.43      -0.25      11.00\r\n");
    EXPECT_EQ(r.ResulElts, "GROUPE TRI_TR20\r\n"
                           "      1001        101        102        104\r\n"
                           "      1002        104        103        101\r\n"
                           "      1003        104        102        106\r\n"
                           "      1004        102        105        106\r\n"
                           "      1005        103        104        107\r\n"
                           "GROUPE TRI_TR40\r\n"
                           "      1006        105        110        106\r\n"
                           "      1007        110        104        106\r\n"
                           "      1008        105        108        109\r\n"
                           "      1009        111        107        104\r\n"
                           "      1010        110        105        109\r\n"
                           "      1011        104        110        111\r\n"
                           "GROUPE TRI_TR60\r\n"
                           "      1012        108        114        109\r\n"
                           "      1013        114        110        109\r\n"
                           "      1014        110        112        111\r\n"
                           "      1015        110        114        113\r\n"
                           "      1016        112        110        113\r\n"
                           "      1017        111        112        115\r\n"
                           "GROUPE TRI_TR80\r\n"
                           "      1018        114        116        113\r\n"
                           "      1019        116        112        113\r\n"
                           "      1020        115        112        116\r\n"
                           "      1021        116        117        115\r\n");
}
