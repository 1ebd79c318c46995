#include "Chargement.h"

#include "ConstructionArbre.h"

#include "Nombres.h"
#include "PointFichier.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace tessarc {

namespace {

constexpr std::size_t PointsParBloc = 65536;

std::int64_t PasCentieme(std::int64_t n) {
    const std::int64_t pas = n / 100;
    return pas < 1 ? 1 : pas;
}

} // namespace

TAvancement::TAvancement(IProgression& progression, const char* titre, std::int64_t total)
    : progression_(progression), titre_(titre), pas_(PasCentieme(total)), prochain_(pas_) {}

void TAvancement::Afficher(std::int64_t fait) {
    prochain_ = (fait / pas_ + 1) * pas_;
    progression_.AffiInfo(1, std::string(titre_) + " : " + std::to_string(std::min<std::int64_t>(fait / pas_, 100)) +
                                 "%");
}

void DimensionnerGrille(TNuage& nuage, std::int64_t nbPts, const std::filesystem::path& nom) {
    const TV3I& d = nuage.DimRacines;
    if (nbPts > 0 && (d[1] < 1 || d[2] < 1 || d[3] < 1))
        ErreurFichier(nom, "étendue du nuage vide alors que le fichier annonce des points");
    try {
        nuage.DimensionnerGrille();
    } catch (const std::runtime_error& e) {
        ErreurFichier(nom, e.what());
    }
}

void ConstruireArbre(ISourcePoints& source, TNuage& nuage, IProgression& progression,
                     const std::filesystem::path& nom) {
    TAvancement avancement(progression, "construction", source.Nombre());
    TOptionsConstruction options;
    options.Avancer = [&](std::int64_t fait) { avancement.Avancer(fait); };
    try {
        ConstruireArbreTrie(nuage, source, options);
    } catch (const EArbreTropGrand& e) {
        ErreurFichier(nom, e.what());
    }
}

TChargement ChargerScan(const std::filesystem::path& nom, TLecteurPoints lecteur, TNuage& nuage,
                        IProgression& progression) {
    TFichier source(nom, TFichier::EMode::Lecture);
    TFichier temporaire = TFichier::Temporaire(nom);
    TSortiePoints sortie(nom, temporaire);
    lecteur(source, sortie, progression);
    sortie.Terminer();
    source.Fermer();

    TChargement r;
    r.NbPts = sortie.Nombre();
    if (r.NbPts == 0) ErreurFichier(nom, "aucun point, le fichier est vide");
    r.Decalage = DecalageCoordonnees(sortie.Min(), sortie.Max());
    r.Remarques = sortie.Remarques();
    TSourceTemporaire points(temporaire, nom, r.NbPts, r.Decalage);
    // Rounding is monotonic: the box of the stored points is the stored box.
    for (int a = 1; a <= 3; ++a) {
        nuage.CooMin[a] = static_cast<float>(sortie.Min()[a] - r.Decalage[a]);
        nuage.CooMax[a] = static_cast<float>(sortie.Max()[a] - r.Decalage[a]);
    }
    r.Cadrage = nuage.CalculerEtendue();
    DimensionnerGrille(nuage, r.NbPts, nom);
    ConstruireArbre(points, nuage, progression, nom);
    return r;
}

void LireXYB(TFichier& source, TSortiePoints& sortie, IProgression& progression) {
    const std::int64_t taille = source.Taille();
    if (taille % static_cast<std::int64_t>(TaillePointFichier) != 0)
        ErreurFichier(source.Nom(),
                      "taille de " + std::to_string(taille) +
                          " octets, qui n'est pas un multiple de 16 : ce n'est pas un fichier XYZ binaire");
    const std::int64_t n = taille / static_cast<std::int64_t>(TaillePointFichier);
    TAvancement avancement(progression, "lecture", n);
    auto bloc = std::make_unique_for_overwrite<unsigned char[]>(PointsParBloc * TaillePointFichier);
    for (std::int64_t i = 0; i < n;) {
        const auto k = static_cast<std::size_t>(std::min<std::int64_t>(n - i, PointsParBloc));
        source.LireExact(bloc.get(), k * TaillePointFichier);
        for (std::size_t j = 0; j < k; ++j) {
            const TPointFichier p = DecoderPoint(bloc.get() + j * TaillePointFichier);
            sortie.Ajouter(p.X, p.Y, p.Z, p.Couleur);
        }
        i += static_cast<std::int64_t>(k);
        avancement.Avancer(i);
    }
}

} // namespace tessarc
