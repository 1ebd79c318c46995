// The PTS reader on any bytes, and the one-pass reading of plain reals that the text scan readers use:
// whenever it takes a field, its value must be the correctly rounded one of from_chars, bit for bit.

#include "LecteurPTS.h"
#include "LectureFuzz.h"
#include "Nombres.h"

#include <bit>
#include <charconv>

using namespace tessarc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const char* p = reinterpret_cast<const char*>(donnees);
    const char* const fin = p + taille;
    while (p < fin) {
        const char* debut = p;
        double v = 0.0;
        if (LireReelRapide(p, fin, v)) {
            if (*debut == '+') ++debut;
            double attendu = 0.0;
            const auto r = std::from_chars(debut, p, attendu);
            if (r.ec != std::errc() || r.ptr != p || std::bit_cast<std::uint64_t>(v) != std::bit_cast<std::uint64_t>(attendu))
                std::abort();
        } else {
            ++p;
        }
    }
    static_cast<void>(fuzz::Lire(LirePTS, "entree.pts", donnees, taille));
    return 0;
}
