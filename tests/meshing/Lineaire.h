#pragma once
// Helpers of the meshing tests: the plain list scans that the indexes must reproduce, and clouds of
// hand-placed cubes.

#include "Maillage.h"
#include "UTessarcGlb.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tessarc::test {

// AjouterPointModele as a scan of nodes 1 .. NbPointsModele - 1.
std::int32_t AjouterPointModeleLineaire(TMaillage& m, const TV3S& P, std::int32_t segment);

// The nearest cube as a scan of the whole list, deleted cubes skipped: a later cube replaces the best
// only if strictly nearer.
std::int32_t PlusProcheLineaire(std::span<TCube* const> cubes, float x, float y);

// Cubes whose only meaningful field is the average point, and the list of pointers a TNuage would give.
class TCubes {
public:
    void Ajouter(float x, float y, float z, std::uint8_t etat = 0);
    [[nodiscard]] std::span<TCube* const> Liste();
    [[nodiscard]] std::size_t Taille() const { return cubes_.size(); }

private:
    std::vector<TCube> cubes_;
    std::vector<TCube*> liste_;
};

} // namespace tessarc::test
