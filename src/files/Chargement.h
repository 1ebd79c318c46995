#pragma once
// Loading a scan into the cube tree. Every reader of the table of formats fills a TSortiePoints; the
// shared tail then takes the coordinate shift from the box, sizes the root grid and builds the tree.

#include "Fichier.h"
#include "Progression.h"
#include "SortiePoints.h"
#include "SourcePoints.h"
#include "UTessarcGlb.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessarc {

// A scan reader: every point of source into sortie, progress "lecture : N%", each fault refused with
// the file's name.
using TLecteurPoints = void (*)(TFichier& source, TSortiePoints& sortie, IProgression& progression);

// What a load gives besides the tree.
struct TChargement {
    TCadrage Cadrage;
    std::int64_t NbPts = 0;
    TV3R Decalage{};                    // true coordinate = stored + Decalage
    std::vector<std::string> Remarques; // notes of the reader for the user
};

// Empties the root table for the extent DimRacines; an extent the root cells cannot number, or none
// at all for a file announcing points, refuses the file nom, named in the message.
void DimensionnerGrille(TNuage& nuage, std::int64_t nbPts, const std::filesystem::path& nom);

// Builds the tree of every point of source, on two cores; progress "construction : N%" about every
// 1 % of the work, on the calling thread. A tree too large for the memory of the machine refuses the
// file nom before its cubes are made.
void ConstruireArbre(ISourcePoints& source, TNuage& nuage, IProgression& progression,
                     const std::filesystem::path& nom);

// Reads nom with lecteur into an unnamed temporary file beside it (or in the user's temporary folder),
// then shift, bounding box, extent, grid and tree. A file without any point is refused.
TChargement ChargerScan(const std::filesystem::path& nom, TLecteurPoints lecteur, TNuage& nuage,
                        IProgression& progression);

// Progress of a reader every 1 % of a total, never above 100 %.
class TAvancement {
public:
    TAvancement(IProgression& progression, const char* titre, std::int64_t total);
    void Avancer(std::int64_t fait) {
        if (fait >= prochain_) Afficher(fait);
    }

private:
    void Afficher(std::int64_t fait);

    IProgression& progression_;
    const char* titre_;
    std::int64_t pas_;
    std::int64_t prochain_;
};

// ".xyb": a headerless stream of 16-byte records; a size that is not a multiple of 16 is refused.
void LireXYB(TFichier& source, TSortiePoints& sortie, IProgression& progression);

} // namespace tessarc
