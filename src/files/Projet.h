#pragma once
// The project file (".tsrk"): one level of the cube tree as point records, with the boundary, the capture
// grid and the bounding box. Little-endian, no gaps:
//   0  version (int64: 1 written, 0 and 1 read)     8  number of boundary points F (int64)
//   16 grid origin (3 singles)                      28 grid spacing (single)
//   32 stored level L (int64)                       40 number of point records N (int64)
//   48 bounding box minimum (3 singles)             60 bounding box maximum (3 singles)
//   72 displayed level (int64, version 1 only)
//   H  F boundary points (3 singles each), then N records of 16 bytes; H is 80, or 72 in version 0.

#include "Maillage.h"
#include "Progression.h"
#include "UTessarcGlb.h"

#include <cstdint>
#include <filesystem>

namespace tessarc {

inline constexpr std::int64_t VersionProjet = 1;
inline constexpr std::int64_t TailleEnteteV0 = 72;
inline constexpr std::int64_t TailleEnteteV1 = 80;
// Level shown after loading a version-0 file, which does not store it.
inline constexpr int NivAfficheProjetV0 = 2;

struct TLectureProjet {
    int NivAffiche = NivAfficheProjetV0;
    TCadrage Cadrage;
};

// Reads nom into the emptied document: the boundary and grid settings, NivMax := L, NbPts := N, the
// bounding box, then the tree. Every count and level is checked against the file before use.
TLectureProjet LireFichierProjet(const std::filesystem::path& nom, TNuage& nuage, TMaillage& maillage,
                                 std::int64_t& NbPts, IProgression& progression);

// Writes version 1 with the cubes of level niveau in list order (newest first), replacing nom atomically.
// progression, when given, hears "enregistrement : N%" and may stop the save (nom is then untouched).
void EcrireFichierProjet(const std::filesystem::path& nom, const TNuage& nuage, const TMaillage& maillage,
                         int niveau, int nivAffiche, IProgression* progression);

} // namespace tessarc
