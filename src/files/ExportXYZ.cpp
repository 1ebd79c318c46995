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
} // namespace

namespace {

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

char* FormaterFixe8(char* dest, float v) {
    // v = m 2^e exactly; v 10^8 is rounded to an integer half to even, as printf does with the exact
    // binary value, then written with eight decimals.
    const auto bits = std::bit_cast<std::uint32_t>(v);
    const bool negatif = (bits >> 31) != 0;
    const int champExposant = static_cast<int>((bits >> 23) & 0xFF);
    if (champExposant == 0xFF || champExposant - 150 > 60) {
        const std::string s = FormatC("%.8f", static_cast<double>(v));
        std::memcpy(dest, s.data(), s.size());
        return dest + s.size();
    }
    std::uint32_t m = bits & 0x7FFFFF;
    int e = -149;
    if (champExposant != 0) {
        m |= 0x800000;
        e = champExposant - 150;
    }
    constexpr std::uint64_t Echelle = 100000000;
    char* p = dest;
    if (negatif) *p++ = '-';
    std::uint64_t fraction = 0;
    if (e > 12) {
        // At least 2^36: no fraction, and more digits than 64 bits hold.
        p = EcrireEntier(p, static_cast<Entier128>(m) << e);
    } else {
        std::uint64_t q = 0;
        if (e >= 0) {
            q = (std::uint64_t{m} << e) * Echelle;
        } else if (-e < 64) {
            const int k = -e;
            const std::uint64_t n = std::uint64_t{m} * Echelle;
            q = n >> k;
            const std::uint64_t reste = n & ((std::uint64_t{1} << k) - 1);
            const std::uint64_t moitie = std::uint64_t{1} << (k - 1);
            if (reste > moitie || (reste == moitie && (q & 1) != 0)) ++q;
        }
        p = EcrireEntier(p, q / Echelle);
        fraction = q % Echelle;
    }
    *p++ = '.';
    for (int i = 7; i >= 0; --i) {
        p[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return p + 8;
}

std::size_t FormaterLigneExport(char* dest, const TV3S& coo, const TV4By& couleur) {
    char* p = FormaterFixe8(dest, coo[1]);
    *p++ = ' ';
    p = FormaterFixe8(p, coo[2]);
    *p++ = ' ';
    p = FormaterFixe8(p, coo[3]);
    *p++ = ' ';
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

void EcrireExportXYZ(const std::filesystem::path& nom, const TNuage& nuage, int niveau,
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
            tampon.Avancer(FormaterLigneExport(ligne, c->CooMoyPts, c->ColCube));
            if (++i % pas == 0 && progression != nullptr)
                progression->AffiInfo(1, "enregistrement : " + std::to_string(i / pas) + "%");
        }
        tampon.Vider();
    }
    ecriture.Valider();
}

} // namespace tessarc
