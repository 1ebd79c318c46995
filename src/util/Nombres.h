#pragma once
// Number syntax of every file, edit box and text of the program, independent of the user's locale:
// "." is the decimal separator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessarc {

// An optional sign, digits with an optional "." and fraction ("1.", ".5", "1.5"), an optional exponent
// ("e" or "E", optional sign, digits). Nothing else reads: no "nan", "inf", hexadecimal, blanks,
// thousands separators or decimal comma; nor a value beyond the double range.
[[nodiscard]] std::optional<double> LireReel(std::string_view texte);

// An optional sign and decimal digits within the 32-bit range ("255.0" does not read).
[[nodiscard]] std::optional<std::int32_t> LireEntier(std::string_view texte);

// Removes characters of code 32 or less at both ends.
[[nodiscard]] std::string_view Rogner(std::string_view texte);

// The word up to the first space is cut off the front of source (the whole source when it has no
// space); then the rest loses its leading characters of code 32 or less. Views, so that the scan reader
// cuts fields without copying.
[[nodiscard]] std::string_view ExtraireMotVue(std::string_view& source);
// The next word, trimmed, read as a real (LireReel) or an integer (LireEntier); 0 when it does not read.
[[nodiscard]] double ExtraireReelVue(std::string_view& source);
[[nodiscard]] std::int32_t ExtraireEntierVue(std::string_view& source);

// printf-style formatting with "." as decimal separator whatever the C locale of the process.
[[nodiscard]] std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tessarc
