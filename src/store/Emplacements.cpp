#include "Emplacements.h"

#include <cstring>
#include <new>

namespace tessarc {

std::size_t TEmplacements::MotsBloc(int classe) {
    if (classe == Suite) return OctetsSuite / sizeof(std::uint32_t);
    const auto cap = static_cast<std::size_t>(Capacite[static_cast<std::size_t>(classe)]);
    return classe == Dense ? cap : 1 + cap + (cap + 3) / 4;
}

std::uint32_t* TEmplacements::Bloc(std::uint32_t h) const {
    const int classe = ClasseDe(h);
    const std::uint32_t n = (h & ((1u << BitsClasse) - 1)) - 1;
    const auto& c = classes_[static_cast<std::size_t>(classe)];
    return c.chunks[n / BlocsParChunk].get() + (n % BlocsParChunk) * MotsBloc(classe);
}

void TEmplacements::AssurerChunks(Classe& c, int classe, std::uint32_t jusqua) {
    if (jusqua >= (1u << BitsClasse) - 1) throw std::bad_alloc(); // the handle space is exhausted
    while (c.chunks.size() * BlocsParChunk < jusqua)
        c.chunks.push_back(std::make_unique_for_overwrite<std::uint32_t[]>(BlocsParChunk * MotsBloc(classe)));
}

std::uint32_t TEmplacements::Nouveau(int classe) {
    auto& c = classes_[static_cast<std::size_t>(classe)];
    std::uint32_t n;
    if (!c.libres.empty()) {
        n = c.libres.back();
        c.libres.pop_back();
    } else {
        AssurerChunks(c, classe, c.suivant + 1);
        n = c.suivant++;
    }
    const std::uint32_t h = (static_cast<std::uint32_t>(classe) << BitsClasse) | (n + 1);
    std::memset(Bloc(h), 0, MotsBloc(classe) * sizeof(std::uint32_t));
    return h;
}

std::uint32_t TEmplacements::ReserverSuites(std::uint32_t n) {
    auto& c = classes_[Suite];
    AssurerChunks(c, Suite, c.suivant + n);
    const std::uint32_t h = (static_cast<std::uint32_t>(Suite) << BitsClasse) | (c.suivant + 1);
    c.suivant += n;
    return h;
}

void TEmplacements::PoserSuite(std::uint32_t h, IndexCube premier, const std::array<std::uint32_t, 4>& masque) {
    std::uint32_t* b = Bloc(h);
    b[0] = premier;
    std::memcpy(b + 1, masque.data(), sizeof masque);
}

void TEmplacements::Liberer(std::uint32_t h) {
    if (h == 0) return;
    classes_[static_cast<std::size_t>(ClasseDe(h))].libres.push_back((h & ((1u << BitsClasse) - 1)) - 1);
}

IndexCube TEmplacements::Lire(std::uint32_t h, int slot) const {
    if (h == 0) return 0;
    const int classe = ClasseDe(h);
    const std::uint32_t* b = Bloc(h);
    if (classe == Suite) {
        const int w = slot / 32;
        const std::uint32_t bit = 1u << (slot % 32);
        if ((b[1 + w] & bit) == 0) return 0;
        auto rang = static_cast<int>(Bits(b[1 + w] & (bit - 1)));
        for (int k = 0; k < w; ++k) rang += static_cast<int>(Bits(b[1 + k]));
        return b[0] + static_cast<IndexCube>(rang);
    }
    if (classe == Dense) return b[slot];
    const int cap = Capacite[static_cast<std::size_t>(classe)];
    const auto* positions = reinterpret_cast<const std::uint8_t*>(b + 1 + cap);
    const int n = static_cast<int>(b[0]);
    for (int e = 0; e < n; ++e) {
        if (positions[e] == slot) return b[1 + e];
        if (positions[e] > slot) break;
    }
    return 0;
}

std::uint32_t TEmplacements::Poser(std::uint32_t h, int slot, IndexCube enfant) {
    const int classe = ClasseDe(h);
    std::uint32_t* b = Bloc(h);
    if (classe == Dense) {
        b[slot] = enfant;
        return h;
    }
    const int cap = Capacite[static_cast<std::size_t>(classe)];
    auto* positions = reinterpret_cast<std::uint8_t*>(b + 1 + cap);
    const int n = static_cast<int>(b[0]);
    int pos = 0;
    while (pos < n && positions[pos] < slot) ++pos;
    if (pos < n && positions[pos] == slot) {
        b[1 + pos] = enfant;
        return h;
    }
    if (n == cap) {
        // Full: move to the next class (slot order is kept by Parcourir and re-insertion).
        const std::uint32_t nh = Nouveau(classe + 1);
        std::uint32_t hh = nh;
        Parcourir(h, [&](int s, IndexCube i) { hh = Poser(hh, s, i); });
        hh = Poser(hh, slot, enfant);
        Liberer(h);
        return hh;
    }
    for (int e = n; e > pos; --e) {
        b[1 + e] = b[e];
        positions[e] = positions[e - 1];
    }
    b[1 + pos] = enfant;
    positions[pos] = static_cast<std::uint8_t>(slot);
    b[0] = static_cast<std::uint32_t>(n + 1);
    return h;
}

void TEmplacements::Effacer(std::uint32_t h, int slot) {
    const int classe = ClasseDe(h);
    if (h == 0 || classe == Suite) return;
    std::uint32_t* b = Bloc(h);
    if (classe == Dense) {
        b[slot] = 0;
        return;
    }
    const int cap = Capacite[static_cast<std::size_t>(classe)];
    auto* positions = reinterpret_cast<std::uint8_t*>(b + 1 + cap);
    const int n = static_cast<int>(b[0]);
    for (int e = 0; e < n; ++e) {
        if (positions[e] != slot) continue;
        for (int f = e; f + 1 < n; ++f) {
            b[1 + f] = b[2 + f];
            positions[f] = positions[f + 1];
        }
        b[0] = static_cast<std::uint32_t>(n - 1);
        return;
    }
}

void TEmplacements::Vider() {
    for (auto& c : classes_) c = Classe{};
}

std::size_t TEmplacements::Octets() const {
    std::size_t total = 0;
    for (int k = 0; k < NbClasses; ++k)
        total += classes_[static_cast<std::size_t>(k)].chunks.size() * BlocsParChunk * MotsBloc(k) * 4;
    return total;
}

} // namespace tessarc
