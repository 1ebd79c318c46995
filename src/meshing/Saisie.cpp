#include "Saisie.h"

#include "Nombres.h"

#include <cmath>

namespace tessarc {

std::optional<float> LireSingle(std::string_view texte) {
    return LireCoordonnee(texte, 0.0);
}

std::optional<float> LireCoordonnee(std::string_view texte, double decalage) {
    const std::optional<double> v = LireReel(Rogner(texte));
    if (!v) return std::nullopt;
    const float f = static_cast<float>(*v - decalage);
    if (!std::isfinite(f)) return std::nullopt;
    return f;
}

std::string TexteCoordonnee(double stocke, double decalage) {
    return FormatC("%.2f", stocke + decalage);
}

} // namespace tessarc
