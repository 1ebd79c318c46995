#pragma once
// The E57 reader (laser scanners' exchange format): every scan of data3D, in the file's order, its
// points turned by its pose into one cloud; the bit-pack codec of the binary sections, cartesian or
// spherical coordinates, invalid records skipped, colour or else intensity as grey.

#include "Fichier.h"
#include "Progression.h"
#include "SortiePoints.h"

namespace tessarc {

// The reader of the table of formats: progress "lecture : N%" over the records of all the scans.
void LireE57(TFichier& source, TSortiePoints& sortie, IProgression& progression);

} // namespace tessarc
