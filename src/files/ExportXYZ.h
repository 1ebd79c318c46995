#pragma once
// The XYZ export: one line per cube of a level, in list order (newest first), made with
// "%.8f %.8f %.8f  %3.3d %3.3d %3.3d" and ended by CR LF, with "." whatever the locale.

#include "Progression.h"
#include "UTessarcGlb.h"

#include <cstddef>
#include <filesystem>

namespace tessarc {

// Longest line FormaterLigneExport can write.
inline constexpr std::size_t LongueurMaxLigneExport = 200;

// Writes the line of one cube at dest and returns its length, CR LF included: true coordinates, the
// stored single widened to double plus the shift.
std::size_t FormaterLigneExport(char* dest, const TV3S& coo, const TV4By& couleur, const TV3R& decalage = {});

// "%.8f" of a double, exactly as printf writes it in the C locale.
char* FormaterFixe8(char* dest, double v);

// Replaces nom atomically; progression, when given, hears "enregistrement : N%" and may stop the save.
void EcrireExportXYZ(const std::filesystem::path& nom, const TNuage& nuage, int niveau, const TV3R& decalage,
                     IProgression* progression);

} // namespace tessarc
