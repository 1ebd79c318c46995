#include "ExportXYZ.h"

#include "Fichier.h"
#include "Nombres.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tessarc {

namespace {

__extension__ typedef unsigned __int128 Entier128;

template <typename Entier> char* EcrireEntier(char* p, Entier n) {
    char chiffres[40];
    int k = 0;
    do {
        chiffres[k++] = static_cast<char>('0' + static_cast<int>(n % 10));
        n /= 10;
    } while (n != 0);
    while (k > 0) *p++ = chiffres[--k];
    return p;
}

} // namespace

char* FormaterFixe8(char* dest, double v) {
    // v = m 2^e exactly; v 10^8 is rounded to an integer half to even, as printf does with the exact
    // binary value, then written with eight decimals.
    const auto bits = std::bit_cast<std::uint64_t>(v);
    const bool negatif = (bits >> 63) != 0;
    const int champExposant = static_cast<int>((bits >> 52) & 0x7FF);
    if (champExposant == 0x7FF || champExposant - 1075 > 60) {
        const std::string s = FormatC("%.8f", v);
        std::memcpy(dest, s.data(), s.size());
        return dest + s.size();
    }
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int e = -1074;
    if (champExposant != 0) {
        m |= std::uint64_t{1} << 52;
        e = champExposant - 1075;
    }
    constexpr std::uint64_t Echelle = 100000000;
    char* p = dest;
    if (negatif) *p++ = '-';
    if (e >= 0) {
        // A whole number, below 2^113: no fraction.
        p = EcrireEntier(p, static_cast<Entier128>(m) << e);
        std::memcpy(p, ".00000000", 9);
        return p + 9;
    }
    Entier128 q = 0;
    if (-e < 100) {
        // m 10^8 < 2^80: the shifted-out part decides the rounding.
        const int k = -e;
        const Entier128 n = static_cast<Entier128>(m) * Echelle;
        q = n >> k;
        const Entier128 reste = n & ((Entier128{1} << k) - 1);
        const Entier128 moitie = Entier128{1} << (k - 1);
        if (reste > moitie || (reste == moitie && (q & 1) != 0)) ++q;
    }
    p = EcrireEntier(p, q / Echelle);
    auto fraction = static_cast<std::uint64_t>(q % Echelle);
    *p++ = '.';
    for (int i = 7; i >= 0; --i) {
        p[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return p + 8;
}

std::size_t FormaterLigneExport(char* dest, const TV3S& coo, const TV4By& couleur, const TV3R& decalage) {
    char* p = dest;
    for (int a = 1; a <= 3; ++a) {
        p = FormaterFixe8(p, double(coo[a]) + decalage[a]);
        *p++ = ' ';
    }
    for (int k = 1; k <= 3; ++k) {
        const unsigned c = couleur[k];
        *p++ = ' ';
        *p++ = static_cast<char>('0' + c / 100);
        *p++ = static_cast<char>('0' + c / 10 % 10);
        *p++ = static_cast<char>('0' + c % 10);
    }
    *p++ = '\r';
    *p++ = '\n';
    return static_cast<std::size_t>(p - dest);
}

void EcrireExportXYZ(const std::filesystem::path& nom, const TNuage& nuage, int niveau, const TV3R& decalage,
                     IProgression* progression) {
    if (niveau < 0 || niveau >= NbNiveaux) throw std::invalid_argument("niveau hors de 0 à 4");
    const std::int64_t n = nuage.NbCubesNiv[static_cast<std::size_t>(niveau)];
    const std::int64_t pas = n / 100 < 1 ? 1 : n / 100;
    TEcritureAtomique ecriture(nom);
    {
        TTamponEcriture tampon(ecriture.Fichier());
        std::int64_t i = 0;
        for (const TCube* c = nuage.TeteNiv(niveau); c != nullptr; c = nuage.Suivant(c)) {
            auto* ligne = reinterpret_cast<char*>(tampon.Reserver(LongueurMaxLigneExport));
            tampon.Avancer(FormaterLigneExport(ligne, c->CooMoyPts, c->ColCube, decalage));
            if (++i % pas == 0 && progression != nullptr)
                progression->AffiInfo(1, "enregistrement : " + std::to_string(i / pas) + "%");
        }
        tampon.Vider();
    }
    ecriture.Valider();
}

} // namespace tessarc
