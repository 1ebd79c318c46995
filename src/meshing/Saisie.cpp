#include "Saisie.h"

#include "Nombres.h"

#include <cmath>

namespace tessarc {

std::optional<float> LireSingle(std::string_view texte) {
    const std::optional<double> v = LireReel(Rogner(texte));
    if (!v) return std::nullopt;
    const float f = static_cast<float>(*v);
    if (!std::isfinite(f)) return std::nullopt;
    return f;
}

} // namespace tessarc
