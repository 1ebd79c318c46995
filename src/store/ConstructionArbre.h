#pragma once
// The tree of a whole scan built in one go on two cores, equal in every bit to the one InsererPoint
// builds point by point: the same cubes with the same corners, the level lists in the same order (the
// order in which a first point reached each cube), the same sums formed in the same order of points,
// the same counts, colours and "erreur" messages. Each point's path down the tree is computed once;
// the points are grouped by 20 cm cube, sorted by path (stably, so that every leaf keeps its points in
// file order), and each 20 cm cube is then built on its own.

#include "SourcePoints.h"
#include "UTessarcGlb.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace tessarc {

// The tree cannot be built: too many points, or more memory than the machine has. The French message
// says what it would take.
class EArbreTropGrand : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TOptionsConstruction {
    // Called on the calling thread only, with the share of the work done, from 0 up to source.Nombre();
    // what it throws stops the build and leaves a tree to be emptied.
    std::function<void(std::int64_t)> Avancer;
    // Bytes the build may take; 0: the memory the system has available.
    std::size_t MemoireDisponible = 0;
    // Each 20 cm cube averaged as soon as it is built (below); otherwise the leaves keep their sums.
    bool Moyenner = true;
};

// nuage must be empty, with NivMax set and its extent computed (CalculerEtendue, DimensionnerGrille).
// Averaged, the tree comes out with what one pass of CalculerMoyennesRacines would give, and the next
// such call, the load's own, does nothing.
void ConstruireArbreTrie(TNuage& nuage, ISourcePoints& source, const TOptionsConstruction& options = {});

} // namespace tessarc
