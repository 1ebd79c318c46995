#pragma once
// Loading point records into the cube tree: the common step ConstruireArbre, the text reader with its
// temporary file, and ".xyb" files.

#include "Fichier.h"
#include "Progression.h"
#include "UTessarcGlb.h"

#include <cstdint>
#include <filesystem>

namespace tessarc {

// Sizes the root grid from DimRacines; an extent beyond the store's limit (or beyond what the grid
// can index at all) refuses the file nom, named in the message.
void DimensionnerGrille(TNuage& nuage, std::int64_t nbPts, const std::filesystem::path& nom);

// Inserts nbPts 16-byte records read from the current position of fichier into the tree, whose grid is
// sized; progress "construction : N%" every 1 % of the points. A record with a non-finite coordinate or
// outside the root grid refuses the file: it is damaged, and the tree would drop the point anyway.
void ConstruireArbre(TFichier& fichier, std::int64_t nbPts, TNuage& nuage, IProgression& progression);

// The text file nom: its records go to nom + ".tmp" beside it (removed afterwards, whatever happens),
// then the bounding box sizes the root grid and the tree is built. An empty file is refused.
TCadrage LireFichierXYZ(const std::filesystem::path& nom, TNuage& nuage, std::int64_t& NbPts,
                        IProgression& progression);

// A ".xyb" file: a headerless stream of 16-byte records, read twice (the bounding box, then the tree).
// A size that is not a multiple of 16, or no record at all, is refused.
TCadrage LireFichierXYB(const std::filesystem::path& nom, TNuage& nuage, std::int64_t& NbPts,
                        IProgression& progression);

} // namespace tessarc
