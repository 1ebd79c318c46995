#include "ZoneMemoire.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

namespace tessarc {

void ConseillerGrandesPages(const void* premier, const void* fin) {
    constexpr std::uintptr_t GrandePage = std::uintptr_t{2} << 20;
    const auto a = reinterpret_cast<std::uintptr_t>(premier);
    const auto b = reinterpret_cast<std::uintptr_t>(fin);
    if (b - a < GrandePage) return;
    const std::uintptr_t page = TZoneOctets::Page();
    const std::uintptr_t debut = (a + page - 1) / page * page;
    const std::uintptr_t bout = b / page * page;
    // Advice only: a system without such pages ignores it.
    if (debut < bout) madvise(reinterpret_cast<void*>(debut), bout - debut, MADV_HUGEPAGE);
}

TZoneOctets::TZoneOctets(std::size_t octets) : octets_(octets) {
    if (octets == 0) return;
    void* p = mmap(nullptr, octets, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    p_ = p;
    ConseillerGrandesPages(p, static_cast<const char*>(p) + octets);
}

TZoneOctets::~TZoneOctets() {
    if (p_ != nullptr) munmap(p_, octets_);
}

TZoneOctets::TZoneOctets(TZoneOctets&& autre) noexcept
    : p_(std::exchange(autre.p_, nullptr)), octets_(std::exchange(autre.octets_, 0)) {}

TZoneOctets& TZoneOctets::operator=(TZoneOctets&& autre) noexcept {
    if (this != &autre) {
        if (p_ != nullptr) munmap(p_, octets_);
        p_ = std::exchange(autre.p_, nullptr);
        octets_ = std::exchange(autre.octets_, 0);
    }
    return *this;
}

void TZoneOctets::Preparer(std::size_t debut, std::size_t fin) const {
    const std::size_t page = Page();
    const std::size_t a = debut / page * page;
    const std::size_t b = std::min(octets_, (fin + page - 1) / page * page);
    if (p_ != nullptr && a < b) madvise(static_cast<char*>(p_) + a, b - a, MADV_POPULATE_WRITE);
}

std::size_t TZoneOctets::Page() {
    static const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return page;
}

void TZoneOctets::Liberer(std::size_t debut, std::size_t fin) const {
    const std::size_t page = Page();
    const std::size_t a = (debut + page - 1) / page * page;
    const std::size_t b = fin / page * page;
    if (p_ != nullptr && a < b) madvise(static_cast<char*>(p_) + a, b - a, MADV_DONTNEED);
}

} // namespace tessarc
