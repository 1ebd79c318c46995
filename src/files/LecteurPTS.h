#pragma once
// The PTS reader: a first line giving the number of points, then one point a line, "x y z", "x y z i",
// "x y z r g b" or "x y z i r g b". Intensities run from -2048 to 2047; the colour wins over them.

#include "Fichier.h"
#include "Progression.h"
#include "SortiePoints.h"

namespace tessarc {

// Clouds written one after another, each after its own count, are read as one.
void LirePTS(TFichier& source, TSortiePoints& sortie, IProgression& progression);

} // namespace tessarc
