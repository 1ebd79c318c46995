#include "IndexPointsModele.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessarc {

namespace {

constexpr double Tolerance = 0.001;

// Cells of 2 mm: two coordinates closer than the 1 mm tolerance fall in the same or adjacent cells
// even after the rounding of the product. Clamping keeps that property (it never widens a gap).
std::int64_t Case(float v) {
    const double c = std::floor(static_cast<double>(v) * 500.0);
    constexpr double Borne = 2147483000.0;
    return static_cast<std::int64_t>(std::clamp(c, -Borne, Borne));
}

std::uint64_t Cle(std::int64_t cx, std::int64_t cy) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) |
           static_cast<std::uint32_t>(cy);
}

// A node with a non-finite X or Y is within the tolerance of nothing.
bool Indexable(const TV3S& p) {
    return std::isfinite(p[1]) && std::isfinite(p[2]);
}

} // namespace

TIndexPointsModele::TIndexPointsModele(TMaillage& m) : m_(m) {
    // Entry 0 never holds a node.
    m_.NbPointsModele = std::max(m_.NbPointsModele, 1);
    if (m_.PointsModele.empty()) m_.PointsModele.resize(1);
    precedent_.assign(static_cast<std::size_t>(m_.NbPointsModele), 0);
    precedent_.reserve(m_.PointsModele.size());
    dernier_.reserve(m_.PointsModele.size());
    for (std::int32_t i = 1; i < m_.NbPointsModele; ++i) Indexer(i);
}

void TIndexPointsModele::Indexer(std::int32_t i) {
    const TV3S& p = m_.PointsModele[static_cast<std::size_t>(i)].CoPM;
    if (static_cast<std::size_t>(i) >= precedent_.size())
        precedent_.resize(static_cast<std::size_t>(i) + 1, 0);
    if (!Indexable(p)) return;
    std::int32_t& tete = dernier_[Cle(Case(p[1]), Case(p[2]))];
    precedent_[static_cast<std::size_t>(i)] = tete;
    tete = i;
}

std::int32_t TIndexPointsModele::AjouterPointModele(const TV3S& P, std::int32_t segment) {
    if (Indexable(P)) {
        const std::int64_t cx = Case(P[1]);
        const std::int64_t cy = Case(P[2]);
        std::int32_t trouve = std::numeric_limits<std::int32_t>::max();
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto it = dernier_.find(Cle(cx + dx, cy + dy));
                if (it == dernier_.end()) continue;
                for (std::int32_t i = it->second; i != 0; i = precedent_[static_cast<std::size_t>(i)]) {
                    const TV3S& q = m_.PointsModele[static_cast<std::size_t>(i)].CoPM;
                    if (i < trouve &&
                        std::fabs(static_cast<double>(q[1]) - static_cast<double>(P[1])) < Tolerance &&
                        std::fabs(static_cast<double>(q[2]) - static_cast<double>(P[2])) < Tolerance)
                        trouve = i;
                }
            }
        }
        if (trouve != std::numeric_limits<std::int32_t>::max()) return trouve;
    }
    if (static_cast<std::size_t>(m_.NbPointsModele) >= m_.PointsModele.size())
        m_.PointsModele.resize(static_cast<std::size_t>(m_.NbPointsModele) + 128);
    const std::int32_t i = m_.NbPointsModele;
    TPointModele& n = m_.PointsModele[static_cast<std::size_t>(i)];
    n = TPointModele{};
    n.CoPM = P;
    n.NumFront0 = segment;
    ++m_.NbPointsModele;
    Indexer(i);
    return i;
}

} // namespace tessarc
