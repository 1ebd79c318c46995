#pragma once
// What the tree is built from: the points of a scan in file order, in single precision, handed over in
// blocks so that a builder never needs them all at once and may read them twice.

#include "UtilsVect.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace tessarc {

// One point as the tree stores it: X, Y, Z, then red, green, blue and the fourth colour byte.
struct TPointFichier {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    TV4By Couleur{};
};

class ISourcePoints {
public:
    virtual ~ISourcePoints() = default;
    [[nodiscard]] virtual std::int64_t Nombre() const = 0;
    // The next points in order; fewer than dest.size() only at the end.
    [[nodiscard]] virtual std::size_t Lire(std::span<TPointFichier> dest) = 0;
    // Back to the first point, for another pass.
    virtual void Rembobiner() = 0;
};

} // namespace tessarc
