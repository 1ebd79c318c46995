#include "Frontiere.h"

#include "Nombres.h"
#include "Saisie.h"

#include <algorithm>
#include <cmath>

namespace tessarc {

namespace {
TTextesPoint Textes(double X, double Y, const TV3R& decalage) {
    return {TexteCoordonnee(X, decalage[1]), TexteCoordonnee(Y, decalage[2])};
}
} // namespace

std::optional<TTextesPoint> AjouterPointFrontiere(TMaillage& m, double X, double Y, float zBas,
                                                  const TV3R& decalage) {
    const float x = static_cast<float>(X);
    const float y = static_cast<float>(Y);
    if (!std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
    m.Frontiere.push_back(FaireV3S(x, y, zBas));
    return Textes(X, Y, decalage);
}

TTextesPoint AfficherPointFrontiere(const TMaillage& m, int i, const TV3R& decalage) {
    const TV3S& p = m.Frontiere.at(static_cast<std::size_t>(i));
    return Textes(p[1], p[2], decalage);
}

std::optional<TTextesPoint> ValiderPointFrontiere(TMaillage& m, int i, std::string_view texteX,
                                                  std::string_view texteY, const TV3R& decalage) {
    if (i < 0 || static_cast<std::size_t>(i) >= m.Frontiere.size()) return std::nullopt;
    TV3S& p = m.Frontiere[static_cast<std::size_t>(i)];
    if (const auto x = LireCoordonnee(texteX, decalage[1])) p[1] = *x;
    if (const auto y = LireCoordonnee(texteY, decalage[2])) p[2] = *y;
    return AfficherPointFrontiere(m, i, decalage);
}

void DefinirFrontiere(TMaillage& m) {
    m.Frontiere.clear();
}

std::vector<std::string> NumerosPointsFrontiere(const TMaillage& m) {
    std::vector<std::string> numeros;
    numeros.reserve(m.Frontiere.size());
    for (std::size_t k = 1; k <= m.Frontiere.size(); ++k) numeros.push_back(std::to_string(k));
    return numeros;
}

namespace {

template <typename TPoint> std::size_t Distincts(std::span<const TPoint> f) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const auto proche = [&](const TPoint& q) {
            return std::fabs(static_cast<double>(q[1]) - f[i][1]) < 0.001 &&
                   std::fabs(static_cast<double>(q[2]) - f[i][2]) < 0.001;
        };
        if (std::none_of(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(i), proche)) ++n;
    }
    return n;
}

} // namespace

std::size_t NbPointsDistincts(std::span<const TV3S> f) {
    return Distincts(f);
}

std::size_t NbPointsDistincts(std::span<const TV3R> f) {
    return Distincts(f);
}

} // namespace tessarc
