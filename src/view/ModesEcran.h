#pragma once
// Display modes of the screen through the X Resize and Rotate extension, kept apart so that the X
// headers and their macros stay out of the rest of the view.

#include <cstdint>
#include <vector>

namespace tessarc {

struct TResolution {
    std::int32_t m_BitsParPixels = 0;
    std::int32_t m_Largeur = 0;
    std::int32_t m_Hauteur = 0;
    std::int32_t m_Frequence = 0; // hertz
    friend bool operator==(const TResolution&, const TResolution&) = default;
};

// Results of a mode change, with the values the panel's messages are keyed on.
enum class EResultatMode : int {
    Reussi = 0,
    Redemarrer = 1,
    Echec = -1,
    ModeInvalide = -2,
    ParametresInvalides = -4,
};

namespace ecran {

// Every size and rate of the screen, in the extension's order; empty without X11.
[[nodiscard]] std::vector<TResolution> ListerModes();
// Switches the screen to the size and rate of the mode.
[[nodiscard]] EResultatMode ChangerMode(const TResolution& mode);
// Back to the mode the screen had when the modes were first listed.
void RetablirMode();

} // namespace ecran

} // namespace tessarc
