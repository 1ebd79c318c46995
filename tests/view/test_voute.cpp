// A vault as a scan shows it, in the X-Z view right after opening: X to the right, Z up, the whole
// cloud inside the view. The images are kept for a look.

#include "Nombres.h"
#include "OutilsGL.h"
#include "Vue3D.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>

namespace tessarc {
namespace {

using test::TPoint;

constexpr double Pi = 3.14159265358979323846;

// Barrel vault 6 m across X, 4 m deep along Y, springing at 0.8 m, radius 3 m; a magenta post on the +X
// side near the floor and a cyan patch on the -X side high up (colours the glyph does not use).
std::vector<TPoint> VouteSynthetique() {
    std::vector<TPoint> p;
    for (int i = 0; i <= 300; ++i)
        for (int j = 0; j <= 100; ++j) {
            const double a = Pi * i / 300.0;
            p.push_back({float(3.0 - 3.0 * std::cos(a)), float(0.04 * j), float(0.8 + 3.0 * std::sin(a)), 190,
                         170, 140});
        }
    for (int k = 0; k < 40; ++k)
        for (int m = 0; m < 10; ++m) {
            p.push_back({float(5.6 + 0.01 * m), -0.2f, float(0.05 + 0.01 * k), 250, 0, 200});
            p.push_back({float(0.3 + 0.01 * m), -0.2f, float(3.0 + 0.01 * k), 0, 200, 200});
        }
    return p;
}

std::vector<TPoint> LireXYZ(const std::string& chemin) {
    std::vector<TPoint> p;
    std::ifstream f(chemin);
    std::string ligne;
    while (std::getline(f, ligne)) {
        std::string_view v = ligne;
        const double x = ExtraireReelVue(v), y = ExtraireReelVue(v), z = ExtraireReelVue(v);
        const auto r = ExtraireEntierVue(v), g = ExtraireEntierVue(v), b = ExtraireEntierVue(v);
        p.push_back({float(x), float(y), float(z), std::uint8_t(r & 255), std::uint8_t(g & 255),
                     std::uint8_t(b & 255)});
    }
    return p;
}

// Draws the cloud as an open does: framing from the bounding box, then the X-Z preset.
QImage Rendre(const std::vector<TPoint>& points, TNuage& nuage, int largeur, int hauteur) {
    test::RemplirNuage(nuage, points, 4);
    TSetupGL vgl;
    TVue3D::ConfigurerVGL(vgl);
    vgl.resize(largeur, hauteur);
    TVue3D vue(vgl);
    vue.Etat().Nuage = &nuage;
    vue.Etat().ScanPret = true;
    vue.Reglages().CouleurFond = FaireCouleur(255, 255, 255);
    vue.Camera().AppliquerCadrage(nuage.CalculerEtendue());
    vue.OrienterVue(1);
    vgl.show();
    if (!QTest::qWaitForWindowExposed(&vgl)) return {};
    return vgl.grabFramebuffer();
}

// Bounding rectangle of the pixels of a colour.
QRect Etendue(const QImage& img, int r, int v, int b, int tol) {
    QRect e;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (test::Proche(img.pixel(x, y), r, v, b, tol)) e = e.united(QRect(x, y, 1, 1));
    return e;
}

TEST(Voute, XZViewShowsXToTheRightAndZUp) {
    test::AppliGL();
    TNuage nuage;
    const QImage img = Rendre(VouteSynthetique(), nuage, 640, 400);
    ASSERT_FALSE(img.isNull());
    const std::string chemin = test::SauverImage(img, "voute_synthetique_xz");
    const QRect pierre = Etendue(img, 190, 170, 140, 6);
    const QRect rouge = Etendue(img, 250, 0, 200, 0);
    const QRect bleu = Etendue(img, 0, 200, 200, 0);
    ASSERT_FALSE(pierre.isEmpty()) << chemin;
    ASSERT_FALSE(rouge.isEmpty()) << chemin;
    ASSERT_FALSE(bleu.isEmpty()) << chemin;
    // The +X post is right of the -X patch, and the high patch above the low post (image Y downwards).
    EXPECT_GT(rouge.center().x(), pierre.center().x()) << chemin;
    EXPECT_LT(bleu.center().x(), pierre.center().x()) << chemin;
    EXPECT_LT(bleu.center().y(), rouge.center().y()) << chemin;
    // The arch: 6 m wide, 3.8 m high from the floor, seen whole, crown up (its top row is in the middle).
    EXPECT_NEAR(double(pierre.width()) / pierre.height(), 6.0 / 3.0, 0.15) << chemin;
    EXPECT_TRUE(img.rect().contains(pierre)) << chemin;
    int milieuHaut = 0;
    for (int x = pierre.left(); x <= pierre.right(); ++x)
        if (test::Proche(img.pixel(x, pierre.top()), 190, 170, 140, 6)) milieuHaut = x;
    EXPECT_NEAR(milieuHaut, pierre.center().x(), pierre.width() / 10) << chemin;
}

TEST(Voute, GeneratedScanFile) {
    test::AppliGL();
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    const QString fichier = dossier.filePath(QStringLiteral("voute.xyz"));
    QProcess generateur;
    generateur.start(QStringLiteral(TESSARC_GENVOUTE), {QStringLiteral("--points"), QStringLiteral("300000"),
                                                        QStringLiteral("--sortie"), fichier});
    ASSERT_TRUE(generateur.waitForFinished(60000));
    ASSERT_EQ(generateur.exitCode(), 0);
    const auto points = LireXYZ(fichier.toStdString());
    ASSERT_EQ(points.size(), 300000u);
    TNuage nuage;
    const QImage img = Rendre(points, nuage, 933, 430);
    const std::string chemin = test::SauverImage(img, "voute_generee_xz");
    std::printf("image : %s\n", chemin.c_str());
    // The generated vault runs 8 m along X and rises 3.8 m: a wide band, not a tall one. The glyph's
    // corner is left out.
    const QRect glyphe(0, img.height() - 130, 140, 130);
    QRect e;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!test::Proche(img.pixel(x, y), 255, 255, 255, 0) && !glyphe.contains(x, y))
                e = e.united(QRect(x, y, 1, 1));
    EXPECT_GT(e.width(), 1.6 * e.height()) << chemin;
}

} // namespace
} // namespace tessarc
