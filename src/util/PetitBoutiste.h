#pragma once
// Little-endian reads and writes of integers and IEEE reals, whatever the machine: every binary file
// of the program stores its numbers this way. Big-endian reads too, for the scans that store theirs so.

#include <bit>
#include <cstdint>

namespace tessarc {

inline void EcrireLE16(unsigned char* d, std::uint16_t v) {
    d[0] = static_cast<unsigned char>(v);
    d[1] = static_cast<unsigned char>(v >> 8);
}

inline std::uint16_t LireLE16(const unsigned char* s) {
    return static_cast<std::uint16_t>(s[0] | (s[1] << 8));
}

inline void EcrireLE32(unsigned char* d, std::uint32_t v) {
    d[0] = static_cast<unsigned char>(v);
    d[1] = static_cast<unsigned char>(v >> 8);
    d[2] = static_cast<unsigned char>(v >> 16);
    d[3] = static_cast<unsigned char>(v >> 24);
}

inline std::uint32_t LireLE32(const unsigned char* s) {
    return std::uint32_t{s[0]} | (std::uint32_t{s[1]} << 8) | (std::uint32_t{s[2]} << 16) |
           (std::uint32_t{s[3]} << 24);
}

inline void EcrireLE64(unsigned char* d, std::int64_t v) {
    const auto u = static_cast<std::uint64_t>(v);
    EcrireLE32(d, static_cast<std::uint32_t>(u));
    EcrireLE32(d + 4, static_cast<std::uint32_t>(u >> 32));
}

inline std::int64_t LireLE64(const unsigned char* s) {
    return static_cast<std::int64_t>(std::uint64_t{LireLE32(s)} | (std::uint64_t{LireLE32(s + 4)} << 32));
}

inline void EcrireReelLE(unsigned char* d, float v) {
    EcrireLE32(d, std::bit_cast<std::uint32_t>(v));
}

inline float LireReelLE(const unsigned char* s) {
    return std::bit_cast<float>(LireLE32(s));
}

inline void EcrireDoubleLE(unsigned char* d, double v) {
    EcrireLE64(d, std::bit_cast<std::int64_t>(v));
}

inline double LireDoubleLE(const unsigned char* s) {
    return std::bit_cast<double>(LireLE64(s));
}

inline std::uint16_t LireBE16(const unsigned char* s) {
    return static_cast<std::uint16_t>((s[0] << 8) | s[1]);
}

inline std::uint32_t LireBE32(const unsigned char* s) {
    return (std::uint32_t{s[0]} << 24) | (std::uint32_t{s[1]} << 16) | (std::uint32_t{s[2]} << 8) | std::uint32_t{s[3]};
}

inline std::uint64_t LireBE64(const unsigned char* s) {
    return (std::uint64_t{LireBE32(s)} << 32) | LireBE32(s + 4);
}

} // namespace tessarc
