#pragma once
// "Définir axe X": the companion point file of the scan (20-byte little-endian records X, Y, Z as
// floats and 8 attribute bytes) is turned about Z so that the picked direction O -> A becomes +X, then
// shifted so that its lowest corner is (0, 0, 0).

#include "Progression.h"
#include "UtilsVect.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tessarc {

inline constexpr std::size_t TailleEnregistrementCompagnon = 20;

struct TResultatAxeX {
    bool Applique = false;  // the companion file now holds the transformed points
    bool Abandonne = false; // stopped by the user ("abandon")
    std::int64_t N = 0;     // records in the companion file; 0 when it could not be read
    TV3S CooMax{};          // new bounding box of the file when applied; its minimum is (0, 0, 0)
    std::string Message;    // why nothing was applied; empty when applied
};

// Rotation pass then translation pass, with progress "rotation N%" and "translation N%" in status panel
// 1 every N div 20 records. The result goes to a new file beside the companion, which replaces the
// companion only once both passes succeeded: an error or an abandon leaves the
// companion as it was. Two points at the same X and Y define no axis and touch nothing.
TResultatAxeX AppliquerAxeX(const TV3S& O, const TV3S& A, const std::filesystem::path& compagnon,
                            IProgression& progression);

} // namespace tessarc
