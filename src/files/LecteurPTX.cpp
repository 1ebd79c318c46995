#include "LecteurPTX.h"

#include "LecturePoints.h"
#include "Nombres.h"

#include <array>
#include <cmath>
#include <string>

namespace tessarc {

namespace {

constexpr std::size_t ValeursMax = 7;
constexpr double TailleMax = 2147483647.0;

struct TScanPTX {
    std::int64_t Points = 0;
    std::array<std::array<double, 4>, 4> M{}; // M[ligne][colonne]
};

// The next header line of scan numero, holding exactly n values.
void LigneEntete(TTextePoints& texte, const TFichier& source, int numero, std::size_t n, std::span<double> v) {
    const std::size_t lus = texte.Ligne(v);
    if (lus == 0) ErreurFichier(source.Nom(), "fichier tronqué : en-tête du scan " + std::to_string(numero) + " incomplet");
    if (lus != n)
        texte.Refuser(FormatC("en-tête du scan %d, %zu valeurs attendues, %zu lues", numero, n, lus));
}

std::int64_t Taille(const TTextePoints& texte, double v, const char* quoi) {
    if (!(v >= 0.0 && v <= TailleMax) || v != std::floor(v))
        texte.Refuser(std::string("nombre de ") + quoi + " " + FormatC("%g", v) + " impossible");
    return static_cast<std::int64_t>(v);
}

// The header of scan numero; false at the end of the file, before it starts.
bool LireEntete(TTextePoints& texte, const TFichier& source, int numero, TScanPTX& scan) {
    std::array<double, ValeursMax> v{};
    const std::size_t n = texte.Ligne(v);
    if (n == 0) return false;
    if (n != 1) texte.Refuser(FormatC("en-tête du scan %d, le nombre de colonnes est attendu seul sur sa ligne", numero));
    const std::int64_t colonnes = Taille(texte, v[0], "colonnes");
    LigneEntete(texte, source, numero, 1, v);
    scan.Points = colonnes * Taille(texte, v[0], "lignes");
    for (int k = 0; k < 4; ++k) LigneEntete(texte, source, numero, 3, v); // the scanner's position and axes
    for (auto& ligne : scan.M) {
        LigneEntete(texte, source, numero, 4, v);
        for (std::size_t c = 0; c < 4; ++c) ligne[c] = v[c];
    }
    return true;
}

void LirePoints(TTextePoints& texte, const TFichier& source, int numero, const TScanPTX& scan, TSortiePoints& sortie) {
    const auto& M = scan.M;
    std::array<double, ValeursMax> v{};
    for (std::int64_t i = 0; i < scan.Points; ++i) {
        const std::size_t n = texte.Ligne(v);
        if (n == 0)
            ErreurFichier(source.Nom(), FormatC("fichier tronqué : scan %d, %lld points annoncés, %lld lus", numero,
                                                static_cast<long long>(scan.Points), static_cast<long long>(i)));
        if (n != 4 && n != 7) texte.Refuser(std::to_string(n) + " valeurs, un point en a 4 ou 7");
        const double x = v[0], y = v[1], z = v[2];
        if (x == 0.0 && y == 0.0 && z == 0.0) continue;
        const std::uint8_t gris = OctetArrondi(v[3] * 255.0);
        const TV4By couleur = n == 7 ? CouleurRVB(OctetArrondi(v[4]), OctetArrondi(v[5]), OctetArrondi(v[6]))
                                     : CouleurRVB(gris, gris, gris);
        sortie.Ajouter(x * M[0][0] + y * M[1][0] + z * M[2][0] + M[3][0], x * M[0][1] + y * M[1][1] + z * M[2][1] + M[3][1],
                       x * M[0][2] + y * M[1][2] + z * M[2][2] + M[3][2], couleur);
    }
}

} // namespace

void LirePTX(TFichier& source, TSortiePoints& sortie, IProgression& progression) {
    TTextePoints texte(source, progression);
    TScanPTX scan;
    for (int numero = 1; LireEntete(texte, source, numero, scan); ++numero) LirePoints(texte, source, numero, scan, sortie);
}

} // namespace tessarc
