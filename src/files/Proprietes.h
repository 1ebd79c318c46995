#pragma once
// The text of the properties report of the loaded scan.

#include "UTessarcGlb.h"

#include <array>
#include <cstdint>
#include <string>

namespace tessarc {

// Captions of the display levels, as the level list shows them.
inline constexpr std::array<const char*, NbNiveaux> LibellesNiveaux{"0 : 1 m", "1 : 20 cm", "2 : 4 cm",
                                                                    "3 : 8 mm", "4 : 1.6 mm"};

// Lines end with CR LF, the last one without. The dimensions are true coordinates; a last line gives
// the shift when there is one.
[[nodiscard]] std::string TexteProprietes(const TNuage& nuage, std::int64_t NbPts, const TV3R& decalage = {});

} // namespace tessarc
