#pragma once
// Reading the meshing edit boxes: blanks trimmed, "." as decimal separator.

#include <optional>
#include <string>
#include <string_view>

namespace tessarc {

// The text read as a real and held in a 32-bit float; nothing when it does not read or when the value
// does not fit a finite single (an edit box never turns a coordinate into an infinity).
[[nodiscard]] std::optional<float> LireSingle(std::string_view texte);

// Boxes show and take true coordinates; a far scan stores them minus its shift. A typed coordinate is
// stored as single(v - decalage), the difference in double; nothing when it does not read or fit.
[[nodiscard]] std::optional<float> LireCoordonnee(std::string_view texte, double decalage);
// The box text of a coordinate of the stored frame: stored + decalage, "%.2f".
[[nodiscard]] std::string TexteCoordonnee(double stocke, double decalage);

} // namespace tessarc
