#pragma once
// What the tree is built from: the points of a scan in file order, in single precision, handed over in
// blocks so that a builder never needs them all at once and may read them twice.

#include "UtilsVect.h"

#include <algorithm>
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

// Points already in memory, which must outlive the source.
class TSourceMemoire final : public ISourcePoints {
public:
    explicit TSourceMemoire(std::span<const TPointFichier> points) : points_(points) {}
    [[nodiscard]] std::int64_t Nombre() const override { return static_cast<std::int64_t>(points_.size()); }
    [[nodiscard]] std::size_t Lire(std::span<TPointFichier> dest) override {
        const std::span<const TPointFichier> reste = points_.subspan(lus_);
        const std::size_t n = std::min(dest.size(), reste.size());
        std::copy_n(reste.begin(), n, dest.begin());
        lus_ += n;
        return n;
    }
    void Rembobiner() override { lus_ = 0; }

private:
    std::span<const TPointFichier> points_;
    std::size_t lus_ = 0;
};

} // namespace tessarc
