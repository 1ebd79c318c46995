#include "Triangulation.h"

#include "IndexPointsModele.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tessarc {

namespace {

// Triangles per number n of nodes on a partial square's outline, as positions 1 .. n of the nodes
// collected counter-clockwise from the top of the left edge.
using TMotif = std::vector<std::array<int, 3>>;
const std::array<TMotif, 9> Motifs{
    TMotif{},
    TMotif{},
    TMotif{},
    TMotif{{1, 2, 3}},
    TMotif{{1, 2, 3}, {3, 4, 1}},
    TMotif{{1, 2, 3}, {3, 4, 5}, {5, 1, 3}},
    TMotif{{1, 2, 3}, {3, 4, 5}, {5, 6, 3}, {6, 1, 3}},
    TMotif{{1, 2, 3}, {3, 4, 5}, {5, 6, 7}, {7, 1, 5}, {1, 3, 5}},
    TMotif{{1, 2, 3}, {3, 4, 5}, {5, 6, 7}, {7, 8, 1}, {1, 3, 5}, {5, 7, 1}},
};

float Milieu(float a, float b) {
    return static_cast<float>((static_cast<double>(a) + static_cast<double>(b)) / 2.0);
}

} // namespace

bool ChangementPageAccepte(int ongletactif, int nouvelle, const TMaillage& m) {
    if (nouvelle > ongletactif + 1) return false;
    if (nouvelle == PageTriangulation && m.GrilleTri.empty()) return false;
    return true;
}

bool OngletResultatAccessible(const std::string& ResulGen) {
    return !ResulGen.empty();
}

EAjoutTriangle AjouterTriangle(std::vector<TTriangle>& triangles, std::span<const TPointModele> noeuds,
                               std::int32_t a, std::int32_t b, std::int32_t c) {
    if (a == b || b == c || a == c) return EAjoutTriangle::NoeudRepete;
    const auto co = [&](std::int32_t n, int k) {
        return static_cast<double>(noeuds[static_cast<std::size_t>(n)].CoPM[k]);
    };
    const double aire2 =
        (co(b, 1) - co(a, 1)) * (co(c, 2) - co(a, 2)) - (co(b, 2) - co(a, 2)) * (co(c, 1) - co(a, 1));
    if (std::fabs(aire2) < 1e-6) return EAjoutTriangle::SansAire;
    TTriangle t;
    t.Sommets = {a, b, c};
    triangles.push_back(t);
    return EAjoutTriangle::Ajoute;
}

TCompteRenduTriangulation Trianguler(TMaillage& m) {
    TCompteRenduTriangulation cr;
    const auto nc = static_cast<std::size_t>(m.NbColGrille);
    const auto nl = static_cast<std::size_t>(m.NbLigGrille);
    if (m.GrilleTri.empty() || m.NbColGrille < 1 || m.NbLigGrille < 1 || m.GrilleTri.size() != nc * nl)
        return cr;
    cr.Triangule = true;

    m.PointsModele.resize(2 * static_cast<std::size_t>(std::max(m.NbPointsModele, 1)));
    TIndexPointsModele index(m);
    std::vector<TTriangle> triangles;
    triangles.reserve(128);

    const auto cellule = [&](std::size_t i, std::size_t j) -> const TPointTri& {
        return m.GrilleTri[i + j * nc];
    };
    // The centre nodes grow PointsModele: the triangle test reads it afresh each time.
    const auto ajouter = [&](std::int32_t a, std::int32_t b, std::int32_t c) {
        if (AjouterTriangle(triangles, m.PointsModele, a, b, c) == EAjoutTriangle::SansAire) ++cr.SansAire;
    };
    for (std::size_t j = 0; j + 1 < nl; ++j) {
        for (std::size_t i = 0; i + 1 < nc; ++i) {
            const TPointTri& c0 = cellule(i, j);
            const TPointTri& c1 = cellule(i + 1, j);
            const TPointTri& c2 = cellule(i + 1, j + 1);
            const TPointTri& c3 = cellule(i, j + 1);
            const std::array<const TPointTri*, 4> coins{&c0, &c1, &c2, &c3};
            int genres = 0;
            int noeudsCoins = 0;
            for (const TPointTri* c : coins) {
                genres += c->typepttri != 0 ? 1 : 0;
                noeudsCoins += c->PTrInt > 0 ? 1 : 0;
            }
            if (genres == 0) continue;

            if (noeudsCoins == 4) {
                const TV3S a = m.PointsModele[static_cast<std::size_t>(c0.PTrInt)].CoPM;
                const TV3S b = m.PointsModele[static_cast<std::size_t>(c2.PTrInt)].CoPM;
                const std::int32_t centre = index.AjouterPointModele(
                    FaireV3S(Milieu(a[1], b[1]), Milieu(a[2], b[2]), Milieu(a[3], b[3])), -1);
                ajouter(c0.PTrInt, c1.PTrInt, centre);
                ajouter(c1.PTrInt, c2.PTrInt, centre);
                ajouter(c2.PTrInt, c3.PTrInt, centre);
                ajouter(c3.PTrInt, c0.PTrInt, centre);
                continue;
            }

            // The outline counter-clockwise from the top of the left edge.
            const std::array<std::int32_t, 12> contour{
                c0.PTrHV[2][2], c0.PTrHV[2][1], c0.PTrInt, c0.PTrHV[1][1], c0.PTrHV[1][2], c1.PTrInt,
                c1.PTrHV[2][1], c1.PTrHV[2][2], c2.PTrInt, c3.PTrHV[1][2], c3.PTrHV[1][1], c3.PTrInt};
            std::array<std::int32_t, 13> P{};
            std::size_t n = 0;
            for (const std::int32_t e : contour)
                if (e != 0) P[++n] = e;
            if (n >= Motifs.size()) continue;
            for (const auto& t : Motifs[n])
                ajouter(P[static_cast<std::size_t>(t[0])], P[static_cast<std::size_t>(t[1])],
                        P[static_cast<std::size_t>(t[2])]);
        }
    }

    m.PointsModele.resize(static_cast<std::size_t>(m.NbPointsModele));
    m.PointsModele.shrink_to_fit();
    triangles.shrink_to_fit();
    m.Triangles = std::move(triangles);
    return cr;
}

} // namespace tessarc
