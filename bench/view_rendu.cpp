// Drawing and picking over a displayed level of 5 million cubes (or --cubes N), to run under X11
// (xvfb-run -a build/bench/bench_view_rendu). Reports the median of several runs:
//   - the frame that builds the points buffer (one pass over the cubes, then drawn),
//   - the pass that fills the buffer alone, into memory,
//   - a replay frame (nothing rebuilt),
//   - a bare glDrawArrays of the same buffer, as the reference,
//   - the hover pick per mouse move (over empty space: the whole list is scanned),
//   - a rubber-band selection over the whole view.

#include "Rendu.h"
#include "Vue3D.h"

#include <QApplication>
#include <QSurfaceFormat>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

using namespace tessarc;

namespace {

double Secondes(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Mediane(int n, const std::function<double()>& mesure) {
    std::vector<double> v;
    v.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v.push_back(mesure());
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A gently waving sheet of n points on a 3.2 mm lattice: each point in its own 1.6 mm leaf cube.
void ConstruireNuage(TNuage& nuage, long long n) {
    const long long nx = static_cast<long long>(std::sqrt(double(n) * 1.25));
    const long long ny = (n + nx - 1) / nx;
    const double pas = 0.0032;
    nuage.Vider();
    nuage.NivMax = 4;
    nuage.CooMin = FaireV3S(0.0f, 0.0f, 0.0f);
    nuage.CooMax = FaireV3S(float(nx * pas), float(ny * pas), 2.0f);
    (void)nuage.CalculerEtendue();
    nuage.DimensionnerGrille();
    long long k = 0;
    for (long long j = 0; j < ny && k < n; ++j)
        for (long long i = 0; i < nx && k < n; ++i, ++k) {
            const double x = (double(i) + 0.5) * pas, y = (double(j) + 0.5) * pas;
            const double z = 1.0 + 0.5 * std::sin(x) * std::cos(y);
            const auto c = static_cast<std::uint8_t>(120 + 100 * std::sin(x * 3.0));
            nuage.InsererPoint(float(x), float(y), float(z),
                               TV4By{{c, std::uint8_t(c * 0.9), std::uint8_t(c * 0.7), 0}});
        }
    nuage.CalculerMoyennesRacines();
    nuage.ChoisirNivAffiche(4);
}

} // namespace

int main(int argc, char** argv) {
    long long n = 5'000'000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--cubes") == 0) n = std::atoll(argv[i + 1]);
    qputenv("QT_QPA_PLATFORM", "xcb");
    QSurfaceFormat::setDefaultFormat(TVue3D::FormatApplication());
    QApplication app(argc, argv);

    TNuage nuage;
    const double tNuage = Secondes([&] { ConstruireNuage(nuage, n); });
    std::printf("nuage : %zu cubes affichés, construit en %.1f s\n", nuage.CubesAffiches.size(), tNuage);

    TSetupGL vgl;
    TVue3D::ConfigurerVGL(vgl);
    vgl.resize(933, 430);
    TVue3D vue(vgl);
    UtilisateurMuet muet;
    vue.Etat().Nuage = &nuage;
    vue.Etat().Utilisateur = &muet;
    const bool scanPret = true;
    vue.Etat().ScanPret = &scanPret;
    vue.Camera().AppliquerCadrage(nuage.CalculerEtendue());
    vue.Camera().OrienterVue(3);
    vgl.show();
    if (!QTest::qWaitForWindowExposed(&vgl) || !vgl.Initialise()) {
        std::fprintf(stderr, "pas de contexte OpenGL\n");
        return 1;
    }
    QOpenGLFunctions_2_1* gl = vgl.Fonctions();
    const GLubyte* rendu = gl->glGetString(GL_RENDERER);
    std::printf("rendu : %s, vue %d x %d\n", reinterpret_cast<const char*>(rendu), vgl.width(), vgl.height());

    const int essais = 5;
    const auto frame = [&] {
        vgl.makeCurrent();
        const double t = Secondes([&] {
            vue.VGLDraw();
            gl->glFinish();
        });
        vgl.doneCurrent();
        return t;
    };
    const double tConstruction = Mediane(essais, [&] {
        vue.RetracerTout();
        return frame();
    });
    std::vector<TSommetPoint> memoire(nuage.CubesAffiches.size());
    const double tRemplir = Mediane(essais, [&] {
        return Secondes([&] { (void)RemplirSommets(nuage.CubesAffiches, vue.Reglages(), memoire.data()); });
    });
    // Replay and bare draw taken in turn, so that a change of load on the machine hits both alike. The
    // bare draw loads the camera's matrices and keeps the state the frames leave (depth test on).
    const auto nu = [&] {
        vgl.makeCurrent();
        const double t = Secondes([&] {
            gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            gl->glMatrixMode(GL_PROJECTION);
            gl->glLoadMatrixd(vue.Camera().projmatrix.data());
            gl->glMatrixMode(GL_MODELVIEW);
            gl->glLoadMatrixd(vue.Camera().mvmatrix.data());
            gl->glPointSize(2.0f);
            gl->glBindBuffer(GL_ARRAY_BUFFER, vue.Rendu().TamponPoints());
            gl->glEnableClientState(GL_VERTEX_ARRAY);
            gl->glEnableClientState(GL_COLOR_ARRAY);
            gl->glVertexPointer(3, GL_FLOAT, sizeof(TSommetPoint), nullptr);
            gl->glColorPointer(3, GL_UNSIGNED_BYTE, sizeof(TSommetPoint),
                               reinterpret_cast<const void*>(offsetof(TSommetPoint, r)));
            gl->glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(vue.Rendu().NbSommets()));
            gl->glDisableClientState(GL_COLOR_ARRAY);
            gl->glDisableClientState(GL_VERTEX_ARRAY);
            gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
            gl->glFinish();
        });
        vgl.doneCurrent();
        return t;
    };
    (void)frame();
    std::vector<double> rejeux, nus;
    for (int i = 0; i < 2 * essais + 1; ++i) {
        rejeux.push_back(frame());
        nus.push_back(nu());
    }
    std::sort(rejeux.begin(), rejeux.end());
    std::sort(nus.begin(), nus.end());
    const double tRejeu = rejeux[rejeux.size() / 2];
    const double tNu = nus[nus.size() / 2];

    // Hover over an empty corner: no hit, the whole list is scanned.
    vue.Camera().mouseold = {2, 2};
    const double tPick = Mediane(9, [&] { return Secondes([&] { vue.DesignerCube(); }); });
    const bool touche = vue.CubeSel != nullptr;
    vue.Camera().DebutGlissementSelection = {0, 0};
    const double tRect =
        Mediane(3, [&] { return Secondes([&] { vue.SelectionnerRectangle(vgl.width(), vgl.height()); }); });

    std::printf("construction des points + image : %8.1f ms\n", tConstruction * 1e3);
    std::printf("  dont remplissage seul (mémoire) : %8.1f ms\n", tRemplir * 1e3);
    std::printf("image rejouée                     : %8.1f ms\n", tRejeu * 1e3);
    std::printf("glDrawArrays nu (référence)       : %8.1f ms\n", tNu * 1e3);
    std::printf("rejeu / référence                 : %8.2f (cible <= 1.2)\n", tRejeu / tNu);
    std::printf("construction / rejeu              : %8.2f (cible <= 2)\n", tConstruction / tRejeu);
    std::printf("désignation (survol, sans cube)   : %8.1f ms (cible < 100)%s\n", tPick * 1e3,
                touche ? " [un cube trouvé !]" : "");
    std::printf("sélection rectangle (tout)        : %8.1f ms\n", tRect * 1e3);
    return 0;
}
