// Opening an E57 scan against the project file of the same points, measured on a generated vault:
//   build/tools/tessarc-genvoute --points 5000000 --sortie /tmp/voute5m.xyz
//   build/bench/tessarc-bench-e57 /tmp/voute5m.xyz
// The scan's points are written by the tests' writer as an E57 of 0.1 mm scaled integers with 8-bit
// colour, and through the program as a project file; both go beside the scan and are removed at the
// end. The better of several runs is kept: the machine may be busy.

#include "Document.h"
#include "EcrivainE57.h"
#include "LecteurE57.h"
#include "LecteurXYZ.h"
#include "PagesE57.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

using Horloge = std::chrono::steady_clock;

constexpr double Echelle = 1e-4;

double Secondes(Horloge::time_point debut) {
    return std::chrono::duration<double>(Horloge::now() - debut).count();
}

// The scan's points as fields of the writer: coordinates in tenths of a millimetre, colour bytes.
TScanEcrit LireScan(const std::filesystem::path& xyz) {
    TFichier texte(xyz, TFichier::EMode::Lecture);
    TFichier temporaire = TFichier::Temporaire(xyz);
    TSortiePoints sortie(xyz, temporaire);
    ProgressionMuette muette;
    LireXYZ(texte, sortie, muette);
    sortie.Terminer();
    TScanEcrit s;
    const char* noms[6] = {"cartesianX", "cartesianY", "cartesianZ", "colorRed", "colorGreen", "colorBlue"};
    for (int k = 0; k < 6; ++k) {
        TChampEcrit c{
            noms[k], k < 3 ? ETypeEcrit::EntierEchelle : ETypeEcrit::Entier, 0, 255, Echelle, 0.0, {}, 0};
        if (k < 3) {
            c.Min = static_cast<std::int64_t>(std::floor(sortie.Min()[k + 1] / Echelle));
            c.Max = static_cast<std::int64_t>(std::ceil(sortie.Max()[k + 1] / Echelle));
        }
        c.Valeurs.reserve(static_cast<std::size_t>(sortie.Nombre()));
        s.Champs.push_back(std::move(c));
    }
    temporaire.Rembobiner();
    std::vector<unsigned char> bloc(TaillePointLu * 65536);
    for (std::int64_t lus = 0; lus < sortie.Nombre();) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(65536, sortie.Nombre() - lus));
        temporaire.LireExact(bloc.data(), n * TaillePointLu);
        for (std::size_t i = 0; i < n; ++i) {
            const TPointLu p = DecoderPointLu(bloc.data() + i * TaillePointLu);
            const double v[6] = {std::round(p.X / Echelle), std::round(p.Y / Echelle),
                                 std::round(p.Z / Echelle), double(p.Couleur[1]),
                                 double(p.Couleur[2]),      double(p.Couleur[3])};
            for (int k = 0; k < 6; ++k) s.Champs[static_cast<std::size_t>(k)].Valeurs.push_back(v[k]);
        }
        lus += static_cast<std::int64_t>(n);
    }
    int bits = 0;
    for (const TChampEcrit& c : s.Champs) bits += c.Bits();
    s.ParPaquet = 65000 * 8 / static_cast<std::size_t>(bits);
    return s;
}

void MesurerCrc() {
    std::vector<unsigned char> octets(std::size_t{256} << 20);
    std::mt19937 hasard(57);
    for (unsigned char& o : octets) o = static_cast<unsigned char>(hasard());
    using TCrc = std::uint32_t (*)(const unsigned char*, std::size_t);
    const std::pair<const char*, TCrc> calculs[] = {{"instruction SSE4.2", Crc32c},
                                                    {"tables (Boost.CRC)", Crc32cLogiciel}};
    for (const auto& [libelle, crc] : calculs) {
        const auto debut = Horloge::now();
        std::uint32_t somme = 0;
        for (std::size_t p = 0; p + 1020 <= octets.size(); p += 1024) somme ^= crc(octets.data() + p, 1020);
        std::printf("CRC-32C, %-18s : %.2f Go/s (%08x)\n", libelle,
                    double(octets.size()) / Secondes(debut) / 1e9, somme);
    }
}

// The reader alone, its points thrown away; the better of three runs.
void Decoder(const std::filesystem::path& e57, std::size_t champs) {
    double meilleur = 1e9;
    std::int64_t n = 0;
    for (int tour = 0; tour < 3; ++tour) {
        TFichier source(e57, TFichier::EMode::Lecture);
        TFichier nul("/dev/null", TFichier::EMode::Creation);
        TSortiePoints sortie(e57, nul);
        ProgressionMuette muette;
        const auto debut = Horloge::now();
        LireE57(source, sortie, muette);
        sortie.Terminer();
        meilleur = std::min(meilleur, Secondes(debut));
        n = sortie.Nombre();
    }
    std::printf(
        "lecture E57 seule          : %.3f s, %.1f millions de valeurs/s (%.1f millions de points/s)\n",
        meilleur, double(n) * double(champs) / meilleur / 1e6, double(n) / meilleur / 1e6);
}

double Ouvrir(const std::filesystem::path& nom) {
    TDocument doc;
    const auto debut = Horloge::now();
    if (!doc.OuvrirFichier(nom)) std::printf("%s : échec, %s\n", nom.c_str(), doc.DerniereErreur.c_str());
    const double s = Secondes(debut);
    std::printf("ouverture %-17s : %.3f s, %lld points\n", nom.extension().c_str(), s,
                static_cast<long long>(doc.NbPts));
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage : tessarc-bench-e57 SCAN.xyz\n");
        return 2;
    }
    const std::filesystem::path scan = argv[1];
    std::filesystem::path e57 = scan;
    e57.replace_extension("bench.e57");
    std::filesystem::path projet = scan;
    projet.replace_extension("bench.tsrk");
    {
        const TScanEcrit s = LireScan(scan);
        const std::string fichier = EcrireE57({s});
        std::ofstream(e57, std::ios::binary)
            .write(fichier.data(), static_cast<std::streamsize>(fichier.size()));
        std::printf("E57 écrit : %zu points, %.1f Mo\n", s.Champs[0].Valeurs.size(),
                    double(fichier.size()) / 1e6);
        TDocument doc;
        if (!doc.OuvrirFichier(scan) || !doc.EnregistrerFichierSous(GenreProjet, 4, projet)) return 1;
    }
    MesurerCrc();
    Decoder(e57, 6);
    double meilleur[2] = {1e9, 1e9};
    for (int tour = 0; tour < 2; ++tour) {
        meilleur[0] = std::min(meilleur[0], Ouvrir(e57));
        meilleur[1] = std::min(meilleur[1], Ouvrir(projet));
    }
    std::printf("meilleurs temps : E57 %.3f s, projet %.3f s\n", meilleur[0], meilleur[1]);
    std::filesystem::remove(e57);
    std::filesystem::remove(projet);
    return 0;
}
