#pragma once
// The child positions of internal cubes, by 32-bit handle (0 = none). A cube filled point by point
// starts with a sparse sorted block of 4 positions that grows to 8, 16, 32, then to a dense block of
// 125. A cube built in one go from sorted points has its children side by side in their level's pool:
// its block is a run, the first child's index and a mask of the occupied slots.

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

namespace tessarc {

// Set bits of a word, without the instruction the baseline processor lacks.
inline std::uint32_t Bits(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<std::uint32_t>((x * 0x0101010101010101ULL) >> 56);
}

using IndexCube = std::uint32_t; // 0 = no cube

class TEmplacements {
public:
    static constexpr int NbClasses = 6;
    static constexpr int Dense = 4;
    static constexpr int Suite = 5;
    // A run: the first child, then 4 mask words.
    static constexpr std::size_t OctetsSuite = 5 * sizeof(std::uint32_t);
    static constexpr std::array<int, NbClasses> Capacite{4, 8, 16, 32, 125, 125};

    [[nodiscard]] static int ClasseDe(std::uint32_t h) { return static_cast<int>(h >> BitsClasse); }

    [[nodiscard]] std::uint32_t Nouveau(int classe);
    // n consecutive run blocks, not initialised: the handles are the returned one and the n - 1 after it.
    // Not to be called while another thread writes blocks.
    [[nodiscard]] std::uint32_t ReserverSuites(std::uint32_t n);
    // Writes a run block: the children of the occupied slots are premier, premier + 1... in slot order.
    void PoserSuite(std::uint32_t h, IndexCube premier, const std::array<std::uint32_t, 4>& masque);
    void Liberer(std::uint32_t h);
    // The child at slot, or 0. A run gives the child it holds for the slot even if it was destroyed since.
    [[nodiscard]] IndexCube Lire(std::uint32_t h, int slot) const;
    // Not for runs. Returns the handle, which changes when the block grows.
    [[nodiscard]] std::uint32_t Poser(std::uint32_t h, int slot, IndexCube enfant);
    // Not for runs (their children are known dead by their own record).
    void Effacer(std::uint32_t h, int slot);
    // f(slot, child) in slot order.
    template <typename F> void Parcourir(std::uint32_t h, F&& f) const;
    void Vider();
    [[nodiscard]] std::size_t Octets() const;

private:
    static constexpr unsigned BitsClasse = 29;
    static constexpr unsigned BlocsParChunk = 4096;

    struct Classe {
        std::vector<std::unique_ptr<std::uint32_t[]>> chunks;
        std::uint32_t suivant = 0;
        std::vector<std::uint32_t> libres;
    };

    [[nodiscard]] std::uint32_t* Bloc(std::uint32_t h) const;
    // Sparse block: word 0 holds the count, then the child indices, then their positions as bytes, both
    // runs sorted by slot. Dense block: 125 words indexed by slot. Run: the first child, then 4 mask words.
    [[nodiscard]] static std::size_t MotsBloc(int classe);
    void AssurerChunks(Classe& c, int classe, std::uint32_t jusqua);

    std::array<Classe, NbClasses> classes_;
};

template <typename F> void TEmplacements::Parcourir(std::uint32_t h, F&& f) const {
    if (h == 0) return;
    const int classe = ClasseDe(h);
    const std::uint32_t* b = Bloc(h);
    if (classe == Suite) {
        IndexCube i = b[0];
        for (int w = 0; w < 4; ++w)
            for (std::uint32_t m = b[1 + w]; m != 0; m &= m - 1) f(32 * w + std::countr_zero(m), i++);
        return;
    }
    if (classe == Dense) {
        for (int s = 0; s < 125; ++s)
            if (b[s] != 0) f(s, b[s]);
        return;
    }
    const int cap = Capacite[static_cast<std::size_t>(classe)];
    const int n = static_cast<int>(b[0]);
    const auto* positions = reinterpret_cast<const std::uint8_t*>(b + 1 + cap);
    for (int e = 0; e < n; ++e) f(static_cast<int>(positions[e]), b[1 + e]);
}

} // namespace tessarc
