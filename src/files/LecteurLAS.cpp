#include "LecteurLAS.h"

#include "Chargement.h"
#include "LecturePoints.h"
#include "Nombres.h"
#include "PetitBoutiste.h"

#include <array>
#include <cmath>
#include <cstring>

namespace tessarc {

namespace {

constexpr std::size_t TailleEnteteCommune = 227;
constexpr std::size_t TailleEntete13 = 235;
constexpr std::size_t TailleEntete14 = 375;
constexpr unsigned char BitCompression = 0x80;
constexpr std::size_t PositionIntensite = 12;
// Per point format: the smallest record, and where red starts (0: no colour; green and blue follow).
constexpr std::array<std::size_t, 11> TailleMinimale{20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};
constexpr std::array<std::size_t, 11> PositionCouleur{0, 0, 20, 28, 0, 28, 0, 30, 30, 0, 30};

struct TEnteteLAS {
    int Format = 0;
    std::size_t Longueur = 0;
    std::int64_t Debut = 0;
    std::int64_t Nombre = 0;
    std::array<double, 3> Echelle{};
    std::array<double, 3> Origine{};
};

std::size_t TailleEnteteVersion(int mineure) {
    return mineure >= 4 ? TailleEntete14 : mineure == 3 ? TailleEntete13 : TailleEnteteCommune;
}

void VerifierVersion(const TFichier& f, const unsigned char* e, std::size_t lus) {
    const int majeure = e[24];
    const int mineure = e[25];
    if (majeure != 1 || mineure > 4)
        ErreurFichier(f.Nom(), FormatC("version LAS %d.%d inconnue, les versions 1.0 à 1.4 sont lues", majeure, mineure));
    const std::size_t minimum = TailleEnteteVersion(mineure);
    const std::size_t annoncee = LireLE16(e + 94);
    if (annoncee < minimum)
        ErreurFichier(f.Nom(), FormatC("en-tête de %zu octets annoncé, la version 1.%d en a au moins %zu", annoncee,
                                       mineure, minimum));
    if (lus < minimum) ErreurFichier(f.Nom(), FormatC("fichier tronqué dans l'en-tête : %zu octets sur %zu", lus, minimum));
}

// The legacy count, or in LAS 1.4 the 64-bit one when it is filled; either checked against the size.
std::int64_t NombrePoints(const TFichier& f, const unsigned char* e, const TEnteteLAS& t) {
    std::uint64_t n = LireLE32(e + 107);
    if (e[25] >= 4 && LireLE64(e + 247) != 0) n = static_cast<std::uint64_t>(LireLE64(e + 247));
    const auto presents = static_cast<std::uint64_t>(f.Taille() - t.Debut) / t.Longueur;
    if (n > presents)
        ErreurFichier(f.Nom(), FormatC("fichier tronqué : %llu points annoncés, %llu présents",
                                       static_cast<unsigned long long>(n), static_cast<unsigned long long>(presents)));
    return static_cast<std::int64_t>(n);
}

TEnteteLAS LireEntete(TFichier& f) {
    std::array<unsigned char, TailleEntete14> e{};
    const std::size_t lus = f.Lire(e.data(), e.size());
    if (lus < 4 || std::memcmp(e.data(), "LASF", 4) != 0)
        ErreurFichier(f.Nom(), "signature « LASF » absente : ce n'est pas un fichier LAS");
    if (lus < TailleEnteteCommune)
        ErreurFichier(f.Nom(), FormatC("fichier tronqué dans l'en-tête : %zu octets sur %zu", lus, TailleEnteteCommune));
    if ((e[104] & BitCompression) != 0) ErreurFichier(f.Nom(), TexteLAZ);
    VerifierVersion(f, e.data(), lus);
    TEnteteLAS t;
    t.Format = e[104];
    if (t.Format > 10)
        ErreurFichier(f.Nom(), FormatC("format de point %d inconnu, les formats 0 à 10 sont lus", t.Format));
    t.Longueur = LireLE16(e.data() + 105);
    const std::size_t minimum = TailleMinimale[static_cast<std::size_t>(t.Format)];
    if (t.Longueur < minimum)
        ErreurFichier(f.Nom(), FormatC("enregistrements de %zu octets, trop courts pour le format de point %d (%zu au moins)",
                                       t.Longueur, t.Format, minimum));
    t.Debut = LireLE32(e.data() + 96);
    if (t.Debut < LireLE16(e.data() + 94) || t.Debut > f.Taille())
        ErreurFichier(f.Nom(), FormatC("début des points à l'octet %lld, hors du fichier ou dans l'en-tête",
                                       static_cast<long long>(t.Debut)));
    t.Nombre = NombrePoints(f, e.data(), t);
    for (std::size_t a = 0; a < 3; ++a) {
        t.Echelle[a] = LireDoubleLE(e.data() + 131 + 8 * a);
        t.Origine[a] = LireDoubleLE(e.data() + 155 + 8 * a);
        if (!std::isfinite(t.Echelle[a]) || !std::isfinite(t.Origine[a]))
            ErreurFichier(f.Nom(), std::string("échelle ou origine non finie sur l'axe ") + "XYZ"[a]);
    }
    return t;
}

// 8 when a colour value (or without colour an intensity) of the file exceeds 255, else 0. The first such
// value ends the pass: files of 16-bit colours are decided at once.
int DecalageCouleur(TTamponLecture& lecture, const TEnteteLAS& t, TAvancement& avancement) {
    const std::size_t rouge = PositionCouleur[static_cast<std::size_t>(t.Format)];
    for (std::int64_t i = 0; i < t.Nombre; ++i) {
        const unsigned char* r = lecture.Prendre(t.Longueur);
        const bool grand = rouge != 0 ? (r[rouge + 1] | r[rouge + 3] | r[rouge + 5]) != 0 : r[PositionIntensite + 1] != 0;
        if (grand) return 8;
        avancement.Avancer(i + 1);
    }
    return 0;
}

void LirePoints(TTamponLecture& lecture, const TEnteteLAS& t, int decalage, TSortiePoints& sortie,
                TAvancement& avancement) {
    const std::size_t rouge = PositionCouleur[static_cast<std::size_t>(t.Format)];
    const auto octet = [decalage](const unsigned char* s) { return static_cast<std::uint8_t>(LireLE16(s) >> decalage); };
    for (std::int64_t i = 0; i < t.Nombre; ++i) {
        const unsigned char* r = lecture.Prendre(t.Longueur);
        double c[3];
        for (std::size_t a = 0; a < 3; ++a)
            c[a] = double(static_cast<std::int32_t>(LireLE32(r + 4 * a))) * t.Echelle[a] + t.Origine[a];
        const std::uint8_t gris = octet(r + PositionIntensite);
        const TV4By couleur =
            rouge != 0 ? CouleurRVB(octet(r + rouge), octet(r + rouge + 2), octet(r + rouge + 4)) : CouleurRVB(gris, gris, gris);
        sortie.Ajouter(c[0], c[1], c[2], couleur);
        avancement.Avancer(t.Nombre + i + 1);
    }
}

} // namespace

void LireLAS(TFichier& source, TSortiePoints& sortie, IProgression& progression) {
    const TEnteteLAS t = LireEntete(source);
    TAvancement avancement(progression, "lecture", 2 * t.Nombre);
    TTamponLecture lecture(source);
    lecture.Positionner(t.Debut);
    const int decalage = DecalageCouleur(lecture, t, avancement);
    lecture.Positionner(t.Debut);
    LirePoints(lecture, t, decalage, sortie, avancement);
}

void LireLAZ(TFichier& source, TSortiePoints&, IProgression&) {
    ErreurFichier(source.Nom(), TexteLAZ);
}

} // namespace tessarc
