// The view drawn for real under X11 (Mesa's software renderer under Xvfb): colours and positions read
// back from the framebuffer, the retained objects, the overlays per page, the mouse over the panel, the
// rubber band and the panel's own services. A failing image is saved and its path printed.

#include "OutilsGL.h"
#include "Piquage.h"
#include "Vue3D.h"
#include "clSetupGL.h"

#include <GL/glu.h>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>

namespace tessarc {
namespace {

using test::Chercher;
using test::Compter;
using test::TPoint;

constexpr int L = 256;
constexpr int H = 128;
const TColor Fond = FaireCouleur(0, 0, 90);

class VueGL : public ::testing::Test {
protected:
    void SetUp() override {
        test::AppliGL();
        vgl = std::make_unique<TSetupGL>();
        TVue3D::ConfigurerVGL(*vgl);
        vgl->resize(L, H);
        vue = std::make_unique<TVue3D>(*vgl);
        vue->Etat().Nuage = &nuage;
        vue->Etat().Maillage = &maillage;
        vue->Etat().ScanPret = &scanPret;
        vue->Etat().Utilisateur = &utilisateur;
        vue->Reglages().CouleurFond = Fond;
        vgl->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(vgl.get()));
        ASSERT_EQ(vgl->width(), L);
        ASSERT_EQ(vgl->height(), H);
    }
    void TearDown() override {
        vue.reset();
        vgl.reset();
        EXPECT_TRUE(utilisateur.messages.empty()) << utilisateur.messages.front();
    }

    // Four cubes in the X-Z plane at Y = 0 (leaf level 2, 4 cm), and a camera where one pixel is one
    // metre: window x = X + 128, window y = Z + 64.
    void DocumentSimple() {
        test::RemplirNuage(nuage,
                           {{-60, 0, 20, 200, 180, 160},
                            {-20, 0, 20, 200, 180, 160},
                            {20, 0, 20, 200, 180, 160},
                            {60, 0, 20, 200, 180, 160},
                            {-60, 0, -20, 40, 90, 250}},
                           2);
        CadrageExact();
        scanPret = true;
    }
    void CadrageExact() {
        TCadrage c;
        c.RayonStruc = 128.0;
        vue->Camera().AppliquerCadrage(c);
        vue->OrienterVue(1);
    }
    TCube* CubeEn(float x, float y, float z) {
        for (TCube* c : nuage.CubesAffiches)
            if (c->CooMoyPts == FaireV3S(x, y, z)) return c;
        return nullptr;
    }
    // The image zone around where a world point of the X-Z or X-Y plane is drawn.
    static QRect Autour(float u, float w, int marge = 2) {
        const int x = static_cast<int>(u) + 128;
        const int y = H - 1 - (static_cast<int>(w) + 64);
        return QRect(x - marge, y - marge, 2 * marge + 2, 2 * marge + 2);
    }
    QImage Dessiner() { return vgl->grabFramebuffer(); }
    void Souris(QEvent::Type type, QPoint p, Qt::MouseButton bouton, Qt::MouseButtons boutons,
                Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, QPointF(p), QPointF(vgl->mapToGlobal(p)), bouton, boutons, mods);
        QApplication::sendEvent(vgl.get(), &e);
    }
    void Molette(QPoint p, QPoint delta) {
        QWheelEvent e(QPointF(p), QPointF(vgl->mapToGlobal(p)), QPoint(), delta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(vgl.get(), &e);
    }
    // Checks and keeps the image when the check fails.
    void Verifier(bool condition, const QImage& image, const char* quoi) {
        if (!condition) {
            const std::string chemin = test::SauverImage(
                image,
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" + quoi);
            ADD_FAILURE() << quoi << " ; image : " << chemin;
        }
    }

    TNuage nuage;
    TMaillage maillage;
    bool scanPret = false;
    test::TUtilisateurTest utilisateur;
    std::unique_ptr<TSetupGL> vgl;
    std::unique_ptr<TVue3D> vue;
};

TEST_F(VueGL, ContextIsACompatibilityProfileWithDeepDepth) {
    ASSERT_TRUE(vgl->Initialise());
    ASSERT_NE(vgl->Fonctions(), nullptr);
    EXPECT_NE(vgl->format().profile(), QSurfaceFormat::CoreProfile);
    EXPECT_GE(vgl->format().depthBufferSize(), 24);
    EXPECT_EQ(vgl->FlagPixels(), 0x002D);
    EXPECT_EQ(vgl->AccumulationDemandee(), 32);
    EXPECT_EQ(vgl->ProfondeurCouleur(), TTamponBits::t24bits);
    EXPECT_EQ(vgl->ProfondeurAccum(), TTamponBits::t32bits);
}

TEST_F(VueGL, PointsInTheirColoursAndPlaces) {
    DocumentSimple();
    CubeEn(-20, 0, 20)->etatSP = EtatSelectionne;
    CubeEn(20, 0, 20)->etatSP = EtatMasque;
    CubeEn(60, 0, 20)->etatSP = EtatMasque | EtatSupprime | EtatSelectionne;
    QImage img = Dessiner();
    Verifier(test::Proche(img.pixel(230, 5), 0, 0, 90), img, "fond");
    Verifier(Chercher(img, Autour(-60, 20), 200, 180, 160).has_value(), img, "naturelle");
    Verifier(Chercher(img, Autour(-60, -20), 40, 90, 250).has_value(), img, "naturelle_bleue");
    Verifier(Chercher(img, Autour(-20, 20), 255, 0, 0).has_value(), img, "selection");
    Verifier(Compter(img, Autour(20, 20, 4), 0, 0, 90) == 100, img, "masque_absent");
    Verifier(Compter(img, Autour(60, 20, 4), 0, 0, 90) == 100, img, "supprime_absent");
    // In the row Z = 20 only the natural cube has its colour, on 2 x 2 pixels.
    Verifier(Compter(img, QRect(0, 36, L, 14), 200, 180, 160) == 4, img, "deux_pixels_par_axe");
    // Origin marker, 5 pixels, red.
    Verifier(Compter(img, Autour(0, 0, 3), 255, 0, 0) >= 16, img, "origine");

    // The forced colour shows only after a redraw request; the selection stays red.
    vue->Reglages().CouleurForcee = true;
    vue->Reglages().CouleurPoints = FaireCouleur(10, 200, 30);
    img = Dessiner();
    Verifier(Chercher(img, Autour(-60, 20), 200, 180, 160).has_value(), img, "pas_encore_forcee");
    vue->RetracerTout();
    img = Dessiner();
    Verifier(Chercher(img, Autour(-60, 20), 10, 200, 30).has_value(), img, "forcee");
    Verifier(Chercher(img, Autour(-60, -20), 10, 200, 30).has_value(), img, "forcee_bleue");
    Verifier(Chercher(img, Autour(-20, 20), 255, 0, 0).has_value(), img, "selection_forcee");
}

TEST_F(VueGL, GlyphInTheLowerLeftCorner) {
    DocumentSimple();
    vgl->resize(600, 300);
    const QImage img = Dessiner();
    ASSERT_EQ(img.size(), QSize(600, 300));
    // s = 600 div 15 = 40: the X arrow (green) runs right from window (40, 40) to 92, the Z arrow (blue)
    // up to 80; the Y arrow (red) points away from the viewer.
    Verifier(Compter(img, QRect(45, 300 - 1 - 43, 45, 7), 0, 255, 0, 40) > 20, img, "fleche_x");
    Verifier(Compter(img, QRect(37, 300 - 1 - 80, 7, 35), 0, 0, 255, 40) > 20, img, "fleche_z");
    Verifier(Compter(img, QRect(0, 0, 600, 200), 0, 255, 0, 40) == 0, img, "rien_ailleurs");
}

TEST_F(VueGL, NothingDrawnWhileNoScanIsReady) {
    DocumentSimple();
    scanPret = false;
    QImage img = Dessiner();
    Verifier(Compter(img, img.rect(), 0, 0, 90) == 0, img, "pas_de_fond");
    Verifier(Compter(img, img.rect(), 200, 180, 160) == 0, img, "pas_de_point");
    EXPECT_EQ(vue->Rendu().NbConstructions[0], 0);

    scanPret = true;
    const QImage avant = Dessiner();
    scanPret = false;
    vue->Reglages().CouleurFond = FaireCouleur(90, 0, 0);
    vue->RetracerTout();
    img = Dessiner();
    Verifier(img == avant, img, "image_gardee");
}

TEST_F(VueGL, RetainedObjectsAreRebuiltOnlyWhenDiscarded) {
    DocumentSimple();
    const auto& n = vue->Rendu().NbConstructions;
    (void)Dessiner();
    EXPECT_EQ(n, (std::array<int, 3>{1, 1, 1}));
    // Turning, panning and zooming replay.
    vue->Camera().LongAbsDeg = 30;
    vue->Camera().Translater(10, 5);
    ASSERT_TRUE(vue->FormMouseWheel(120, vgl->mapToGlobal(QPoint(40, 40))));
    (void)Dessiner();
    EXPECT_EQ(n, (std::array<int, 3>{1, 1, 1}));
    vue->RetracerPoints();
    (void)Dessiner();
    EXPECT_EQ(n, (std::array<int, 3>{2, 1, 1}));
    vue->RetracerTout();
    (void)Dessiner();
    EXPECT_EQ(n, (std::array<int, 3>{3, 2, 2}));
    vue->InitVGL();
    (void)Dessiner();
    EXPECT_EQ(n, (std::array<int, 3>{4, 3, 3}));
    // The rebuild reports itself on the status line and restores it.
    ASSERT_GE(utilisateur.textes.size(), 2u);
    EXPECT_EQ(utilisateur.textes[0], (std::pair<int, std::string>{1, "préparation du tracé"}));
    EXPECT_EQ(utilisateur.textes[1], (std::pair<int, std::string>{1, ""}));
}

TEST_F(VueGL, PointsCheckBoxIsReadWhenThePointsAreRebuilt) {
    DocumentSimple();
    (void)Dessiner();
    vue->Etat().VoirPoints = false;
    QImage img = Dessiner();
    Verifier(Chercher(img, Autour(-60, 20), 200, 180, 160).has_value(), img, "encore_visible");
    vue->RetracerPoints();
    img = Dessiner();
    Verifier(Compter(img, Autour(-60, 20, 4), 0, 0, 90) == 100, img, "points_caches");
    Verifier(Compter(img, Autour(0, 0, 3), 255, 0, 0) == 0, img, "origine_cachee");
}

TEST_F(VueGL, AbandonWhileRebuildingLeavesTheObjectForTheNextPaint) {
    DocumentSimple();
    utilisateur.abandonner = true;
    int attentes = 0, retours = 0;
    vue->Etat().CurseurAttente = [&] { ++attentes; };
    vue->Etat().CurseurPrecedent = [&] { ++retours; };
    (void)Dessiner();
    ASSERT_EQ(utilisateur.messages.size(), 1u);
    EXPECT_EQ(utilisateur.messages[0], "abandon");
    utilisateur.messages.clear();
    EXPECT_FALSE(vue->Rendu().PointsValides());
    EXPECT_EQ(attentes, retours);
    utilisateur.abandonner = false;
    const QImage img = Dessiner();
    EXPECT_TRUE(vue->Rendu().PointsValides());
    Verifier(Chercher(img, Autour(-60, 20), 200, 180, 160).has_value(), img, "reconstruit");
    EXPECT_EQ(attentes, retours);
}

TEST_F(VueGL, OverlaysFollowThePage) {
    DocumentSimple();
    vue->Camera().VuePlanXY = true; // top view: window x = X + 128, y = Y + 64
    maillage.Frontiere = {FaireV3S(-50, -30, -20), FaireV3S(50, -30, -20), FaireV3S(50, 30, -20),
                          FaireV3S(-50, 30, -20)};
    maillage.OrigineGrille = FaireV3S(-40, -20, 0);
    maillage.TrameGrille = 40;
    maillage.NbColGrille = 3;
    maillage.NbLigGrille = 2;
    maillage.FrontMin = {{-50, -30}};
    maillage.FrontMax = {{50, 30}};
    maillage.PointsModele.resize(3);
    maillage.PointsModele[1] = {0, 2, FaireV3S(-20, 15, 0)};
    maillage.PointsModele[2] = {0, -1, FaireV3S(20, 15, 0)};
    maillage.NbPointsModele = 3;

    const QRect basFrontiere = Autour(0, -30, 2);
    const QRect gaucheFrontiere = Autour(-50, 0, 2);
    const QRect grilleVerticale = Autour(0, 22, 1);
    QImage img = Dessiner();
    Verifier(Compter(img, basFrontiere, 255, 0, 0) == 0, img, "page0_sans_frontiere");
    Verifier(Compter(img, grilleVerticale, 255, 0, 0) == 0, img, "page0_sans_grille");
    Verifier(!Chercher(img, Autour(-20, 15), 0, 255, 0), img, "page0_sans_noeud");

    vue->Etat().PageActive = 1;
    img = Dessiner();
    Verifier(Compter(img, basFrontiere, 255, 0, 0) >= 6, img, "page1_frontiere");
    Verifier(Compter(img, gaucheFrontiere, 255, 0, 0) >= 6, img, "page1_fermee");
    Verifier(Compter(img, grilleVerticale, 255, 0, 0) == 0, img, "page1_sans_grille");
    Verifier(!Chercher(img, Autour(-20, 15), 0, 255, 0), img, "page1_sans_noeud");

    // Input on: the line stays open; the chosen point gets a 5-pixel dot.
    const int coinSansPoint = Compter(img, Autour(50, -30, 4), 255, 0, 0);
    vue->Etat().FrontiereEnCours = true;
    vue->Etat().PointFrontiereChoisi = 1;
    img = Dessiner();
    Verifier(Compter(img, gaucheFrontiere, 255, 0, 0) == 0, img, "page1_ouverte");
    Verifier(Compter(img, Autour(50, -30, 4), 255, 0, 0) > coinSansPoint, img, "page1_point_choisi");

    vue->Etat().FrontiereEnCours = false;
    vue->Etat().PageActive = 2;
    img = Dessiner();
    Verifier(Compter(img, basFrontiere, 255, 0, 0) >= 6, img, "page2_frontiere");
    Verifier(Compter(img, grilleVerticale, 255, 0, 0) >= 2, img, "page2_grille");
    Verifier(Chercher(img, Autour(-20, 15), 0, 255, 0).has_value(), img, "page2_noeud_frontiere");
    Verifier(Chercher(img, Autour(20, 15), 255, 0, 0).has_value(), img, "page2_noeud_interieur");

    vue->Etat().PageActive = 3;
    img = Dessiner();
    Verifier(Compter(img, basFrontiere, 255, 0, 0) == 0, img, "page3_sans_frontiere");
    Verifier(Chercher(img, Autour(-20, 15), 0, 255, 0).has_value(), img, "page3_noeud");
}

TEST_F(VueGL, SurfaceIsLit) {
    DocumentSimple();
    vue->Camera().VuePlanXY = true;
    maillage.PointsModele = {
        {}, {0, -1, FaireV3S(-60, -50, 0)}, {0, -1, FaireV3S(60, -50, 0)}, {0, -1, FaireV3S(0, 50, 0)}};
    maillage.NbPointsModele = 4;
    maillage.Triangles = {TTriangle{{1, 2, 3}, 0.0f}, TTriangle{{1, 2, 9}, 0.0f}};
    vue->Etat().PageActive = 2;
    QImage img = Dessiner();
    const QRect interieur = Autour(0, -20, 6);
    Verifier(Compter(img, interieur, 0, 0, 90) > 100, img, "pas_de_surface_page2");

    vue->Etat().PageActive = 3;
    img = Dessiner(); // the surface object is not rebuilt yet
    Verifier(Compter(img, interieur, 0, 0, 90) > 100, img, "surface_pas_encore");
    vue->RetracerTout();
    img = Dessiner();
    EXPECT_TRUE(vue->Rendu().AfficherTri);
    int rouges = 0;
    const QRect z = interieur.intersected(img.rect());
    for (int y = z.top(); y <= z.bottom(); ++y)
        for (int x = z.left(); x <= z.right(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qRed(c) > 100 && qGreen(c) < 40 && qBlue(c) < 40) ++rouges;
        }
    Verifier(rouges > 100, img, "surface_remplie");

    vue->Etat().VoirSurface = false;
    vue->RetracerTout();
    img = Dessiner();
    Verifier(Compter(img, interieur, 0, 0, 90) > 100, img, "surface_en_fil");
}

// Once the Triangulation page has shown its lit surface, the points, the boundary, the grid and the
// nodes keep their own colours on every page, after a redraw request as after a replay.
TEST_F(VueGL, TheSurfaceLeavesNoLightingBehind) {
    std::vector<TPoint> points; // a wall of points in the X-Z plane, below Z = 0
    for (int x = -100; x <= 100; x += 2)
        for (int z = -50; z <= -10; z += 2) points.push_back({float(x), 0, float(z), 200, 180, 160});
    test::RemplirNuage(nuage, points, 2);
    nuage.CooMax[3] = 150; // grid lines at Z = 50, above the wall
    CadrageExact();
    scanPret = true;
    maillage.Frontiere = {FaireV3S(-50, 0, 30), FaireV3S(50, 0, 30)};
    maillage.OrigineGrille = FaireV3S(-40, 0, 0);
    maillage.TrameGrille = 40;
    maillage.NbColGrille = 3;
    maillage.NbLigGrille = 1;
    maillage.FrontMin = {{-50, 0}};
    maillage.FrontMax = {{50, 0}};
    maillage.PointsModele = {{},
                             {0, 2, FaireV3S(-20, 0, 20)},
                             {0, -1, FaireV3S(20, 0, 20)},
                             {0, -1, FaireV3S(-60, -10, 40)},
                             {0, -1, FaireV3S(60, -10, 40)},
                             {0, -1, FaireV3S(0, 10, 40)}};
    maillage.NbPointsModele = 6;
    maillage.Triangles = {TTriangle{{3, 4, 5}, 0.0f}};
    const QRect nuagePoints(30, 75, 196, 36);
    const QRect frontiere = Autour(0, 30, 2);

    QImage img = Dessiner();
    const double avant = test::Luminosite(img, nuagePoints);
    ASSERT_GT(avant, 0.5) << test::SauverImage(img, "luminosite_avant");

    vue->Etat().PageActive = 3;
    vue->RetracerTout();
    img = Dessiner();
    ASSERT_TRUE(vue->Rendu().AfficherTri);
    Verifier(Chercher(img, Autour(-20, 20), 0, 255, 0).has_value(), img, "page3_noeud_construit");
    img = Dessiner(); // the surface replayed
    Verifier(Chercher(img, Autour(-20, 20), 0, 255, 0).has_value(), img, "page3_noeud_rejoue");

    for (int page : {0, 1, 2}) {
        vue->Etat().PageActive = page;
        vue->RetracerTout();
        img = Dessiner();
        const std::string p = "page" + std::to_string(page);
        Verifier(std::abs(test::Luminosite(img, nuagePoints) - avant) < 0.02, img, (p + "_points").c_str());
        if (page > 0) Verifier(Compter(img, frontiere, 255, 0, 0) >= 6, img, (p + "_frontiere").c_str());
    }
    Verifier(Chercher(img, Autour(-20, 20), 0, 255, 0).has_value(), img, "page2_noeud_frontiere");
    Verifier(Chercher(img, Autour(20, 20), 255, 0, 0).has_value(), img, "page2_noeud_interieur");
    Verifier(Compter(img, Autour(0, 50, 1), 255, 0, 0) >= 2, img, "page2_grille");
}

TEST_F(VueGL, HoverReportsTheFirstCubeInListOrder) {
    test::RemplirNuage(nuage, {{10, -5, 5, 1, 2, 3}, {10, 5, 5, 4, 5, 6}, {-40, 0, 5, 7, 8, 9}}, 2);
    CadrageExact();
    scanPret = true;
    (void)Dessiner();
    std::size_t premier = nuage.CubesAffiches.size();
    for (std::size_t i = 0; i < nuage.CubesAffiches.size() && premier == nuage.CubesAffiches.size(); ++i)
        if (nuage.CubesAffiches[i]->CooMoyPts[1] == 10.0f) premier = i;
    TCube* attendu = nuage.CubesAffiches[premier];
    attendu->etatSP = EtatMasque; // masked cubes are still reported

    Souris(QEvent::MouseMove, QPoint(138, H - 69), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(vue->CubeSel, attendu);
    EXPECT_EQ(vue->CubeSelSav, attendu);
    ASSERT_FALSE(utilisateur.textes.empty());
    EXPECT_EQ(utilisateur.textes.back(), (std::pair<int, std::string>{0, TexteCube(*attendu, {})}));

    // Away from every cube: nothing under the mouse, the last one found is kept.
    Souris(QEvent::MouseMove, QPoint(200, 20), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(vue->CubeSel, nullptr);
    EXPECT_EQ(vue->CubeSelSav, attendu);
    EXPECT_EQ(utilisateur.textes.back(), (std::pair<int, std::string>{0, ""}));

    // The same position again does nothing; nothing at all while no scan is ready.
    const std::size_t n = utilisateur.textes.size();
    Souris(QEvent::MouseMove, QPoint(200, 20), Qt::NoButton, Qt::NoButton);
    scanPret = false;
    Souris(QEvent::MouseMove, QPoint(138, H - 69), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(utilisateur.textes.size(), n);
}

TEST_F(VueGL, RubberBandSelectsTheSameCubesInBothDirections) {
    DocumentSimple();
    (void)Dessiner();
    TCube* masque = CubeEn(20, 0, 20);
    for (const auto& [a, b] :
         {std::pair{QPoint(50, 20), QPoint(200, 60)}, std::pair{QPoint(200, 60), QPoint(50, 20)}}) {
        for (TCube* c : nuage.CubesAffiches) c->etatSP = 0;
        masque->etatSP = EtatMasque;
        const int constructions = vue->Rendu().NbConstructions[0];
        Souris(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
        EXPECT_FALSE(vue->FSelWindow()->Affichee()); // a click alone shows nothing
        Souris(QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton);
        TFSelWindow* band = vue->FSelWindow();
        ASSERT_TRUE(band->Affichee());
        EXPECT_EQ(band->geometry(), vgl->rect());
        EXPECT_EQ(band->g, 50);
        EXPECT_EQ(band->d, 200);
        EXPECT_EQ(band->h, 20);
        EXPECT_EQ(band->b, 60);
        EXPECT_EQ(band->lrg, 150);
        EXPECT_EQ(band->ht, 40);
        EXPECT_EQ(band->p1sel, a);
        EXPECT_EQ(band->p2sel, b);
        EXPECT_TRUE(band->testAttribute(Qt::WA_TransparentForMouseEvents));
        Souris(QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
        EXPECT_FALSE(band->Affichee());
        // Client y 20 .. 60 is Z 44 .. 4: the row Z = 20 from X -78 to 72.
        EXPECT_EQ(CubeEn(-60, 0, 20)->etatSP, EtatSelectionne);
        EXPECT_EQ(CubeEn(-20, 0, 20)->etatSP, EtatSelectionne);
        EXPECT_EQ(CubeEn(60, 0, 20)->etatSP, EtatSelectionne);
        EXPECT_EQ(masque->etatSP, EtatMasque);
        EXPECT_EQ(CubeEn(-60, 0, -20)->etatSP, 0);
        // The points are rebuilt at the next paint, selected ones in red.
        const QImage img = Dessiner();
        EXPECT_EQ(vue->Rendu().NbConstructions[0], constructions + 1);
        Verifier(Chercher(img, Autour(-60, 20), 255, 0, 0).has_value(), img, "rouge_apres_selection");
    }
}

TEST_F(VueGL, RubberBandOutlineOnePixelInside) {
    vue->FSelWindow()->Rafraichir(vgl.get(), QPoint(60, 40), QPoint(20, 10), 0);
    QImage img(L, H, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        vue->FSelWindow()->PBxPaint(p);
    }
    const auto rouge = [&](int x, int y) {
        return test::Proche(img.pixel(x, y), 255, 0, 0, 0) && qAlpha(img.pixel(x, y)) == 255;
    };
    int haut = 0, bas = 0, gauche = 0, droite = 0;
    for (int x = 21; x <= 59; ++x) {
        haut += rouge(x, 11);
        bas += rouge(x, 39);
    }
    for (int y = 11; y <= 39; ++y) {
        gauche += rouge(21, y);
        droite += rouge(59, y);
    }
    const auto tirets = [](int n, int longueur) { return n > longueur / 2 && n < longueur; };
    Verifier(tirets(haut, 39) && tirets(bas, 39) && tirets(gauche, 29) && tirets(droite, 29), img, "tirets");
    int ailleurs = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < L; ++x)
            if (qAlpha(img.pixel(x, y)) != 0 && !((x == 21 || x == 59) && y >= 11 && y <= 39) &&
                !((y == 11 || y == 39) && x >= 21 && x <= 59))
                ++ailleurs;
    Verifier(ailleurs == 0, img, "rien_ailleurs");

    vue->FSelWindow()->Rafraichir(vgl.get(), QPoint(60, 40), QPoint(20, 10), 1);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        vue->FSelWindow()->PBxPaint(p);
    }
    Verifier(img.pixel(21, 11) == qRgba(0, 0, 0, 0), img, "autre_mode");
}

TEST_F(VueGL, ReleaseDispatch) {
    DocumentSimple();
    vue->Camera().VuePlanXY = true;
    (void)Dessiner();
    std::vector<std::size_t> ajouts;
    vue->SurPointFrontiere = [&](std::size_t i, const TV3S& p) {
        ajouts.push_back(i);
        EXPECT_EQ(p, maillage.Frontiere[i]);
    };
    std::vector<TCube*> piques;
    vue->SurPiqueAxeX = [&](TCube& c) { piques.push_back(&c); };

    // Boundary input first, even over a showing rubber band, which stays.
    Souris(QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton, Qt::LeftButton);
    Souris(QEvent::MouseMove, QPoint(60, 50), Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(vue->FSelWindow()->Affichee());
    vue->Etat().FrontiereEnCours = true;
    Souris(QEvent::MouseButtonRelease, QPoint(138, H - 69), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(maillage.Frontiere.size(), 1u);
    EXPECT_EQ(ajouts, (std::vector<std::size_t>{0}));
    EXPECT_NEAR(maillage.Frontiere[0][1], 10.0f, 1e-4);
    EXPECT_NEAR(maillage.Frontiere[0][2], 5.0f, 1e-4);
    EXPECT_EQ(maillage.Frontiere[0][3], nuage.CooMin[3]);
    EXPECT_TRUE(vue->FSelWindow()->Affichee());

    // Input off: the band goes and selects.
    vue->Etat().FrontiereEnCours = false;
    Souris(QEvent::MouseButtonRelease, QPoint(60, 50), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(vue->FSelWindow()->Affichee());

    // X axis: nothing until a cube was found under the mouse.
    vue->Etat().ModeDefinirAxeX = 1;
    vue->CubeSelSav = nullptr;
    Souris(QEvent::MouseButtonRelease, QPoint(5, 5), Qt::RightButton, Qt::NoButton);
    EXPECT_TRUE(piques.empty());
    Souris(QEvent::MouseMove, QPoint(68, H - 64), Qt::NoButton, Qt::NoButton); // X -60, Y 0
    ASSERT_NE(vue->CubeSelSav, nullptr);
    Souris(QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    Souris(QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(piques.size(), 1u);
    EXPECT_EQ(piques[0]->CooMoyPts[1], -60.0f);
    EXPECT_EQ(maillage.Frontiere.size(), 1u);
}

TEST_F(VueGL, WheelAndMiddleButton) {
    DocumentSimple();
    (void)Dessiner();
    Molette(QPoint(100, 50), QPoint(0, 120));
    EXPECT_DOUBLE_EQ(vue->Camera().CoefZoom, 2.0);
    Molette(QPoint(100, 50), QPoint(0, 60));
    EXPECT_DOUBLE_EQ(vue->Camera().CoefZoom, 2.0);
    Molette(QPoint(100, 50), QPoint(0, 60)); // two half notches make one
    EXPECT_DOUBLE_EQ(vue->Camera().CoefZoom, 4.0);
    Molette(QPoint(100, 50), QPoint(120, 0)); // sideways
    EXPECT_DOUBLE_EQ(vue->Camera().CoefZoom, 4.0);

    Souris(QEvent::MouseButtonPress, QPoint(100, 50), Qt::MiddleButton, Qt::MiddleButton);
    Souris(QEvent::MouseMove, QPoint(109, 59), Qt::NoButton, Qt::MiddleButton);
    EXPECT_EQ(vue->Camera().LongAbsDeg, -90);
    Souris(QEvent::MouseMove, QPoint(130, 50), Qt::NoButton, Qt::MiddleButton);
    EXPECT_EQ(vue->Camera().LongAbsDeg, -90 - 11); // 30 x 90 / 256 = 10.55
    const TV3S centre = vue->Camera().CentreRotAbs;
    Souris(QEvent::MouseMove, QPoint(150, 50), Qt::NoButton, Qt::MiddleButton, Qt::ShiftModifier);
    EXPECT_EQ(vue->Camera().LongAbsDeg, -101);
    EXPECT_NE(vue->Camera().CentreRotAbs, centre);
}

TEST_F(VueGL, MatricesAreThoseOfTheFixedFunctionStack) {
    DocumentSimple();
    TCamera& c = vue->Camera();
    c.LongAbsDeg = 33;
    c.LatAbsDeg = -21;
    c.CoefZoom = 1.7;
    c.mouseold = {90, 40};
    (void)Dessiner();
    vgl->makeCurrent();
    QOpenGLFunctions_2_1* f = vgl->Fonctions();
    TmatGL16 gl{};
    // Captured at the frame: the matrices loaded are those of glOrtho, glMultMatrix and glTranslate.
    f->glMatrixMode(GL_PROJECTION);
    f->glLoadIdentity();
    f->glOrtho(-c.EchAff * L, c.EchAff * L, -c.EchAff * H, c.EchAff * H, -1000, 1000);
    f->glGetDoublev(GL_PROJECTION_MATRIX, gl.data());
    for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(gl[i], c.projmatrix[i], 1e-6 * (1 + std::abs(gl[i])));
    f->glMatrixMode(GL_MODELVIEW);
    f->glLoadIdentity();
    f->glMultMatrixd(c.rotmatrix.data());
    f->glTranslated(-c.CentreRotAbs[1], -c.CentreRotAbs[2], -c.CentreRotAbs[3]);
    f->glGetDoublev(GL_MODELVIEW_MATRIX, gl.data());
    for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(gl[i], c.mvmatrix[i], 1e-6 * (1 + std::abs(gl[i])));
    // The pick projection is the utility library's pick matrix in front of the same box.
    GLint vp[4] = {0, 0, L, H};
    f->glMatrixMode(GL_PROJECTION);
    f->glLoadIdentity();
    gluPickMatrix(90, H - 40, 9, 9, vp);
    f->glOrtho(-c.EchAff * L, c.EchAff * L, -c.EchAff * H, c.EchAff * H, -1000, 1000);
    f->glGetDoublev(GL_PROJECTION_MATRIX, gl.data());
    vgl->doneCurrent();
    const TMatricesVue pick = c.PreparerVue(true, L, H);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(gl[i], pick.projection[i], 1e-5 * (1 + std::abs(gl[i])));
}

TEST_F(VueGL, ContextRecreatedWhenThePanelChangesWindow) {
    DocumentSimple();
    (void)Dessiner();
    EXPECT_EQ(vue->Rendu().NbConstructions[0], 1);
    QWidget fenetre;
    fenetre.resize(L + 20, H + 20);
    vgl->setParent(&fenetre);
    vgl->move(10, 10);
    fenetre.show();
    vgl->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fenetre));
    const QImage img = Dessiner();
    EXPECT_EQ(vue->Rendu().NbConstructions[0], 2);
    Verifier(Chercher(img, Autour(-60, 20), 200, 180, 160).has_value(), img, "apres_changement");
    vgl->setParent(nullptr); // the fixture owns the panel
}

TEST_F(VueGL, PanelServices) {
    const auto lignes = vgl->InfoSurMateriel();
    ASSERT_GT(lignes.size(), 14u);
    EXPECT_EQ(lignes[0], "Écran :");
    EXPECT_TRUE(
        QString::fromStdString(lignes[1]).contains(QRegularExpression("^    Résolution : \\d+ x \\d+ px$")));
    EXPECT_EQ(lignes[5], "Carte graphique :");
    EXPECT_EQ(lignes[6].rfind("    Vendeur : ", 0), 0u);
    EXPECT_GT(lignes[6].size(), 14u);
    EXPECT_EQ(lignes[13], "    Extensions supportées: ");
    for (std::size_t i = 14; i < lignes.size(); ++i) {
        EXPECT_EQ(lignes[i].rfind(std::string(17, ' '), 0), 0u);
        EXPECT_NE(lignes[i][17], ' ');
    }

    // Under X11 the modes come from the screen; the lines follow the format.
    for (const std::string& l : vgl->ObtenirResolutions())
        EXPECT_TRUE(
            QString::fromStdString(l).contains(QRegularExpression("^\\d+ x \\d+  \\d+ bpp  \\d+Mhz$")))
            << l;
    for (const TResolution& r : vgl->TabResolution) EXPECT_GT(r.m_BitsParPixels, 8);
    EXPECT_FALSE(vgl->ChangerResolution(-1));
    EXPECT_FALSE(vgl->ChangerResolution(vgl->NbResoPossible()));

    vgl->AfficherCurseur(false);
    EXPECT_EQ(vgl->cursor().shape(), Qt::BlankCursor);
    vgl->AfficherCurseur(true);
    EXPECT_EQ(vgl->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(VueGL, ClosedPanelStaysBlank) {
    DocumentSimple();
    int dessins = 0, fermetures = 0;
    vgl->OnDraw = [&](TSetupGL&) { ++dessins; };
    vgl->F_FermetureProc = [&] { ++fermetures; };
    (void)Dessiner();
    EXPECT_EQ(dessins, 1);
    vgl->FermetureProprietaire();
    EXPECT_FALSE(vgl->Initialise());
    EXPECT_EQ(fermetures, 1);
    EXPECT_EQ(vgl->InfoSurMateriel(),
              (std::vector<std::string>{"ERREUR : Le composant n'est pas initialisé !"}));
    (void)Dessiner();
    EXPECT_EQ(dessins, 1);
    EXPECT_FALSE(vgl->ChangerResolution(0));
    // Set up again, it draws again.
    vgl->Reinitialise();
    EXPECT_TRUE(vgl->Initialise());
    (void)Dessiner();
    EXPECT_EQ(dessins, 2);
}

} // namespace
} // namespace tessarc
