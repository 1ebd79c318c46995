#include "IndexCubesXY.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>

namespace tessarc {

namespace {

constexpr std::size_t TailleFeuille = 8;

// Spreads the 10 bits of v over the even bits of the result.
std::uint32_t Etaler(std::uint32_t v) {
    v &= 0x3FFu;
    v = (v | (v << 8)) & 0x00FF00FFu;
    v = (v | (v << 4)) & 0x0F0F0F0Fu;
    v = (v | (v << 2)) & 0x33333333u;
    v = (v | (v << 1)) & 0x55555555u;
    return v;
}

std::uint32_t Quantifier(float v, double origine, double echelle) {
    const double q = (static_cast<double>(v) - origine) * echelle;
    return static_cast<std::uint32_t>(std::clamp(q, 0.0, 1023.0));
}

} // namespace

double DistanceCarreeXY(float ax, float ay, float bx, float by) {
    const double dx = static_cast<double>(ax) - static_cast<double>(bx);
    const double dy = static_cast<double>(ay) - static_cast<double>(by);
    return dx * dx + dy * dy;
}

TIndexCubesXY::TIndexCubesXY(std::span<TCube* const> cubes) {
    const auto retenu = [](const TCube* c) { return DonneHauteur(*c); };
    const auto it = std::ranges::find_if(cubes, retenu);
    if (it == cubes.end()) return;
    premier_ = static_cast<std::int32_t>(it - cubes.begin());
    const TV3S& p0 = (*it)->CooMoyPts;
    premierIndefini_ = std::isnan(p0[1]) || std::isnan(p0[2]);
    if (premierIndefini_) return;

    // Cubes at an infinite or undefined place are never strictly nearer than a cube at a finite one,
    // and a first cube at infinity loses to any finite cube: only finite cubes enter the tree.
    points_.reserve(cubes.size());
    float minX = std::numeric_limits<float>::max(), minY = minX;
    float maxX = std::numeric_limits<float>::lowest(), maxY = maxX;
    for (auto i = static_cast<std::size_t>(premier_); i < cubes.size(); ++i) {
        if (!retenu(cubes[i])) continue;
        const TV3S& p = cubes[i]->CooMoyPts;
        if (!std::isfinite(p[1]) || !std::isfinite(p[2])) continue;
        points_.push_back({0, p[1], p[2], static_cast<std::int32_t>(i)});
        minX = std::min(minX, p[1]);
        maxX = std::max(maxX, p[1]);
        minY = std::min(minY, p[2]);
        maxY = std::max(maxY, p[2]);
    }
    if (points_.empty()) return;

    const double ex = maxX > minX ? 1024.0 / (static_cast<double>(maxX) - minX) : 0.0;
    const double ey = maxY > minY ? 1024.0 / (static_cast<double>(maxY) - minY) : 0.0;
    for (TPointXY& p : points_)
        p.code = Etaler(Quantifier(p.x, minX, ex)) | (Etaler(Quantifier(p.y, minY, ey)) << 1);

    // Radix sort on the cell code, 10 bits per pass; a pass where every code has the same digit is
    // skipped. Inside a cell the order is left to the median splits of Construire.
    {
        const std::size_t n = points_.size();
        const auto tampon = std::make_unique_for_overwrite<TPointXY[]>(n);
        TPointXY* source = points_.data();
        TPointXY* cible = tampon.get();
        for (int decalage = 0; decalage < 20; decalage += 10) {
            std::vector<std::size_t> compte(1025, 0);
            for (std::size_t k = 0; k < n; ++k) ++compte[((source[k].code >> decalage) & 0x3FFu) + 1];
            if (std::ranges::count(compte, n) == 1) continue;
            for (std::size_t k = 1; k < compte.size(); ++k) compte[k] += compte[k - 1];
            for (std::size_t k = 0; k < n; ++k)
                cible[compte[(source[k].code >> decalage) & 0x3FFu]++] = source[k];
            std::swap(source, cible);
        }
        if (source != points_.data()) std::copy(source, source + n, points_.data());
    }
    noeuds_.reserve(2 * points_.size() / TailleFeuille + 1);
    Construire(0, points_.size());
}

std::int32_t TIndexCubesXY::Construire(std::size_t debut, std::size_t fin) {
    const auto n = static_cast<std::int32_t>(noeuds_.size());
    noeuds_.push_back({});

    const auto feuille = [&] {
        TNoeud f{std::numeric_limits<float>::max(),        std::numeric_limits<float>::max(),
                 std::numeric_limits<float>::lowest(),     std::numeric_limits<float>::lowest(),
                 static_cast<std::int32_t>(debut),         static_cast<std::int32_t>(fin),
                 std::numeric_limits<std::int32_t>::max(), true};
        for (std::size_t k = debut; k < fin; ++k) {
            const TPointXY& p = points_[k];
            f.minX = std::min(f.minX, p.x);
            f.maxX = std::max(f.maxX, p.x);
            f.minY = std::min(f.minY, p.y);
            f.maxY = std::max(f.maxY, p.y);
            f.indiceMin = std::min(f.indiceMin, p.indice);
        }
        return f;
    };

    if (fin - debut <= TailleFeuille) {
        noeuds_[static_cast<std::size_t>(n)] = feuille();
        return n;
    }

    std::size_t milieu = 0;
    const std::uint32_t difference = points_[debut].code ^ points_[fin - 1].code;
    if (difference != 0) {
        // The codes of the range share every bit above the highest differing one: split on that bit.
        const int bit = std::bit_width(difference) - 1;
        const auto it =
            std::partition_point(points_.begin() + static_cast<std::ptrdiff_t>(debut),
                                 points_.begin() + static_cast<std::ptrdiff_t>(fin),
                                 [bit](const TPointXY& p) { return ((p.code >> bit) & 1u) == 0; });
        milieu = static_cast<std::size_t>(it - points_.begin());
    } else {
        // Same cell of the curve: split at the median of the wider side, or stop on identical points.
        const TNoeud f = feuille();
        if (f.minX == f.maxX && f.minY == f.maxY) {
            noeuds_[static_cast<std::size_t>(n)] = f;
            return n;
        }
        const bool selonX = static_cast<double>(f.maxX) - f.minX >= static_cast<double>(f.maxY) - f.minY;
        milieu = debut + (fin - debut) / 2;
        std::nth_element(
            points_.begin() + static_cast<std::ptrdiff_t>(debut),
            points_.begin() + static_cast<std::ptrdiff_t>(milieu),
            points_.begin() + static_cast<std::ptrdiff_t>(fin),
            [selonX](const TPointXY& a, const TPointXY& b) { return selonX ? a.x < b.x : a.y < b.y; });
    }

    const std::int32_t g = Construire(debut, milieu);
    const std::int32_t d = Construire(milieu, fin);
    const TNoeud& ng = noeuds_[static_cast<std::size_t>(g)];
    const TNoeud& nd = noeuds_[static_cast<std::size_t>(d)];
    noeuds_[static_cast<std::size_t>(n)] = {std::min(ng.minX, nd.minX),
                                            std::min(ng.minY, nd.minY),
                                            std::max(ng.maxX, nd.maxX),
                                            std::max(ng.maxY, nd.maxY),
                                            g,
                                            d,
                                            std::min(ng.indiceMin, nd.indiceMin),
                                            false};
    return n;
}

// No point of the box is nearer than this, in the arithmetic of DistanceCarreeXY: each rounded step
// (difference, square, sum) is monotonic, so the distance from the box side bounds every point's.
double TIndexCubesXY::Borne(const TNoeud& n, float x, float y) const {
    const float bx = x < n.minX ? n.minX : (x > n.maxX ? n.maxX : x);
    const float by = y < n.minY ? n.minY : (y > n.maxY ? n.maxY : y);
    return DistanceCarreeXY(bx, by, x, y);
}

std::int32_t TIndexCubesXY::PlusProche(float x, float y) const {
    if (premier_ < 0) return -1;
    // An undefined or infinite node is at an undefined or infinite distance from every cube: the list
    // scan keeps the first cube that counts.
    if (premierIndefini_ || points_.empty() || !std::isfinite(x) || !std::isfinite(y)) return premier_;

    double meilleure = std::numeric_limits<double>::infinity();
    std::int32_t choisi = std::numeric_limits<std::int32_t>::max();
    const auto inutile = [&](double borne, const TNoeud& n) {
        return borne > meilleure || (borne == meilleure && n.indiceMin > choisi);
    };

    // Depth is at most 20 code bits plus 32 median splits.
    struct TAVoir {
        std::int32_t noeud;
        double borne;
    };
    std::array<TAVoir, 160> pile;
    std::size_t haut = 0;
    pile[haut++] = {0, 0.0};
    while (haut > 0) {
        const TAVoir v = pile[--haut];
        const TNoeud& n = noeuds_[static_cast<std::size_t>(v.noeud)];
        if (inutile(v.borne, n)) continue;
        if (n.feuille) {
            for (std::int32_t k = n.a; k < n.b; ++k) {
                const TPointXY& p = points_[static_cast<std::size_t>(k)];
                const double d = DistanceCarreeXY(p.x, p.y, x, y);
                if (d < meilleure || (d == meilleure && p.indice < choisi)) {
                    meilleure = d;
                    choisi = p.indice;
                }
            }
            continue;
        }
        TAVoir g{n.a, Borne(noeuds_[static_cast<std::size_t>(n.a)], x, y)};
        TAVoir d{n.b, Borne(noeuds_[static_cast<std::size_t>(n.b)], x, y)};
        if (d.borne < g.borne) std::swap(g, d);
        // The nearer child is looked at first.
        pile[haut++] = d;
        pile[haut++] = g;
    }
    return choisi;
}

} // namespace tessarc
