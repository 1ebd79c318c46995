// Hover pick and rectangle selection on the CPU, with a camera whose pixels fall on exact binary
// fractions so that borders can be hit exactly.

#include "Piquage.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <vector>

namespace tessarc {
namespace {

constexpr int Largeur = 256;
constexpr int Hauteur = 128;

// X-Z view of a 256 x 128 panel, centre at the origin, one pixel = 1 m: window x = X + 128, y = Z + 64.
TCamera CameraExacte() {
    TCamera c;
    c.RayonStruc = 128.0;
    c.CoefZoom = 1.0;
    c.OrienterVue(1);
    c.PreparerVue(false, Largeur, Hauteur);
    return c;
}

struct TDocument {
    std::vector<TCube> cubes;
    std::vector<TCube*> affiches;

    void Ajouter(float x, float y, float z, std::uint8_t etat = 0) {
        TCube c;
        c.CooMoyPts = FaireV3S(x, y, z);
        c.CooOriCube = FaireV3S(x - 0.5f, y - 0.5f, z - 0.5f);
        c.nbptscube = 3;
        c.etatSP = etat;
        cubes.push_back(c);
    }
    std::span<TCube* const> Liste() {
        affiches.clear();
        for (TCube& c : cubes) affiches.push_back(&c);
        return affiches;
    }
};

TEST(Selection, TheCameraOfTheseTestsIsExact) {
    const TCamera c = CameraExacte();
    const auto f = c.PointFenetre(FaireV3R(10, 0, -7));
    EXPECT_EQ(f->x, 138.0);
    EXPECT_EQ(f->y, 57.0);
}

TEST(Selection, HoverReportsTheFirstCubeInListOrderWhateverItsDepth) {
    TCamera c = CameraExacte();
    TDocument doc;
    doc.Ajouter(-50, 0, 0);                            // elsewhere
    doc.Ajouter(10, 30, 5, EtatMasque | EtatSupprime); // under the mouse, behind, masked and deleted
    doc.Ajouter(10, -30, 5);                           // under the mouse, in front
    const auto cubes = doc.Liste();
    c.mouseold = {138, Hauteur - 69}; // window (138, 69) is X = 10, Z = 5
    const auto i = PremierCubeVisible(cubes, c.PreparerVue(true, Largeur, Hauteur));
    ASSERT_TRUE(i);
    EXPECT_EQ(*i, 1u);
    std::swap(doc.cubes[1], doc.cubes[2]);
    EXPECT_EQ(PremierCubeVisible(doc.Liste(), c.PreparerVue(true, Largeur, Hauteur)), 1u);
}

TEST(Selection, HoverSquareIsNinePixelsWide) {
    TCamera c = CameraExacte();
    c.mouseold = {100, 50}; // window (100, 78): X = -28, Z = 14
    const TMatricesVue m = c.PreparerVue(true, Largeur, Hauteur);
    const struct {
        float dx, dz;
        bool dedans;
    } cas[] = {{0, 0, true},    {4, 4, true},     {-4, -4, true},    {4.4f, 0, true}, {-4.4f, 0, true},
               {0, 4.4f, true}, {4.6f, 0, false}, {0, -4.6f, false}, {5, 5, false},   {-30, 0, false}};
    for (const auto& k : cas) {
        TDocument doc;
        doc.Ajouter(-28 + k.dx, 0, 14 + k.dz);
        EXPECT_EQ(PremierCubeVisible(doc.Liste(), m).has_value(), k.dedans) << k.dx << " " << k.dz;
    }
    // Beyond the depth range of the view nothing is picked.
    TDocument loin;
    loin.Ajouter(-28, 1500, 14);
    EXPECT_FALSE(PremierCubeVisible(loin.Liste(), m));
    TDocument vide;
    EXPECT_FALSE(PremierCubeVisible(vide.Liste(), m));
}

TEST(Selection, StatusTextOfAPickedCubeInTrueCoordinates) {
    TCube c;
    c.CooMoyPts = FaireV3S(1.25f, -2.5f, 3.0f);
    c.CooOriCube = FaireV3S(1.2f, -2.6f, 3.0f);
    c.nbptscube = 42;
    EXPECT_EQ(TexteCube(c, {}), "1.250   -2.500   3.000  //  1.200   -2.600   3.000  (42)");
    // A far scan: the shift is added in double, beyond what a float would hold to the millimetre.
    EXPECT_EQ(TexteCube(c, FaireV3R(652000.0, 6862000.0, -100.0)),
              "652001.250   6861997.500   -97.000  //  652001.200   6861997.400   -97.000  (42)");
}

TEST(Selection, RectangleBoundsAreInclusiveInBothDragDirections) {
    const TCamera c = CameraExacte();
    // Rectangle from client (100, 40) to (140, 70): window x 100 .. 140, y 58 .. 88, so X -28 .. 12 and
    // Z -6 .. 24.
    const auto construire = [] {
        TDocument doc;
        doc.Ajouter(-28, 0, -6);  // on a corner
        doc.Ajouter(12, 0, 24);   // on the opposite corner
        doc.Ajouter(0, 0, 24);    // on the top edge
        doc.Ajouter(-29, 0, 0);   // just left
        doc.Ajouter(0, 0, 24.5f); // just above
        doc.Ajouter(0, 800, 0);   // inside, far behind: depth is ignored
        doc.Ajouter(0, 0, 0, EtatMasque);
        doc.Ajouter(0, 0, 1, EtatMasque | EtatSupprime | EtatSelectionne);
        return doc;
    };
    const std::vector<std::uint8_t> attendu = {1, 1, 1,          0,
                                               0, 1, EtatMasque, EtatMasque | EtatSupprime | EtatSelectionne};
    for (const auto& [a, b] : {std::pair{TPointEcran{100, 40}, TPointEcran{140, 70}},
                               std::pair{TPointEcran{140, 70}, TPointEcran{100, 40}},
                               std::pair{TPointEcran{100, 70}, TPointEcran{140, 40}}}) {
        TDocument doc = construire();
        EXPECT_EQ(SelectionnerCubesRectangle(doc.Liste(), c, a, b), 4u);
        for (std::size_t i = 0; i < attendu.size(); ++i) EXPECT_EQ(doc.cubes[i].etatSP, attendu[i]) << i;
    }
}

TEST(Selection, SelectionOnlyGrows) {
    const TCamera c = CameraExacte();
    TDocument doc;
    doc.Ajouter(0, 0, 0, EtatSelectionne); // outside the rectangle, already selected
    doc.Ajouter(50, 0, 0);
    EXPECT_EQ(SelectionnerCubesRectangle(doc.Liste(), c, {170, 60}, {190, 70}), 1u);
    EXPECT_EQ(doc.cubes[0].etatSP, EtatSelectionne);
    EXPECT_EQ(doc.cubes[1].etatSP, EtatSelectionne);
    // Selecting again counts nothing new.
    EXPECT_EQ(SelectionnerCubesRectangle(doc.Liste(), c, {170, 60}, {190, 70}), 0u);
}

TEST(Selection, RectangleUsesTheSameProjectionAsTheGLUtilityLibrary) {
    TCamera c = CameraExacte();
    c.LongAbsDeg = 23;
    c.LatAbsDeg = 41;
    c.PreparerVue(false, Largeur, Hauteur);
    const GLint vp[4] = {0, 0, Largeur, Hauteur};
    TDocument doc;
    for (int i = 0; i < 200; ++i)
        doc.Ajouter(float(i % 37) - 18.0f, float(i % 11) * 3.0f - 15.0f, float(i % 23) - 11.0f);
    const TPointEcran a{90, 30}, b{170, 100};
    SelectionnerCubesRectangle(doc.Liste(), c, a, b);
    for (const TCube& cube : doc.cubes) {
        GLdouble wx, wy, wz;
        gluProject(cube.CooMoyPts[1], cube.CooMoyPts[2], cube.CooMoyPts[3], c.mvmatrix.data(),
                   c.projmatrix.data(), vp, &wx, &wy, &wz);
        const bool dedans = wx >= 90 && wx <= 170 && wy >= Hauteur - 100 && wy <= Hauteur - 30;
        EXPECT_EQ((cube.etatSP & EtatSelectionne) != 0, dedans);
    }
}

} // namespace
} // namespace tessarc
