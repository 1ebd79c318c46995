#pragma once
// The occupied 1 m root cells: a hash table from cell to root cube, and the roots in the order of their
// cells (X index outermost, then Y, then Z), sorted again when asked after a change.

#include "Emplacements.h"
#include "TableHachage.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tessarc {

struct TCellule {
    std::int32_t i = 0;
    std::int32_t j = 0;
    std::int32_t k = 0;
    friend bool operator==(const TCellule&, const TCellule&) = default;
    friend auto operator<=>(const TCellule&, const TCellule&) = default;
};

class TTableRacines {
public:
    [[nodiscard]] IndexCube Trouver(const TCellule& c) const;
    // c must be free.
    void Poser(const TCellule& c, IndexCube racine);
    void Retirer(const TCellule& c);
    // Every root, X index outermost, then Y, then Z.
    [[nodiscard]] std::span<const IndexCube> Ordre() const;
    [[nodiscard]] std::size_t Taille() const { return table_.Taille(); }
    void Vider();

private:
    struct Hachage {
        std::size_t operator()(const TCellule& c) const noexcept {
            std::uint64_t h = static_cast<std::uint32_t>(c.i) * 0x9E3779B97F4A7C15ULL;
            h = (h ^ (h >> 29) ^ static_cast<std::uint32_t>(c.j)) * 0xBF58476D1CE4E5B9ULL;
            h = (h ^ (h >> 31) ^ static_cast<std::uint32_t>(c.k)) * 0x94D049BB133111EBULL;
            return static_cast<std::size_t>(h ^ (h >> 32));
        }
    };

    TTableHachage<TCellule, Hachage> table_;
    mutable std::vector<IndexCube> ordre_;
    mutable bool ordonne_ = true;
};

} // namespace tessarc
