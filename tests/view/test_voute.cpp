// A vault as a scan shows it, in the X-Z view right after opening: X to the right, Z up, the whole
// cloud inside the view. The images are kept for a look.

#include "Nombres.h"
#include "OutilsGL.h"
#include "Vue3D.h"

#include <QFile>
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
QImage Rendre(const std::vector<TPoint>& points, TNuage& nuage, int largeur, int hauteur,
              TColor fond = FaireCouleur(255, 255, 255), int niveau = 4) {
    test::RemplirNuage(nuage, points, 4);
    nuage.ChoisirNivAffiche(niveau);
    TSetupGL vgl;
    TVue3D::ConfigurerVGL(vgl);
    vgl.resize(largeur, hauteur);
    TVue3D vue(vgl);
    vue.Etat().Nuage = &nuage;
    const bool scanPret = true;
    vue.Etat().ScanPret = &scanPret;
    vue.Reglages().CouleurFond = fond;
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

// Runs the generator; true when it wrote the file.
bool Generer(const QString& fichier, QStringList options) {
    QProcess generateur;
    options << QStringLiteral("--points") << QStringLiteral("300000") << QStringLiteral("--sortie")
            << fichier;
    generateur.start(QStringLiteral(TESSARC_GENVOUTE), options);
    return generateur.waitForFinished(60000) && generateur.exitStatus() == QProcess::NormalExit &&
           generateur.exitCode() == 0;
}

TEST(Voute, GeneratedScanFile) {
    test::AppliGL();
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    const QString fichier = dossier.filePath(QStringLiteral("voute.xyz"));
    ASSERT_TRUE(Generer(fichier, {}));
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

// The sample of ./run.sh, as the window first shows it (black background, the view's size, 4 cm cubes): an
// arch of stones and light joints, hollow under its crown, standing on a floor, with a passer-by to clean.
// The same seed gives the same file.
TEST(Voute, TheSampleShowsAnArchAtFirstSight) {
    test::AppliGL();
    QTemporaryDir dossier;
    ASSERT_TRUE(dossier.isValid());
    const QString fichier = dossier.filePath(QStringLiteral("berceau.xyz"));
    const QString encore = dossier.filePath(QStringLiteral("encore.xyz"));
    ASSERT_TRUE(Generer(fichier, {QStringLiteral("--berceau")}));
    ASSERT_TRUE(Generer(encore, {QStringLiteral("--berceau")}));
    QFile a(fichier), b(encore);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_TRUE(a.readAll() == b.readAll()) << "deterministic";
    const auto points = LireXYZ(fichier.toStdString());
    ASSERT_EQ(points.size(), 300000u);
    TNuage nuage;
    const QImage img = Rendre(points, nuage, 933, 336, FaireCouleur(0, 0, 0), 2);
    const std::string chemin = test::SauverImage(img, "voute_berceau_xz");
    std::printf("image : %s\n", chemin.c_str());

    const QRect glyphe(0, img.height() - 130, 150, 130);
    QRect e;
    int pierres = 0, joints = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (test::Proche(c, 0, 0, 0, 0) || glyphe.contains(x, y)) continue;
            e = e.united(QRect(x, y, 1, 1));
            pierres += qRed(c) > qBlue(c) + 50;
            joints += qBlue(c) > 200 && qRed(c) - qBlue(c) < 25;
        }
    // 6.7 m across, 4.15 m high, all of it in the view.
    EXPECT_NEAR(double(e.width()) / e.height(), 6.7 / 4.15, 0.15) << chemin;
    EXPECT_GT(e.top(), 0) << chemin;
    EXPECT_LT(e.bottom(), img.height() - 1) << chemin;
    EXPECT_GT(pierres, 5 * joints) << chemin;
    EXPECT_GT(joints, 200) << chemin;
    // The crown is the top in the middle, the middle below it is empty but for some dust.
    const QRect crete(e.center().x() - 10, e.top(), 20, e.height() / 12);
    const QRect creux(e.left() + e.width() * 2 / 5, e.top() + e.height() / 4, e.width() / 5, e.height() / 2);
    EXPECT_GT(test::Luminosite(img, crete), 0.3) << chemin;
    EXPECT_LT(test::Luminosite(img, creux), 0.05) << chemin;
    // The red jacket of the passer-by, right of the middle.
    const auto veste = test::Chercher(img, e, 168, 44, 36, 20);
    ASSERT_TRUE(veste.has_value()) << chemin;
    EXPECT_GT(veste->x(), e.center().x()) << chemin;
}

} // namespace
} // namespace tessarc
