#pragma once
// The LAS reader, versions 1.0 to 1.4 and point formats 0 to 10, and the refusal of LAZ files.

#include "Fichier.h"
#include "Progression.h"
#include "SortiePoints.h"

namespace tessarc {

inline constexpr const char* TexteLAZ = "fichier LAZ compressé : décompressez-le en LAS (par exemple avec laszip), "
                                        "puis ouvrez le fichier .las";

// Coordinate = integer × scale + offset, in double. The colour of formats 2, 3, 5, 7, 8 and 10 (or, in
// the others, the intensity as grey) is value >> 8, unless no value of the whole file exceeds 255: some
// writers put 8-bit colours in the 16-bit fields. A first pass over the records decides.
void LireLAS(TFichier& source, TSortiePoints& sortie, IProgression& progression);

// ".laz": refused, no library of the system reads it.
[[noreturn]] void LireLAZ(TFichier& source, TSortiePoints& sortie, IProgression& progression);

} // namespace tessarc
