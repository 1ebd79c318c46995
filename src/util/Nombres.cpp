#include "Nombres.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <system_error>

namespace tessarc {

std::optional<double> LireReel(std::string_view t) {
    const char* q = t.data();
    if (double r = 0.0; LireReelRapide(q, t.data() + t.size(), r) && q == t.data() + t.size()) return r;
    std::size_t i = 0;
    const std::size_t n = t.size();
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    const std::size_t debutNombre = i;
    std::size_t chiffres = 0;
    while (i < n && detail::Chiffre(t[i])) ++i, ++chiffres;
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && detail::Chiffre(t[i])) ++i, ++chiffres;
    }
    if (chiffres == 0) return std::nullopt;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t exposant = 0;
        while (i < n && detail::Chiffre(t[i])) ++i, ++exposant;
        if (exposant == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    // from_chars takes no leading "+"; the sign is applied here.
    double v = 0.0;
    const char* debut = t.data() + debutNombre;
    const auto [fin, erreur] = std::from_chars(debut, t.data() + n, v, std::chars_format::general);
    if (erreur == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow does not read.
        bool nonNul = false;
        for (const char* p = debut; p < fin && *p != 'e' && *p != 'E'; ++p)
            if (*p >= '1' && *p <= '9') nonNul = true;
        const auto e = t.find_first_of("eE", debutNombre);
        const bool exposantNegatif = e != std::string_view::npos && e + 1 < n && t[e + 1] == '-';
        if (nonNul && !exposantNegatif) return std::nullopt;
        v = 0.0;
    } else if (erreur != std::errc() || fin != t.data() + n) {
        return std::nullopt;
    }
    return (debutNombre > 0 && t[0] == '-') ? -v : v;
}

std::optional<std::int32_t> LireEntier(std::string_view t) {
    std::size_t i = 0;
    const bool negatif = !t.empty() && t[0] == '-';
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) i = 1;
    if (i == t.size()) return std::nullopt;
    std::int64_t v = 0;
    for (; i < t.size(); ++i) {
        if (!detail::Chiffre(t[i])) return std::nullopt;
        v = v * 10 + (t[i] - '0');
        if (v > 2147483648LL) return std::nullopt;
    }
    if (negatif) v = -v;
    if (v > 2147483647LL || v < -2147483648LL) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::string_view Rogner(std::string_view t) {
    std::size_t d = 0, f = t.size();
    while (d < f && static_cast<unsigned char>(t[d]) <= 32) ++d;
    while (f > d && static_cast<unsigned char>(t[f - 1]) <= 32) --f;
    return t.substr(d, f - d);
}

std::string_view ExtraireMotVue(std::string_view& source) {
    const auto espace = source.find(' ');
    if (espace == std::string_view::npos) {
        const std::string_view mot = source;
        source = {};
        return mot;
    }
    const std::string_view mot = source.substr(0, espace);
    std::size_t i = espace + 1;
    while (i < source.size() && static_cast<unsigned char>(source[i]) <= 32) ++i;
    source.remove_prefix(i);
    return mot;
}

double ExtraireReelVue(std::string_view& source) {
    return LireReel(Rogner(ExtraireMotVue(source))).value_or(0.0);
}

std::int32_t ExtraireEntierVue(std::string_view& source) {
    return LireEntier(Rogner(ExtraireMotVue(source))).value_or(0);
}

std::string FormatC(const char* format, ...) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t avant = uselocale(c);
    va_list args;
    va_start(args, format);
    va_list copie;
    va_copy(copie, args);
    const int n = std::vsnprintf(nullptr, 0, format, copie);
    va_end(copie);
    std::string r(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) std::vsnprintf(r.data(), r.size() + 1, format, args);
    va_end(args);
    uselocale(avant);
    return r;
}

} // namespace tessarc
