#include "Chargement.h"

#include "LecteurXYZ.h"
#include "Nombres.h"
#include "PointFichier.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace tessarc {

namespace {

constexpr std::size_t PointsParBloc = 65536;

std::int64_t PasCentieme(std::int64_t n) {
    const std::int64_t pas = n / 100;
    return pas < 1 ? 1 : pas;
}

bool Fini(const TPointFichier& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
}

// Reads records by blocks and hands each one to f with its number from 1.
template <typename F> void PourEnregistrements(TFichier& fichier, std::int64_t nbPts, F&& f) {
    auto bloc = std::make_unique_for_overwrite<unsigned char[]>(PointsParBloc * TaillePointFichier);
    std::int64_t i = 0;
    while (i < nbPts) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(nbPts - i, PointsParBloc));
        fichier.LireExact(bloc.get(), n * TaillePointFichier);
        for (std::size_t k = 0; k < n; ++k) f(++i, DecoderPoint(bloc.get() + k * TaillePointFichier));
    }
}

void InitialiserEtendue(TNuage& nuage) {
    constexpr float Max = std::numeric_limits<float>::max();
    nuage.CooMin = FaireV3S(Max, Max, Max);
    nuage.CooMax = FaireV3S(-Max, -Max, -Max);
}

} // namespace

void DimensionnerGrille(TNuage& nuage, std::int64_t nbPts, const std::filesystem::path& nom) {
    const TV3I& d = nuage.DimRacines;
    // In double: three dimensions of up to two billion overflow any integer product.
    const double cellules = double(d[1]) * double(d[2]) * double(d[3]);
    if (cellules > double(MaxCellulesRacines) || (nbPts > 0 && cellules < 1.0))
        ErreurFichier(
            nom, FormatC("étendue du nuage trop grande (de %g à %g, %g à %g, %g à %g m), la grille de cubes "
                         "de 1 m est limitée à %lld cellules : coordonnées non locales ou point isolé très "
                         "éloigné ?",
                         double(nuage.CooMin[1]), double(nuage.CooMax[1]), double(nuage.CooMin[2]),
                         double(nuage.CooMax[2]), double(nuage.CooMin[3]), double(nuage.CooMax[3]),
                         static_cast<long long>(MaxCellulesRacines)));
    nuage.DimensionnerGrille();
}

void ConstruireArbre(TFichier& fichier, std::int64_t nbPts, TNuage& nuage, IProgression& progression) {
    const std::int64_t pas = PasCentieme(nbPts);
    std::int64_t compte = pas;
    const TV3I& o = nuage.OrigRacines;
    const TV3I& d = nuage.DimRacines;
    PourEnregistrements(fichier, nbPts, [&](std::int64_t i, const TPointFichier& p) {
        if (!Fini(p))
            ErreurFichier(fichier.Nom(), "le point n° " + std::to_string(i) + " a une coordonnée non finie");
        const double ci = std::floor(double(p.X)) - o[1];
        const double cj = std::floor(double(p.Y)) - o[2];
        const double ck = std::floor(double(p.Z)) - o[3];
        if (!(ci >= 0 && cj >= 0 && ck >= 0 && ci < d[1] && cj < d[2] && ck < d[3]))
            ErreurFichier(fichier.Nom(),
                          "le point n° " + std::to_string(i) + " est hors de l'étendue du nuage");
        nuage.InsererPoint(p.X, p.Y, p.Z, p.Couleur);
        if (--compte == 0) {
            compte = pas;
            progression.AffiInfo(1, "construction : " + std::to_string(i / pas) + "%");
        }
    });
}

TCadrage LireFichierXYZ(const std::filesystem::path& nom, TNuage& nuage, std::int64_t& NbPts,
                        IProgression& progression) {
    TFichier texte(nom, TFichier::EMode::Lecture);
    std::filesystem::path nomTemporaire = nom;
    nomTemporaire += ".tmp";
    TFichier temporaire(nomTemporaire, TFichier::EMode::Creation);
    // It can weigh gigabytes: it goes after a failure or an abandon too.
    TSuppressionFichier suppression(nomTemporaire);
    InitialiserEtendue(nuage);
    {
        TTamponEcriture sortie(temporaire);
        ConvertirTexteEnPoints(texte, sortie, nuage.CooMin, nuage.CooMax, NbPts, progression);
        sortie.Vider();
    }
    texte.Fermer();
    if (NbPts == 0) ErreurFichier(nom, "aucun point, le fichier est vide");
    const TCadrage cadrage = nuage.CalculerEtendue();
    DimensionnerGrille(nuage, NbPts, nom);
    temporaire.Rembobiner();
    ConstruireArbre(temporaire, NbPts, nuage, progression);
    return cadrage;
}

TCadrage LireFichierXYB(const std::filesystem::path& nom, TNuage& nuage, std::int64_t& NbPts,
                        IProgression& progression) {
    TFichier fichier(nom, TFichier::EMode::Lecture);
    const std::int64_t taille = fichier.Taille();
    if (taille % static_cast<std::int64_t>(TaillePointFichier) != 0)
        ErreurFichier(nom,
                      "taille de " + std::to_string(taille) +
                          " octets, qui n'est pas un multiple de 16 : ce n'est pas un fichier XYZ binaire");
    const std::int64_t n = taille / static_cast<std::int64_t>(TaillePointFichier);
    if (n == 0) ErreurFichier(nom, "aucun point, le fichier est vide");
    InitialiserEtendue(nuage);
    const std::int64_t pas = PasCentieme(n);
    std::int64_t compte = pas;
    PourEnregistrements(fichier, n, [&](std::int64_t i, const TPointFichier& p) {
        if (!Fini(p)) ErreurFichier(nom, "le point n° " + std::to_string(i) + " a une coordonnée non finie");
        const float c[4] = {0.0f, p.X, p.Y, p.Z};
        for (int a = 1; a <= 3; ++a) {
            if (c[a] < nuage.CooMin[a]) nuage.CooMin[a] = c[a];
            if (c[a] > nuage.CooMax[a]) nuage.CooMax[a] = c[a];
        }
        if (--compte == 0) {
            compte = pas;
            progression.AffiInfo(1, "lecture : " + std::to_string(i / pas) + "%");
        }
    });
    NbPts = n;
    const TCadrage cadrage = nuage.CalculerEtendue();
    DimensionnerGrille(nuage, n, nom);
    fichier.Rembobiner();
    ConstruireArbre(fichier, n, nuage, progression);
    return cadrage;
}

} // namespace tessarc
