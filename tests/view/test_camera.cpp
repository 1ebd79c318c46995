// Camera arithmetic without a GL context: presets, angle normalisation, the middle-button turn, pan,
// zoom about the mouse, the turned top view, and the projections against the GL utility library.

#include "Camera.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

namespace tessarc {
namespace {

// A camera framed on a cloud of radius 10 around (1, 2, 3), drawn once into a 800 x 600 view.
TCamera CameraCadree(int largeur = 800, int hauteur = 600) {
    TCamera c;
    TCadrage cadrage;
    cadrage.RayonStruc = 10.0;
    cadrage.CentreRotAbs = FaireV3S(1.0f, 2.0f, 3.0f);
    c.AppliquerCadrage(cadrage);
    c.OrienterVue(1);
    c.PreparerVue(false, largeur, hauteur);
    return c;
}

// Screen direction (right, up) of a world direction in the last frame, in pixels per metre.
std::array<double, 2> DirectionEcran(const TCamera& c, const TV3R& d) {
    const TV3S o = c.CentreRotAbs;
    const auto a = c.PointFenetre(FaireV3R(o[1], o[2], o[3]));
    const auto b = c.PointFenetre(FaireV3R(o[1] + d[1], o[2] + d[2], o[3] + d[3]));
    return {b->x - a->x, b->y - a->y};
}

void AttendreLignes(const TCamera& c, const TV3R& droite, const TV3R& haut, const TV3R& viewer) {
    for (int j = 1; j <= 3; ++j) {
        EXPECT_NEAR(c.MCBproj3(1, j), droite[j], 1e-12) << "droite " << j;
        EXPECT_NEAR(c.MCBproj3(2, j), haut[j], 1e-12) << "haut " << j;
        EXPECT_NEAR(c.MCBproj3(3, j), viewer[j], 1e-12) << "viewer " << j;
    }
}

TEST(Camera, PresetsGiveTheNamedPlanes) {
    TCamera c = CameraCadree();
    AttendreLignes(c, FaireV3R(1, 0, 0), FaireV3R(0, 0, 1), FaireV3R(0, -1, 0));
    // The view really shows +X to the right and +Z up.
    const auto x = DirectionEcran(c, FaireV3R(1, 0, 0));
    const auto z = DirectionEcran(c, FaireV3R(0, 0, 1));
    EXPECT_GT(x[0], 0.0);
    EXPECT_NEAR(x[1], 0.0, 1e-9);
    EXPECT_GT(z[1], 0.0);
    EXPECT_NEAR(z[0], 0.0, 1e-9);

    c.OrienterVue(2);
    c.PreparerVue(false, 800, 600);
    AttendreLignes(c, FaireV3R(0, 1, 0), FaireV3R(0, 0, 1), FaireV3R(1, 0, 0));
    c.OrienterVue(3);
    c.PreparerVue(false, 800, 600);
    AttendreLignes(c, FaireV3R(1, 0, 0), FaireV3R(0, 1, 0), FaireV3R(0, 0, 1));

    // Another tag leaves the angles, but always clears the turned top view request.
    c.TagBtRot = 1;
    c.OrienterVue(7);
    EXPECT_EQ(c.LongAbsDeg, -90);
    EXPECT_EQ(c.LatAbsDeg, 90);
    EXPECT_EQ(c.TagBtRot, 0);
}

TEST(Camera, WholeCloudFitsTheLargerSide) {
    const TCamera c = CameraCadree(800, 600);
    // One pixel covers 2 EchAff: the 20 m diagonal spans the 800 pixels.
    EXPECT_DOUBLE_EQ(c.EchAff, 10.0 / 800.0);
    const auto centre = c.PointFenetre(FaireV3R(1, 2, 3));
    EXPECT_DOUBLE_EQ(centre->x, 400.0);
    EXPECT_DOUBLE_EQ(centre->y, 300.0);
    const auto bord = c.PointFenetre(FaireV3R(1 + 10, 2, 3));
    EXPECT_NEAR(bord->x, 800.0, 1e-9);
    EXPECT_EQ(c.viewport, (TGLArrayi4{0, 0, 800, 600}));
    EXPECT_EQ(c.VGLcentreH, 400);
    EXPECT_EQ(c.VGLcentreV, 300);
}

TEST(Camera, AnglesAreNormalisedAndStoredBack) {
    TCamera c = CameraCadree();
    c.LongAbsDeg = 725;
    c.LatAbsDeg = -360;
    c.PreparerVue(false, 800, 600);
    EXPECT_EQ(c.LongAbsDeg, 5);
    EXPECT_EQ(c.LatAbsDeg, 0);
    c.LongAbsDeg = -359;
    c.LatAbsDeg = 359;
    c.PreparerVue(false, 800, 600);
    EXPECT_EQ(c.LongAbsDeg, -359);
    EXPECT_EQ(c.LatAbsDeg, 359);

    // The constant-time form agrees with the loops it stands for.
    for (int a = -5000; a <= 5000; ++a) {
        int attendu = a;
        while (attendu >= 360) attendu -= 360;
        while (attendu < -359) attendu += 360;
        ASSERT_EQ(NormaliserAngle(a), attendu) << a;
    }
}

TEST(Camera, MiddleDragHasATenPixelDeadZone) {
    TCamera c = CameraCadree(925, 500);
    c.DebutGlissementSelection = {100, 100};
    EXPECT_FALSE(c.GlisserMilieu(109, 109, false));
    EXPECT_FALSE(c.GlisserMilieu(91, 91, false));
    EXPECT_EQ(c.LongAbsDeg, -90);
    EXPECT_EQ(c.LatAbsDeg, 0);
    EXPECT_EQ(c.DebutGlissementSelection, (TPointEcran{100, 100}));

    c.TagBtRot = 1;
    EXPECT_TRUE(c.GlisserMilieu(110, 100, false));
    EXPECT_EQ(c.LongAbsDeg, -91); // 900 / 925 rounds to 1
    EXPECT_EQ(c.LatAbsDeg, 0);
    EXPECT_EQ(c.TagBtRot, 0);
    EXPECT_EQ(c.DebutGlissementSelection, (TPointEcran{110, 100}));

    EXPECT_TRUE(c.GlisserMilieu(110, 110, false));
    EXPECT_EQ(c.LatAbsDeg, 2); // 900 / 500 = 1.8
}

TEST(Camera, TurnRoundsHalvesToEven) {
    TCamera c = CameraCadree(1800, 900);
    const struct {
        int dx;
        int attendu;
    } cas[] = {{10, 0}, {30, 2}, {50, 2}, {70, 4}, {-10, 0}, {-30, -2}, {-50, -2}};
    for (const auto& k : cas) {
        c.LongAbsDeg = 0;
        c.DebutGlissementSelection = {0, 0};
        ASSERT_TRUE(c.GlisserMilieu(k.dx, 0, false));
        EXPECT_EQ(c.LongAbsDeg, -k.attendu) << k.dx;
    }
    EXPECT_EQ(ArrondiPair(2.5), 2);
    EXPECT_EQ(ArrondiPair(-2.5), -2);
    EXPECT_EQ(ArrondiPair(3.5), 4);
    EXPECT_EQ(ArrondiPair(2.4999), 2);
    EXPECT_FALSE(ArrondiPair(std::nan("")));
    EXPECT_FALSE(ArrondiPair(1e12));
}

TEST(Camera, TurningAViewOfNoSizeDoesNothingHarmful) {
    TCamera c;
    c.PreparerVue(false, 0, 0);
    c.DebutGlissementSelection = {0, 0};
    EXPECT_TRUE(c.GlisserMilieu(20, 20, false));
    EXPECT_EQ(c.LongAbsDeg, 0);
    EXPECT_EQ(c.LatAbsDeg, 0);
}

TEST(Camera, ACloudWithoutExtentIsStillFramed) {
    TCamera c;
    TCadrage cadrage; // one point: radius 0
    cadrage.CentreRotAbs = FaireV3S(4.0f, 5.0f, 6.0f);
    c.AppliquerCadrage(cadrage);
    c.OrienterVue(1);
    c.PreparerVue(false, 500, 400);
    EXPECT_DOUBLE_EQ(c.EchAff, 1.0 / 500.0);
    const auto f = c.PointFenetre(FaireV3R(4, 5, 6));
    ASSERT_TRUE(f);
    EXPECT_DOUBLE_EQ(f->x, 250.0);
    EXPECT_DOUBLE_EQ(f->y, 200.0);
    // Zoom and pan stay finite.
    EXPECT_TRUE(c.ZoomerMolette(120, {10, 10}));
    c.Translater(30, 30);
    for (int i = 1; i <= 3; ++i) EXPECT_TRUE(std::isfinite(c.CentreRotAbs[i]));
}

TEST(Camera, ShiftDragPansAndTheCloudFollowsTheMouse) {
    TCamera c = CameraCadree();
    c.LongAbsDeg = 30;
    c.LatAbsDeg = 20;
    c.PreparerVue(false, 800, 600);
    const TV3R p = FaireV3R(2.5, -1.0, 4.0);
    const auto avant = c.PointFenetre(p);
    c.DebutGlissementSelection = {300, 300};
    ASSERT_TRUE(c.GlisserMilieu(350, 280, true));
    EXPECT_EQ(c.LongAbsDeg, 30); // a pan does not turn
    c.PreparerVue(false, 800, 600);
    const auto apres = c.PointFenetre(p);
    // 50 pixels right, 20 pixels up (window Y upwards); single-precision centre.
    EXPECT_NEAR(apres->x - avant->x, 50.0, 1e-3);
    EXPECT_NEAR(apres->y - avant->y, 20.0, 1e-3);
}

TEST(Camera, WheelZoomKeepsThePointUnderTheMouse) {
    TCamera c = CameraCadree(800, 600);
    c.LongAbsDeg = -40;
    c.LatAbsDeg = 25;
    c.PreparerVue(false, 800, 600);
    const TPointEcran souris{230, 170};
    const auto monde = c.PointSouris(souris.X, souris.Y, 0.5);
    ASSERT_TRUE(monde);
    for (int delta : {120, 120, -120}) {
        ASSERT_TRUE(c.ZoomerMolette(delta, souris));
        c.PreparerVue(false, 800, 600);
        const auto f = c.PointFenetre(*monde);
        EXPECT_NEAR(f->x, 230.0, 1e-3);
        EXPECT_NEAR(f->y, 600.0 - 170.0, 1e-3);
    }
    EXPECT_DOUBLE_EQ(c.CoefZoom, 2.0);
}

TEST(Camera, ZoomOutStopsAtOneTenth) {
    TCamera c = CameraCadree();
    c.CoefZoom = 0.25;
    EXPECT_TRUE(c.ZoomerMolette(-120, {10, 10}));
    EXPECT_DOUBLE_EQ(c.CoefZoom, 0.125);
    EXPECT_TRUE(c.ZoomerMolette(-120, {10, 10}));
    EXPECT_DOUBLE_EQ(c.CoefZoom, 0.1);
    const TV3S centre = c.CentreRotAbs;
    EXPECT_FALSE(c.ZoomerMolette(-120, {10, 10}));
    EXPECT_DOUBLE_EQ(c.CoefZoom, 0.1);
    EXPECT_EQ(c.CentreRotAbs, centre);
    // No upper limit; a delta of 0 zooms in.
    EXPECT_TRUE(c.ZoomerMolette(0, {10, 10}));
    EXPECT_DOUBLE_EQ(c.CoefZoom, 0.2);
}

TEST(Camera, TurnedTopViewFollowsTheTypedAngle) {
    TCamera c = CameraCadree();
    c.VuePlanXY = true;
    c.TexteEdRotZ = "90";
    c.PreparerVue(false, 800, 600);
    // Screen right is world +Y, screen up is world -X.
    const auto y = DirectionEcran(c, FaireV3R(0, 1, 0));
    const auto mx = DirectionEcran(c, FaireV3R(-1, 0, 0));
    EXPECT_GT(y[0], 0.0);
    EXPECT_NEAR(y[1], 0.0, 1e-9);
    EXPECT_GT(mx[1], 0.0);
    EXPECT_NEAR(mx[0], 0.0, 1e-9);
    // The preset angles do not leave the top view while it is locked.
    c.OrienterVue(2);
    c.PreparerVue(false, 800, 600);
    AttendreLignes(c, FaireV3R(0, 1, 0), FaireV3R(-1, 0, 0), FaireV3R(0, 0, 1));

    // The BtRot request gives the same view on the cleaning page; text that is not a number is 0 degrees.
    c.VuePlanXY = false;
    c.TagBtRot = 1;
    c.TexteEdRotZ = "quatre-vingt-dix";
    c.PreparerVue(false, 800, 600);
    EXPECT_EQ(c.MCBproj3, TV3x3R::Identite());
    c.TexteEdRotZ = " -90 ";
    c.PreparerVue(false, 800, 600);
    AttendreLignes(c, FaireV3R(0, -1, 0), FaireV3R(1, 0, 0), FaireV3R(0, 0, 1));
}

TEST(Camera, PickMatrixNarrowsToNinePixelsAroundTheMouse) {
    TCamera c = CameraCadree(800, 600);
    c.mouseold = {200, 100};
    const TmatGL16 mvAvant = c.mvmatrix;
    const TMatricesVue m = c.PreparerVue(true, 800, 600);
    EXPECT_EQ(c.mvmatrix, mvAvant); // nothing captured
    EXPECT_EQ(m.modele, c.mvmatrix);
    // The 9 x 9 square around the mouse fills the clip volume.
    const TGLArrayi4 vp{0, 0, 800, 600};
    const auto centre = Deprojeter({200.0, 500.0, 0.5}, c.mvmatrix, c.projmatrix, vp);
    const auto coin = Deprojeter({204.5, 504.5, 0.5}, c.mvmatrix, c.projmatrix, vp);
    const auto pc = Projeter(*centre, m.modele, m.projection, vp);
    const auto pk = Projeter(*coin, m.modele, m.projection, vp);
    EXPECT_NEAR(pc->x, 400.0, 1e-6);
    EXPECT_NEAR(pc->y, 300.0, 1e-6);
    EXPECT_NEAR(pk->x, 800.0, 1e-6);
    EXPECT_NEAR(pk->y, 600.0, 1e-6);
    // An empty region leaves the matrix alone, as the GL utility library does.
    EXPECT_EQ(MatricePick(1, 1, 0, 9, vp), MatriceIdentite());
}

TEST(Camera, ProjectionsMatchTheGLUtilityLibrary) {
    TCamera c = CameraCadree(640, 480);
    c.LongAbsDeg = 37;
    c.LatAbsDeg = -52;
    c.CoefZoom = 3.0;
    c.PreparerVue(false, 640, 480);
    const GLint vp[4] = {c.viewport[0], c.viewport[1], c.viewport[2], c.viewport[3]};
    for (const TV3R& p : {FaireV3R(1, 2, 3), FaireV3R(-7.25, 0.5, 12), FaireV3R(100, -3, 0.001)}) {
        GLdouble wx = 0, wy = 0, wz = 0;
        ASSERT_EQ(gluProject(p[1], p[2], p[3], c.mvmatrix.data(), c.projmatrix.data(), vp, &wx, &wy, &wz),
                  GL_TRUE);
        const auto f = Projeter(p, c.mvmatrix, c.projmatrix, c.viewport);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->x, wx);
        EXPECT_EQ(f->y, wy);
        EXPECT_EQ(f->z, wz);

        GLdouble ox = 0, oy = 0, oz = 0;
        ASSERT_EQ(gluUnProject(wx, wy, wz, c.mvmatrix.data(), c.projmatrix.data(), vp, &ox, &oy, &oz),
                  GL_TRUE);
        const auto o = Deprojeter(*f, c.mvmatrix, c.projmatrix, c.viewport);
        ASSERT_TRUE(o);
        EXPECT_NEAR((*o)[1], ox, 1e-9);
        EXPECT_NEAR((*o)[2], oy, 1e-9);
        EXPECT_NEAR((*o)[3], oz, 1e-9);
        EXPECT_NEAR((*o)[1], p[1], 1e-9);
    }
    // Both fail alike on a degenerate projection.
    TmatGL16 nulle{};
    EXPECT_FALSE(Projeter(FaireV3R(1, 1, 1), c.mvmatrix, nulle, c.viewport));
    EXPECT_FALSE(Deprojeter({1, 1, 1}, c.mvmatrix, nulle, c.viewport));
}

} // namespace
} // namespace tessarc
