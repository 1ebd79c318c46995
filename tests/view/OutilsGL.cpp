#include "OutilsGL.h"

#include "Vue3D.h"

#include <QDir>
#include <QSurfaceFormat>

#include <algorithm>
#include <cstdlib>

namespace tessarc::test {

QApplication& AppliGL() {
    static int argc = 1;
    static char nom[] = "test_vue";
    static char* argv[] = {nom, nullptr};
    static QApplication& app = []() -> QApplication& {
        qputenv("QT_QPA_PLATFORM", "xcb");
        QSurfaceFormat::setDefaultFormat(TVue3D::FormatApplication());
        static QApplication a(argc, argv);
        return a;
    }();
    return app;
}

void RemplirNuage(TNuage& nuage, const std::vector<TPoint>& points, int nivMax) {
    nuage.Vider();
    nuage.NivMax = nivMax;
    TV3S mini = FaireV3S(1e30f, 1e30f, 1e30f), maxi = FaireV3S(-1e30f, -1e30f, -1e30f);
    for (const TPoint& p : points) {
        const float c[3] = {p.x, p.y, p.z};
        for (int i = 1; i <= 3; ++i) {
            mini[i] = std::min(mini[i], c[i - 1]);
            maxi[i] = std::max(maxi[i], c[i - 1]);
        }
    }
    nuage.CooMin = mini;
    nuage.CooMax = maxi;
    (void)nuage.CalculerEtendue();
    nuage.DimensionnerGrille();
    for (const TPoint& p : points) nuage.InsererPoint(p.x, p.y, p.z, TV4By{{p.r, p.v, p.b, 0}});
    nuage.CalculerMoyennesRacines();
    nuage.ChoisirNivAffiche(nivMax);
}

bool Proche(QRgb c, int r, int v, int b, int tol) {
    return std::abs(qRed(c) - r) <= tol && std::abs(qGreen(c) - v) <= tol && std::abs(qBlue(c) - b) <= tol;
}

std::optional<QPoint> Chercher(const QImage& image, const QRect& zone, int r, int v, int b, int tol) {
    const QRect z = zone.intersected(image.rect());
    for (int y = z.top(); y <= z.bottom(); ++y)
        for (int x = z.left(); x <= z.right(); ++x)
            if (Proche(image.pixel(x, y), r, v, b, tol)) return QPoint(x, y);
    return std::nullopt;
}

int Compter(const QImage& image, const QRect& zone, int r, int v, int b, int tol) {
    const QRect z = zone.intersected(image.rect());
    int n = 0;
    for (int y = z.top(); y <= z.bottom(); ++y)
        for (int x = z.left(); x <= z.right(); ++x)
            if (Proche(image.pixel(x, y), r, v, b, tol)) ++n;
    return n;
}

double Luminosite(const QImage& image, const QRect& zone) {
    const QRect z = zone.intersected(image.rect());
    double somme = 0.0;
    for (int y = z.top(); y <= z.bottom(); ++y)
        for (int x = z.left(); x <= z.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            somme += qRed(c) + qGreen(c) + qBlue(c);
        }
    const double n = double(z.width()) * z.height();
    return n > 0 ? somme / (3.0 * 255.0 * n) : 0.0;
}

std::string SauverImage(const QImage& image, const std::string& nom) {
    const QString dossier = QDir::temp().filePath(QStringLiteral("tessarc-tests-vue"));
    QDir().mkpath(dossier);
    const QString chemin = QDir(dossier).filePath(QString::fromStdString(nom) + QStringLiteral(".png"));
    image.save(chemin);
    return chemin.toStdString();
}

} // namespace tessarc::test
