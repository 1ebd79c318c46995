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

// printf-style formatting with "." as decimal separator whatever the C locale of the process.
[[nodiscard]] std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tessarc
