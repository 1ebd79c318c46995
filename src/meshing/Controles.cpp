#include "Controles.h"

#include "Nombres.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace tessarc {

namespace {

// The smallest angle of a triangle in plan, in degrees: the one facing its shortest side.
double PlusPetitAngle(const TMaillage& m, const TTriangle& t) {
    std::array<std::array<double, 2>, 3> p{};
    for (std::size_t i = 0; i < 3; ++i) {
        const TV3S& c = m.PointsModele[static_cast<std::size_t>(t.Sommets[i])].CoPM;
        p[i] = {c[1], c[2]};
    }
    const auto carre = [&](std::size_t a, std::size_t b) {
        const double dx = p[b][0] - p[a][0], dy = p[b][1] - p[a][1];
        return dx * dx + dy * dy;
    };
    // Vertex i faces the side from i + 1 to i + 2.
    std::size_t s = 0;
    for (std::size_t i = 1; i < 3; ++i)
        if (carre((i + 1) % 3, (i + 2) % 3) < carre((s + 1) % 3, (s + 2) % 3)) s = i;
    const auto& a = p[s];
    const auto& b = p[(s + 1) % 3];
    const auto& c = p[(s + 2) % 3];
    const double ux = b[0] - a[0], uy = b[1] - a[1];
    const double vx = c[0] - a[0], vy = c[1] - a[1];
    return std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy) * 180.0 / std::numbers::pi;
}

} // namespace

std::string ControleAppuis(const TMaillage& m) {
    if (m.Frontiere.empty()) return {};
    std::vector<std::int64_t> appuis(m.Frontiere.size(), 0);
    for (std::size_t i = 1; i < m.PointsModele.size(); ++i) {
        const std::int32_t s = m.PointsModele[i].NumFront0;
        if (s >= 0 && static_cast<std::size_t>(s) < appuis.size()) ++appuis[static_cast<std::size_t>(s)];
    }
    std::string liste;
    std::string faibles;
    for (std::size_t s = 0; s < appuis.size(); ++s) {
        liste += (s == 0 ? "" : ", ") + std::to_string(appuis[s]);
        if (appuis[s] < 2)
            faibles += (faibles.empty() ? "" : ", ") +
                       FormatC("segment %zu : %lld appui", s, static_cast<long long>(appuis[s]));
    }
    std::string texte = "appuis par segment : " + liste;
    if (!faibles.empty()) texte += " ; attention : " + faibles;
    return texte;
}

std::string ControleTriangulation(const TMaillage& m, const TCompteRenduTriangulation& cr) {
    std::string texte = FormatC("éléments : %zu", m.Triangles.size());
    if (!m.Triangles.empty()) {
        double plusPetit = 180.0;
        std::size_t aigus = 0;
        for (const TTriangle& t : m.Triangles) {
            const double a = PlusPetitAngle(m, t);
            plusPetit = std::min(plusPetit, a);
            if (a < AngleAigu) ++aigus;
        }
        texte +=
            FormatC(" ; plus petit angle : %.1f° ; éléments sous %.0f° : %zu", plusPetit, AngleAigu, aigus);
    }
    return texte + FormatC(" ; triangles sans aire écartés : %lld", static_cast<long long>(cr.SansAire));
}

} // namespace tessarc
