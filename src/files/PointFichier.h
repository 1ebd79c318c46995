#pragma once
// The 16-byte point record of the temporary file, of the body of project files and of ".xyb" files:
// X, Y, Z as IEEE singles, then red, green, blue and the fourth colour byte, little-endian whatever
// the machine.

#include "UtilsVect.h"

#include <bit>
#include <cstddef>
#include <cstdint>

namespace tessarc {

struct TPointFichier {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    TV4By Couleur{};
};

inline constexpr std::size_t TaillePointFichier = 16;

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

inline void EcrireV3S(unsigned char* d, const TV3S& v) {
    for (int i = 1; i <= 3; ++i) EcrireReelLE(d + 4 * (i - 1), v[i]);
}

inline TV3S LireV3S(const unsigned char* s) {
    return FaireV3S(LireReelLE(s), LireReelLE(s + 4), LireReelLE(s + 8));
}

inline void EncoderPoint(unsigned char* d, const TPointFichier& p) {
    EcrireReelLE(d, p.X);
    EcrireReelLE(d + 4, p.Y);
    EcrireReelLE(d + 8, p.Z);
    for (int k = 1; k <= 4; ++k) d[11 + k] = p.Couleur[k];
}

inline TPointFichier DecoderPoint(const unsigned char* s) {
    TPointFichier p;
    p.X = LireReelLE(s);
    p.Y = LireReelLE(s + 4);
    p.Z = LireReelLE(s + 8);
    for (int k = 1; k <= 4; ++k) p.Couleur[k] = s[11 + k];
    return p;
}

} // namespace tessarc
