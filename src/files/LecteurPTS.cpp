#include "LecteurPTS.h"

#include "LecturePoints.h"
#include "Nombres.h"

#include <cmath>
#include <string>

namespace tessarc {

namespace {

constexpr std::size_t ValeursMax = 7;

// A count line: one whole number.
std::int64_t NombreAnnonce(const TTextePoints& texte, std::size_t n, double v) {
    if (n != 1 || !(v >= 0.0 && v <= 9e15) || v != std::floor(v))
        texte.Refuser("le nombre de points est attendu ici, seul sur sa ligne");
    return static_cast<std::int64_t>(v);
}

TV4By CouleurPTS(const TTextePoints& texte, std::size_t n, const double* v) {
    switch (n) {
    case 3:
        return {};
    case 4: {
        const std::uint8_t gris = OctetArrondi((v[3] + 2048.0) * 255.0 / 4095.0);
        return CouleurRVB(gris, gris, gris);
    }
    case 6:
        return CouleurRVB(OctetArrondi(v[3]), OctetArrondi(v[4]), OctetArrondi(v[5]));
    case 7:
        return CouleurRVB(OctetArrondi(v[4]), OctetArrondi(v[5]), OctetArrondi(v[6]));
    default:
        texte.Refuser(std::to_string(n) + " valeurs, un point en a 3, 4, 6 ou 7");
    }
}

} // namespace

void LirePTS(TFichier& source, TSortiePoints& sortie, IProgression& progression) {
    TTextePoints texte(source, progression);
    double v[ValeursMax];
    std::int64_t annonces = 0;
    std::int64_t lus = 0;
    for (std::size_t n; (n = texte.Ligne(v)) > 0;) {
        if (lus == annonces) {
            if (n != 1 && annonces > 0)
                texte.Refuser(FormatC("%lld points annoncés, cette ligne en donne un de plus", static_cast<long long>(annonces)));
            annonces += NombreAnnonce(texte, n, v[0]);
            continue;
        }
        const TV4By couleur = CouleurPTS(texte, n, v);
        sortie.Ajouter(v[0], v[1], v[2], couleur);
        ++lus;
    }
    if (lus < annonces)
        ErreurFichier(source.Nom(), FormatC("fichier tronqué : %lld points annoncés, %lld lus", static_cast<long long>(annonces),
                                            static_cast<long long>(lus)));
}

} // namespace tessarc
