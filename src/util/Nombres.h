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

namespace detail {
inline constexpr double Puissances10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline bool Chiffre(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}
} // namespace detail

// The plain reals of LireReel's syntax, read in one pass: at most 19 digits, whose mantissa is within
// 2^53 and whose power of ten is within 10^22, so that one correctly rounded operation gives exactly
// the value LireReel gives. The real starts at p and ends right before a character of code 32 or less
// (a space only when EspaceSeul), or at fin; then p moves after it. Anything else returns false and
// leaves p where it was.
template <bool EspaceSeul = false>
[[nodiscard, gnu::always_inline]] inline bool LireReelRapide(const char*& p, const char* fin, double& v) {
    const char* q = p;
    const bool negatif = q < fin && *q == '-';
    if (q < fin && (*q == '-' || *q == '+')) ++q;
    std::uint64_t w = 0;
    int chiffres = 0;
    int exposant = 0;
    for (; q < fin && detail::Chiffre(*q); ++q, ++chiffres) w = w * 10 + static_cast<unsigned>(*q - '0');
    if (q < fin && *q == '.')
        for (++q; q < fin && detail::Chiffre(*q); ++q, ++chiffres, --exposant) w = w * 10 + static_cast<unsigned>(*q - '0');
    if (chiffres == 0 || chiffres > 19) return false;
    if (q < fin && (*q == 'e' || *q == 'E')) {
        ++q;
        const bool exposantNegatif = q < fin && *q == '-';
        if (q < fin && (*q == '-' || *q == '+')) ++q;
        int e = 0;
        int n = 0;
        for (; q < fin && detail::Chiffre(*q) && n < 4; ++q, ++n) e = e * 10 + (*q - '0');
        if (n == 0 || (q < fin && detail::Chiffre(*q))) return false;
        exposant += exposantNegatif ? -e : e;
    }
    const bool finDeMot = q == fin || (EspaceSeul ? *q == ' ' : static_cast<unsigned char>(*q) <= 32);
    if (!finDeMot || w > (std::uint64_t{1} << 53) || exposant < -22 || exposant > 22) return false;
    const double r = exposant < 0 ? static_cast<double>(w) / detail::Puissances10[-exposant]
                                  : static_cast<double>(w) * detail::Puissances10[exposant];
    v = negatif ? -r : r;
    p = q;
    return true;
}

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
