#pragma once
// Reading the meshing edit boxes: blanks trimmed, "." as decimal separator.

#include <optional>
#include <string_view>

namespace tessarc {

// The text read as a real and held in a 32-bit float; nothing when it does not read or when the value
// does not fit a finite single (an edit box never turns a coordinate into an infinity).
[[nodiscard]] std::optional<float> LireSingle(std::string_view texte);

} // namespace tessarc
