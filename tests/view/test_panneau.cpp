// The panel's request and reports, the points buffer and the arrow geometry, without a display.

#include "Rendu.h"
#include "clSetupGL.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace tessarc {
namespace {

using enum TFPixels;

TEST(Panneau, FlagWord) {
    EXPECT_EQ(CalculerFlagPixels({}), 0x0000);
    EXPECT_EQ(CalculerFlagPixels({pxDoubleBuffer, pxDrawToWindow, pxSupportOpenGL}), 0x0025);
    // The main window's panel: GDI support dropped because of double buffering.
    EXPECT_EQ(
        CalculerFlagPixels({pxDoubleBuffer, pxDrawToWindow, pxSupportGDI, pxSupportOpenGL, pxDrawToBitmap}),
        0x002D);
    EXPECT_EQ(CalculerFlagPixels({pxDrawToWindow, pxSupportGDI, pxSupportOpenGL}), 0x0034);
    EXPECT_EQ(CalculerFlagPixels({pxStereo, pxGenericAccelerated}), 0x1002);
    EXPECT_EQ(CalculerFlagPixels({pxDoubleBuffer, pxDrawToWindow, pxSupportGDI, pxSupportOpenGL,
                                  pxDrawToBitmap, pxStereo, pxGenericAccelerated}),
              0x102F);
}

TEST(Panneau, DepthPropertiesMapping) {
    EXPECT_EQ(LireProfondeur(24), TTamponBits::t24bits);
    EXPECT_EQ(LireProfondeur(32), TTamponBits::t32bits);
    EXPECT_EQ(LireProfondeur(16), TTamponBits::t16bits);
    EXPECT_EQ(LireProfondeur(8), TTamponBits::t16bits);
    EXPECT_EQ(LireProfondeur(0), TTamponBits::t16bits);
    EXPECT_EQ(EcrireProfondeur(TTamponBits::t24bits), 24);
    EXPECT_EQ(EcrireProfondeur(TTamponBits::t32bits), 32);
    EXPECT_EQ(EcrireProfondeur(TTamponBits::t16bits), 16);
}

TEST(Panneau, SurfaceRequest) {
    TDemandeSurface d;
    d.format = {pxDoubleBuffer, pxSupportOpenGL};
    d.couleur = 24;
    d.profondeur = 16;
    d.stencil = 0;
    QSurfaceFormat f = FormatSurface(d);
    EXPECT_EQ(f.profile(), QSurfaceFormat::CompatibilityProfile);
    EXPECT_EQ(f.renderableType(), QSurfaceFormat::OpenGL);
    EXPECT_EQ(f.redBufferSize(), 8);
    EXPECT_EQ(f.alphaBufferSize(), -1);
    EXPECT_EQ(f.depthBufferSize(), 24); // never fewer than 24 depth bits
    EXPECT_EQ(f.stencilBufferSize(), 0);
    EXPECT_EQ(f.swapBehavior(), QSurfaceFormat::DoubleBuffer);

    d.format = {pxSupportOpenGL};
    d.couleur = 32;
    d.profondeur = 32;
    d.stencil = 16;
    f = FormatSurface(d);
    EXPECT_EQ(f.alphaBufferSize(), 8);
    EXPECT_EQ(f.depthBufferSize(), 32);
    EXPECT_EQ(f.stencilBufferSize(), 16);
    EXPECT_EQ(f.swapBehavior(), QSurfaceFormat::SingleBuffer);

    d.couleur = 16;
    f = FormatSurface(d);
    EXPECT_EQ(f.redBufferSize(), 5);
    EXPECT_EQ(f.greenBufferSize(), 6);
}

TEST(Panneau, HardwareReportLines) {
    TResolution ecran{24, 1920, 1080, 60};
    TInfoGL gl;
    gl.vendeur = "Mesa";
    gl.nom = "llvmpipe (LLVM 15.0.6, 256 bits)";
    gl.version = "4.5 (Compatibility Profile) Mesa 22.3.6";
    gl.viewportLargeur = 16384;
    gl.viewportHauteur = 8192;
    gl.texturesMax = 16384;
    gl.lumieresMax = 8;
    gl.plansDecoupageMax = 6;
    gl.extensions = "GL_ARB_multisample GL_EXT_abgr GL_ARB_vertex_buffer_object ";
    const std::vector<std::string> attendu = {
        "Écran :",
        "    Résolution : 1920 x 1080 px",
        "    Bits par pixels : 24 bpp",
        "    Rafraîchissement vertical : 60 Hertz",
        "",
        "Carte graphique :",
        "    Vendeur : Mesa",
        "    Nom : llvmpipe (LLVM 15.0.6, 256 bits)",
        "    Version : 4.5 (Compatibility Profile) Mesa 22.3.6",
        "    Dimension maximale du Viewport : 16384 x 8192",
        "    Dimension maximale des textures : 16384 x 16384",
        "    Nombre maximal de lumières : 8",
        "    Nombre maximal de plans de découpage : 6",
        "    Extensions supportées: ",
        "                 GL_ARB_multisample",
        "                 GL_EXT_abgr",
        "                 GL_ARB_vertex_buffer_object",
    };
    EXPECT_EQ(LignesInfoMateriel(ecran, gl), attendu);
    // Without the trailing space, the same three words, whole.
    gl.extensions = "GL_ARB_multisample GL_EXT_abgr GL_ARB_vertex_buffer_object";
    EXPECT_EQ(LignesInfoMateriel(ecran, gl), attendu);
    gl.extensions.clear();
    EXPECT_EQ(LignesInfoMateriel(ecran, gl).size(), attendu.size() - 3);
}

TEST(Panneau, DisplayModes) {
    const std::vector<TResolution> modes = {
        {32, 1920, 1080, 60}, {8, 640, 480, 60}, {16, 800, 600, 75}, {4, 320, 200, 70}};
    const auto gardes = FiltrerResolutions(modes);
    ASSERT_EQ(gardes.size(), 2u);
    EXPECT_EQ(LignesResolutions(gardes),
              (std::vector<std::string>{"1920 x 1080  32 bpp  60Mhz", "800 x 600  16 bpp  75Mhz"}));
}

TEST(Panneau, ModeChangeMessages) {
    EXPECT_FALSE(MessageResolution(EResultatMode::Reussi));
    const auto echec = MessageResolution(EResultatMode::Echec);
    ASSERT_TRUE(echec);
    EXPECT_EQ(echec->texte, "Votre pilote graphique ne supporte pas cette résolution");
    EXPECT_EQ(echec->titre, "Pilote !");
    EXPECT_EQ(echec->icone, EIconeMessage::Erreur);
    const auto redemarrer = MessageResolution(EResultatMode::Redemarrer);
    EXPECT_EQ(redemarrer->texte, "Vous devez redémarrer l'ordinateur pour utiliser cette résolution");
    EXPECT_EQ(redemarrer->titre, "Redémarrer !");
    EXPECT_EQ(redemarrer->icone, EIconeMessage::Avertissement);
    EXPECT_EQ(MessageResolution(EResultatMode::ModeInvalide)->titre, "Non-supportée !");
    EXPECT_EQ(MessageResolution(EResultatMode::ModeInvalide)->texte, "Résolution non-supportée");
    EXPECT_EQ(MessageResolution(EResultatMode::ParametresInvalides)->texte, "Problème de paramètres");
    EXPECT_EQ(MessageResolution(EResultatMode::ParametresInvalides)->titre, "Paramètres !");
    EXPECT_FALSE(MessageResolution(static_cast<EResultatMode>(7)));
}

TEST(Panneau, SetUpFailuresAndTheirCaptions) {
    EXPECT_FALSE(DiagnostiquerContexte(true, true, true, true));
    EXPECT_EQ(DiagnostiquerContexte(false, false, false, false), EEchecInit::CreationContexte);
    EXPECT_EQ(DiagnostiquerContexte(true, true, false, false), EEchecInit::ChoixFormat);
    EXPECT_EQ(DiagnostiquerContexte(true, false, true, false), EEchecInit::ActivationContexte);
    EXPECT_EQ(DiagnostiquerContexte(true, true, true, false), EEchecInit::AffectationFormat);
    EXPECT_EQ(MessageEchecInit(EEchecInit::ChoixFormat).titre, "Choix du format de pixels");
    EXPECT_EQ(MessageEchecInit(EEchecInit::AffectationFormat).titre, "Affectation du format de pixels");
    EXPECT_EQ(MessageEchecInit(EEchecInit::CreationContexte).titre, "Création de la passerelle OpenGL");
    EXPECT_EQ(MessageEchecInit(EEchecInit::ActivationContexte).titre, "Activation de la passerelle OpenGL");
}

TEST(Fleche, ProfileRoundedToThreeDecimals) {
    const auto p = ProfilFleche();
    const double attendu[16][2] = {{0, -0.5}, {0.191, -0.462},  {0.354, -0.354},  {0.462, -0.191},
                                   {0.5, 0},  {0.462, 0.191},   {0.354, 0.354},   {0.191, 0.462},
                                   {0, 0.5},  {-0.191, 0.462},  {-0.354, 0.354},  {-0.462, 0.191},
                                   {-0.5, 0}, {-0.462, -0.191}, {-0.354, -0.354}, {-0.191, -0.462}};
    for (std::size_t k = 0; k < 16; ++k) {
        EXPECT_DOUBLE_EQ(p[k][0] + 0.0, attendu[k][0]) << k;
        EXPECT_DOUBLE_EQ(p[k][1] + 0.0, attendu[k][1]) << k;
    }
}

TEST(Fleche, ArrowGeometry) {
    const double s = 20.0;
    const auto x = FacesFleche(1, s);
    ASSERT_EQ(x.size(), 48u);
    // Shaft first: 16 quadrilaterals from the base ring at 0 to the shaft end at 0.8 s, radius 0.05 s x 0.5.
    const TFace& fut = x[0];
    EXPECT_EQ(fut.nb, 4);
    EXPECT_DOUBLE_EQ(fut.sommets[0][1], 0.0);
    EXPECT_DOUBLE_EQ(fut.sommets[0][3], 0.05 * s * -0.5);
    EXPECT_DOUBLE_EQ(fut.sommets[2][1], 0.8 * s);
    EXPECT_DOUBLE_EQ(fut.sommets[3][1], 0.8 * s);
    // Normal (B1 - B0) x (E0 - B0), not normalised.
    const auto p = ProfilFleche();
    const TV3R b0 = FaireV3R(0, 0.05 * s * p[0][0], 0.05 * s * p[0][1]);
    const TV3R b1 = FaireV3R(0, 0.05 * s * p[1][0], 0.05 * s * p[1][1]);
    const TV3R e0 = FaireV3R(0.8 * s, b0[2], b0[3]);
    const TV3R n = ProduitVectoriel(DiffV3R(b1, b0), DiffV3R(e0, b0));
    for (int i = 1; i <= 3; ++i) EXPECT_DOUBLE_EQ(fut.normale[i], n[i]);
    // Then collar and cone in turn; the X arrow's tip is longer.
    EXPECT_EQ(x[16].nb, 4);
    EXPECT_DOUBLE_EQ(x[16].sommets[3][3], 0.15 * s * -0.5);
    EXPECT_EQ(x[17].nb, 3);
    EXPECT_DOUBLE_EQ(x[17].sommets[2][1], 1.3 * s);
    // Front faces look outwards: shaft and cone away from the axis, the collar backwards along -X.
    for (std::size_t i = 0; i < x.size(); ++i) {
        const TFace& f = x[i];
        const TV3R& a = f.sommets[0];
        const double radial = f.normale[2] * a[2] + f.normale[3] * a[3];
        if (i >= 16 && f.nb == 4) {
            EXPECT_LT(f.normale[1], 0.0) << i;
            EXPECT_NEAR(radial, 0.0, 1e-12) << i;
        } else {
            EXPECT_GT(radial, 0.0) << i;
        }
    }

    // The Y and Z arrows are the same arrow turned: +X onto +Y, then onto +Z; tip at s.
    const auto y = FacesFleche(2, s);
    const auto z = FacesFleche(3, s);
    EXPECT_DOUBLE_EQ(y[17].sommets[2][2], s);
    EXPECT_DOUBLE_EQ(z[17].sommets[2][3], s);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_DOUBLE_EQ(y[i].sommets[2][2], x[i].sommets[2][1]);
        EXPECT_DOUBLE_EQ(y[i].sommets[2][3], x[i].sommets[2][2]);
        EXPECT_DOUBLE_EQ(z[i].sommets[2][3], x[i].sommets[2][1]);
        EXPECT_DOUBLE_EQ(y[i].normale[2], x[i].normale[1]);
        EXPECT_DOUBLE_EQ(z[i].normale[1], x[i].normale[2]);
    }
    // A view 14 pixels wide gives s = 0: everything collapses to the origin.
    for (const TFace& f : FacesFleche(1, 0.0))
        for (int i = 0; i < f.nb; ++i)
            for (int k = 1; k <= 3; ++k) EXPECT_EQ(f.sommets[static_cast<std::size_t>(i)][k], 0.0);
}

TEST(Sommets, PointsBufferFollowsTheCubesStates) {
    std::vector<TCube> cubes(5);
    for (std::size_t i = 0; i < cubes.size(); ++i) {
        cubes[i].CooMoyPts = FaireV3S(float(i), 2.0f * float(i), -1.0f);
        cubes[i].ColCube = TV4By{{200, 180, 160, 9}};
    }
    cubes[1].etatSP = EtatSelectionne;
    cubes[2].etatSP = EtatMasque;
    cubes[3].etatSP = EtatMasque | EtatSupprime | EtatSelectionne;
    std::vector<TCube*> liste;
    for (TCube& c : cubes) liste.push_back(&c);

    std::vector<TSommetPoint> sortie(liste.size());
    TReglagesVue r;
    ASSERT_EQ(RemplirSommets(liste, r, sortie.data()), 3u);
    const auto couleur = [](const TSommetPoint& s) { return std::array<int, 3>{s.r, s.v, s.b}; };
    EXPECT_EQ(couleur(sortie[0]), (std::array<int, 3>{200, 180, 160}));
    EXPECT_EQ(couleur(sortie[1]), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(couleur(sortie[2]), (std::array<int, 3>{200, 180, 160}));
    EXPECT_EQ(sortie[2].x, 4.0f);
    EXPECT_EQ(sortie[2].y, 8.0f);
    EXPECT_EQ(sortie[2].z, -1.0f);

    // Forced colour, never defined: black; the selection stays red.
    r.CouleurForcee = true;
    ASSERT_EQ(RemplirSommets(liste, r, sortie.data()), 3u);
    EXPECT_EQ(couleur(sortie[0]), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(couleur(sortie[1]), (std::array<int, 3>{255, 0, 0}));
    r.CouleurPoints = FaireCouleur(10, 20, 30);
    ASSERT_EQ(RemplirSommets(liste, r, sortie.data()), 3u);
    EXPECT_EQ(couleur(sortie[2]), (std::array<int, 3>{10, 20, 30}));
    EXPECT_EQ(RougeDe(r.CouleurPoints), 10);
    EXPECT_EQ(VertDe(r.CouleurPoints), 20);
    EXPECT_EQ(BleuDe(r.CouleurPoints), 30);
    EXPECT_EQ(r.CouleurPoints, 0x001E140Au);
}

} // namespace
} // namespace tessarc
