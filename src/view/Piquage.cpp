#include "Piquage.h"

#include "Nombres.h"

#include <algorithm>

namespace tessarc {

std::optional<std::size_t> PremierCubeVisible(std::span<TCube* const> cubes, const TMatricesVue& matrices) {
    // One combined matrix: four dot products per cube, then the clip test of a point, -w <= x, y, z <= w,
    // written so that a NaN (a view of no size) is never inside.
    const TmatGL16 m = MultiplierMatrices(matrices.projection, matrices.modele);
    for (std::size_t i = 0; i < cubes.size(); ++i) {
        const TV3S& p = cubes[i]->CooMoyPts;
        const double x = double(p[1]), y = double(p[2]), z = double(p[3]);
        const double w = m[3] * x + m[7] * y + m[11] * z + m[15];
        const double cx = m[0] * x + m[4] * y + m[8] * z + m[12];
        if (!(cx >= -w && cx <= w)) continue;
        const double cy = m[1] * x + m[5] * y + m[9] * z + m[13];
        if (!(cy >= -w && cy <= w)) continue;
        const double cz = m[2] * x + m[6] * y + m[10] * z + m[14];
        if (!(cz >= -w && cz <= w)) continue;
        return i;
    }
    return std::nullopt;
}

std::string TexteCube(const TCube& cube, const TV3R& decalage) {
    const TV3S& m = cube.CooMoyPts;
    const TV3S& o = cube.CooOriCube;
    return FormatC("%.3f   %.3f   %.3f  //  %.3f   %.3f   %.3f  (%d)", double(m[1]) + decalage[1],
                   double(m[2]) + decalage[2], double(m[3]) + decalage[3], double(o[1]) + decalage[1],
                   double(o[2]) + decalage[2], double(o[3]) + decalage[3], cube.nbptscube);
}

std::size_t SelectionnerCubesRectangle(std::span<TCube* const> cubes, const TCamera& camera, TPointEcran a,
                                       TPointEcran b) {
    // Window coordinates, Y upwards.
    const double x1 = std::min(a.X, b.X);
    const double x2 = std::max(a.X, b.X);
    const double y1 = double(camera.VGLheight) - std::max(a.Y, b.Y);
    const double y2 = double(camera.VGLheight) - std::min(a.Y, b.Y);
    std::size_t nouveaux = 0;
    for (TCube* c : cubes) {
        if ((c->etatSP & EtatMasque) != 0) continue;
        const TV3S& p = c->CooMoyPts;
        const auto f =
            Projeter(FaireV3R(p[1], p[2], p[3]), camera.mvmatrix, camera.projmatrix, camera.viewport);
        if (!f || !(f->x >= x1 && f->x <= x2 && f->y >= y1 && f->y <= y2)) continue;
        if ((c->etatSP & EtatSelectionne) == 0) ++nouveaux;
        c->etatSP |= EtatSelectionne;
    }
    return nouveaux;
}

} // namespace tessarc
