#pragma once
// The project file (".tsrk"): one level of the cube tree as point records, with the boundary, the capture
// grid and the bounding box. Little-endian, no gaps:
//   0  version (int64: 1, or 2 with a shift; 0 to 2 read)  8  number of boundary points F (int64)
//   16 grid origin (3 singles)                      28 grid spacing (single)
//   32 stored level L (int64)                       40 number of point records N (int64)
//   48 bounding box minimum (3 singles)             60 bounding box maximum (3 singles)
//   72 displayed level (int64, versions 1 and 2)    80 coordinate shift (3 doubles, version 2 only)
//   H  F boundary points (3 singles each), then N records of 16 bytes; H is 104 in version 2, 80 in
//      version 1, 72 in version 0. Nothing follows the last record.

#include "Maillage.h"
#include "Progression.h"
#include "UTessarcGlb.h"

#include <cstdint>
#include <filesystem>

namespace tessarc {

inline constexpr std::int64_t VersionProjet = 1;
inline constexpr std::int64_t VersionProjetDecale = 2;
inline constexpr std::int64_t TailleEnteteV0 = 72;
inline constexpr std::int64_t TailleEnteteV1 = 80;
inline constexpr std::int64_t TailleEnteteV2 = 104;
// Level shown after loading a version-0 file, which does not store it.
inline constexpr int NivAfficheProjetV0 = 2;

struct TLectureProjet {
    int NivAffiche = NivAfficheProjetV0;
    TCadrage Cadrage;
    TV3R Decalage{}; // true coordinate = stored + Decalage
};

// Reads nom into the emptied document: the boundary and grid settings, NivMax := L, NbPts := N, the
// bounding box, then the tree. Every count and level is checked against the file before use.
TLectureProjet LireFichierProjet(const std::filesystem::path& nom, TNuage& nuage, TMaillage& maillage,
                                 std::int64_t& NbPts, IProgression& progression);

// Writes the cubes of level niveau in list order (newest first), replacing nom atomically: version 1, or
// version 2 when a shift is given. progression, when given, hears "enregistrement : N%" and may stop the
// save (nom is then untouched).
void EcrireFichierProjet(const std::filesystem::path& nom, const TNuage& nuage, const TMaillage& maillage,
                         int niveau, int nivAffiche, const TV3R& decalage, IProgression* progression);

} // namespace tessarc
