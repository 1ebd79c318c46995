#pragma once
// A large array mapped straight from the system, zero-filled, whose pages can be given back as soon as
// a part of it is no longer needed: the sorting buffers of a build shrink while the tree grows.

#include <algorithm>
#include <cstddef>
#include <span>

namespace tessarc {

// Asks for the whole pages of a large array [premier, fin) to be faulted in 2 MB at a time: the system
// then takes a few hundred times fewer faults.
void ConseillerGrandesPages(const void* premier, const void* fin);

class TZoneOctets {
public:
    TZoneOctets() = default;
    explicit TZoneOctets(std::size_t octets);
    ~TZoneOctets();
    TZoneOctets(TZoneOctets&& autre) noexcept;
    TZoneOctets& operator=(TZoneOctets&& autre) noexcept;

    [[nodiscard]] void* Donnees() const { return p_; }
    [[nodiscard]] std::size_t Octets() const { return octets_; }
    // The whole pages inside bytes [debut, fin) go back to the system and read as zeros afterwards.
    void Liberer(std::size_t debut, std::size_t fin) const;
    [[nodiscard]] static std::size_t Page();
    // Faults in the pages of bytes [debut, fin) at once, before they are written.
    void Preparer(std::size_t debut, std::size_t fin) const;

private:
    void* p_ = nullptr;
    std::size_t octets_ = 0;
};

// n values of a trivially copyable type T, zero-filled.
template <typename T> class TZone {
public:
    TZone() = default;
    explicit TZone(std::size_t n) : octets_(n * sizeof(T)), n_(n) {}

    [[nodiscard]] T* data() const { return static_cast<T*>(octets_.Donnees()); }
    [[nodiscard]] std::size_t size() const { return n_; }
    [[nodiscard]] T& operator[](std::size_t i) const { return data()[i]; }
    [[nodiscard]] std::span<T> Tranche(std::size_t debut, std::size_t fin) const {
        return {data() + debut, fin - debut};
    }
    // Gives back the whole pages of values [debut, fin).
    void Liberer(std::size_t debut, std::size_t fin) const { octets_.Liberer(debut * sizeof(T), fin * sizeof(T)); }
    // Faults in the pages of values [debut, fin) at once, before they are written.
    void Preparer(std::size_t debut, std::size_t fin) const { octets_.Preparer(debut * sizeof(T), fin * sizeof(T)); }
    // Gives back every page before value fin not given back yet by this call (one thread only).
    void LibererJusqua(std::size_t fin) {
        octets_.Liberer(rendus_, fin * sizeof(T));
        rendus_ = std::max(rendus_, fin * sizeof(T) / TZoneOctets::Page() * TZoneOctets::Page());
    }

private:
    TZoneOctets octets_;
    std::size_t n_ = 0;
    std::size_t rendus_ = 0; // bytes
};

} // namespace tessarc
