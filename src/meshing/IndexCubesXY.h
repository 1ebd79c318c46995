#pragma once
// The displayed cube whose average point is nearest to a node in X-Y, as a scan of the whole list would
// find it: the strictly nearest, the first in list order among equals. Deleted cubes are skipped (they
// are only waiting for the next save to go); selected and masked ones count. A tree over the cubes, split
// along a Z-order curve of coarse cells and then at medians, with the exact float bounding box of each
// subtree, answers in logarithmic time with the very same distance arithmetic.

#include "UTessarcGlb.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tessarc {

// A deleted cube gives no height.
[[nodiscard]] inline bool DonneHauteur(const TCube& c) {
    return (c.etatSP & EtatSupprime) == 0;
}

// (ax - bx)^2 + (ay - by)^2, the differences taken in double precision from the single coordinates.
[[nodiscard]] double DistanceCarreeXY(float ax, float ay, float bx, float by);

class TIndexCubesXY {
public:
    explicit TIndexCubesXY(std::span<TCube* const> cubes);

    // Position in the list of the nearest cube to (x, y); -1 when no cube of the list counts.
    [[nodiscard]] std::int32_t PlusProche(float x, float y) const;

private:
    struct TPointXY {
        std::uint32_t code; // cell of a 1024 x 1024 division of the bounding box, in Z order
        float x;
        float y;
        std::int32_t indice; // position in the list
    };
    struct TNoeud {
        float minX, minY, maxX, maxY;
        std::int32_t a, b; // leaf: points [a, b); otherwise the two children
        std::int32_t indiceMin;
        bool feuille;
    };

    std::int32_t Construire(std::size_t debut, std::size_t fin);
    [[nodiscard]] double Borne(const TNoeud& n, float x, float y) const;

    std::vector<TPointXY> points_;
    std::vector<TNoeud> noeuds_;
    // Position of the first cube that counts, -1 for none.
    std::int32_t premier_ = -1;
    // That first cube has an undefined X or Y: every distance to it is NaN, so no later cube is ever
    // found strictly nearer and the list scan keeps it.
    bool premierIndefini_ = false;
};

} // namespace tessarc
