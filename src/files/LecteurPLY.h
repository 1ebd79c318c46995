#pragma once
// The PLY reader, version 1.0 in ascii, binary little-endian and binary big-endian: the x, y, z of the
// "vertex" element, of any scalar type, with its red, green, blue when it has them; every other
// property and element, lists included, is passed over.

#include "Fichier.h"
#include "Progression.h"
#include "SortiePoints.h"

namespace tessarc {

// Colours: 8-bit values as they are, 16-bit ones >> 8, reals in 0..1 as floor(v × 255 + 0.5); without
// colour a vertex is black.
void LirePLY(TFichier& source, TSortiePoints& sortie, IProgression& progression);

} // namespace tessarc
