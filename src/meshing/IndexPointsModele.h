#pragma once
// AjouterPointModele: a node within 0.001 of P in both X and Y is reused (the lowest index of such
// nodes, as a scan from index 1 would find), otherwise P becomes a new node at the end of PointsModele,
// the array growing by 128 entries when full. A hash grid of 2 mm cells beside the array makes each
// call constant time instead of a scan of every node.

#include "Maillage.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tessarc {

class TIndexPointsModele {
public:
    // Indexes the nodes 1 .. NbPointsModele - 1 already in m.
    explicit TIndexPointsModele(TMaillage& m);

    std::int32_t AjouterPointModele(const TV3S& P, std::int32_t segment);

private:
    void Indexer(std::int32_t i);

    TMaillage& m_;
    std::unordered_map<std::uint64_t, std::int32_t> dernier_; // cell -> last node indexed there
    std::vector<std::int32_t> precedent_; // node -> previous node of its cell, 0 at the end
};

} // namespace tessarc
