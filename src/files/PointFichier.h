#pragma once
// The 16-byte point record of the body of project files and of ".xyb" files: X, Y, Z as IEEE singles,
// then red, green, blue and the fourth colour byte, little-endian whatever the machine.

#include "PetitBoutiste.h"
#include "SourcePoints.h"
#include "UtilsVect.h"

#include <cstddef>
#include <cstdint>

namespace tessarc {

inline constexpr std::size_t TaillePointFichier = 16;

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
