#include "Encodages.h"

#include <array>

namespace tessarc {

namespace {

// 0x80..0x9F of Windows-1252; the five undefined bytes map to the C1 controls, as Windows does.
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool CommencePar(std::string_view t, std::string_view debut) {
    return t.substr(0, debut.size()) == debut;
}

} // namespace

void AjouterUtf8(std::string& s, char32_t c) {
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool EstUtf8Valide(std::string_view t) {
    std::size_t i = 0;
    const std::size_t n = t.size();
    while (i < n) {
        const auto o = static_cast<unsigned char>(t[i]);
        if (o < 0x80) {
            ++i;
            continue;
        }
        std::size_t suite = 0;
        char32_t c = 0, minimum = 0;
        if ((o & 0xE0) == 0xC0)
            suite = 1, c = o & 0x1F, minimum = 0x80;
        else if ((o & 0xF0) == 0xE0)
            suite = 2, c = o & 0x0F, minimum = 0x800;
        else if ((o & 0xF8) == 0xF0)
            suite = 3, c = o & 0x07, minimum = 0x10000;
        else
            return false;
        if (n - i <= suite) return false;
        for (std::size_t k = 1; k <= suite; ++k) {
            const auto s = static_cast<unsigned char>(t[i + k]);
            if ((s & 0xC0) != 0x80) return false;
            c = (c << 6) | (s & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += suite + 1;
    }
    return true;
}

std::string DepuisWindows1252(std::string_view t) {
    std::string s;
    s.reserve(t.size() + t.size() / 4);
    for (const char ch : t) {
        const auto o = static_cast<unsigned char>(ch);
        if (o < 0x80)
            s += ch;
        else if (o < 0xA0)
            AjouterUtf8(s, kWindows1252[o - 0x80]);
        else
            AjouterUtf8(s, o);
    }
    return s;
}

std::string DepuisUtf16(std::string_view t, bool gros) {
    std::string s;
    s.reserve(t.size());
    const auto unite = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(t[i]), b = static_cast<unsigned char>(t[i + 1]);
        return gros ? char32_t(a << 8 | b) : char32_t(b << 8 | a);
    };
    const std::size_t n = t.size() & ~std::size_t{1};
    for (std::size_t i = 0; i < n; i += 2) {
        const char32_t u = unite(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 2 < n) {
            const char32_t v = unite(i + 2);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                AjouterUtf8(s, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                i += 2;
                continue;
            }
        }
        AjouterUtf8(s, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
    }
    return s;
}

std::string DecoderTexte(std::string_view t) {
    if (CommencePar(t, "\xEF\xBB\xBF"))
        t.remove_prefix(3);
    else if (CommencePar(t, "\xFF\xFE"))
        return DepuisUtf16(t.substr(2), false);
    else if (CommencePar(t, "\xFE\xFF"))
        return DepuisUtf16(t.substr(2), true);
    return EstUtf8Valide(t) ? std::string(t) : DepuisWindows1252(t);
}

} // namespace tessarc
