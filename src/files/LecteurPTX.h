#pragma once
// The PTX reader: scans one after another, each a header (columns, rows, the scanner's position and
// three axes, a 4 × 4 matrix of row vectors) and columns × rows lines "x y z i [r g b]".

#include "Fichier.h"
#include "Progression.h"
#include "SortiePoints.h"

namespace tessarc {

// Each point becomes [x y z 1] · M in double; the lines 0 0 0 are points the scanner missed and are
// passed over. Intensities run from 0 to 1; the colour wins over them.
void LirePTX(TFichier& source, TSortiePoints& sortie, IProgression& progression);

} // namespace tessarc
