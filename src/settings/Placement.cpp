#include "Placement.h"

#include "Nombres.h"

#include <algorithm>
#include <cstdint>

namespace tessarc {

namespace {

constexpr std::int64_t kMarge = 50;

std::optional<int> LirePrefixeEntier(std::string_view& texte) {
    std::size_t debut = 0;
    while (debut < texte.size() && static_cast<unsigned char>(texte[debut]) <= 32) ++debut;
    std::size_t fin = debut;
    if (fin < texte.size() && (texte[fin] == '+' || texte[fin] == '-')) ++fin;
    while (fin < texte.size() && texte[fin] >= '0' && texte[fin] <= '9') ++fin;
    // No 32-bit integer has more than eleven characters.
    for (std::size_t n = std::min<std::size_t>(fin - debut, 11); n > 0; --n) {
        if (const auto v = LireEntier(texte.substr(debut, n))) {
            texte.remove_prefix(debut + n);
            return *v;
        }
    }
    return std::nullopt;
}

} // namespace

WinLTWH LireWinLTWH(std::string_view texte) {
    WinLTWH r;
    if (!texte.empty()) {
        char premier = texte[0];
        if (premier >= 'a' && premier <= 'z') premier = static_cast<char>(premier - 'a' + 'A');
        if (premier == 'A' || premier == 'I') {
            r.etat = premier;
            texte.remove_prefix(1);
        }
    }
    r.rectangle = texte;
    return r;
}

std::string EcrireWinLTWH(char etat, const LTWH& r) {
    std::string texte = etat == 'A' || etat == 'I' ? std::string(1, etat) : std::string();
    return texte + FormatC("%d %d %d %d", r.gauche, r.haut, r.largeur, r.hauteur);
}

std::optional<LTWH> LireLTWH(std::string_view texte) {
    int v[4];
    for (int& x : v) {
        const auto lu = LirePrefixeEntier(texte);
        if (!lu) return std::nullopt;
        x = *lu;
    }
    return LTWH{std::max(v[0], 0), std::max(v[1], 0), v[2], v[3]};
}

LTWH RamenerDansEcran(const LTWH& f, const LTWH& ecran) {
    // 64 bits: stored values may be anything a 32-bit integer holds.
    std::int64_t gauche = f.gauche, haut = f.haut;
    const std::int64_t w = std::int64_t{ecran.gauche} + ecran.largeur - kMarge;
    const std::int64_t h = std::int64_t{ecran.haut} + ecran.hauteur - kMarge;
    if (gauche > w) gauche = w - f.largeur;
    if (gauche + f.largeur < ecran.gauche + kMarge) gauche = ecran.gauche + kMarge;
    if (haut > h) haut = h - f.hauteur;
    if (haut < ecran.haut) haut = ecran.haut;
    const auto borne = [](std::int64_t x) {
        return static_cast<int>(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX));
    };
    return LTWH{borne(gauche), borne(haut), f.largeur, f.hauteur};
}

} // namespace tessarc
