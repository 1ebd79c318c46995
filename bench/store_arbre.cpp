// Builds the cube tree of a scan both ways, point by point (the reference) and from sorted points (what
// an open does), from 16-byte point records held in memory, and reports speed, memory and the bytes of
// each kind of cube; then deletes every other leaf and times the compaction.
//   bench_arbre [--sans-reference] FICHIER.xyz   (e.g. from tessarc-genvoute --points 5000000)

#include "ConstructionArbre.h"
#include "Nombres.h"
#include "UTessarcGlb.h"
#include "memoire.h"

#include <chrono>
#include <functional>
#include <sys/resource.h>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

using namespace tessarc;
using namespace tessarc::bench;
using Horloge = std::chrono::steady_clock;

namespace {

double Secondes(Horloge::time_point t0) {
    return std::chrono::duration<double>(Horloge::now() - t0).count();
}

// Processor time of the process, every thread, user and system.
double SecondesProcesseur() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

std::vector<TPointFichier> Lire(const char* nom, TNuage& n) {
    std::vector<TPointFichier> points;
    std::ifstream in(nom);
    for (std::string ligne; std::getline(in, ligne);) {
        std::string_view v = ligne;
        TPointFichier p;
        float* coo[3] = {&p.X, &p.Y, &p.Z};
        for (int a = 1; a <= 3; ++a) {
            *coo[a - 1] = static_cast<float>(ExtraireReelVue(v));
            n.CooMin[a] = std::min(n.CooMin[a], *coo[a - 1]);
            n.CooMax[a] = std::max(n.CooMax[a], *coo[a - 1]);
        }
        for (int k = 1; k <= 3; ++k) p.Couleur[k] = static_cast<std::uint8_t>(ExtraireEntierVue(v));
        points.push_back(p);
    }
    return points;
}

void Preparer(TNuage& n, const TNuage& modele) {
    n.Vider();
    n.NivMax = 4;
    n.CooMin = modele.CooMin;
    n.CooMax = modele.CooMax;
    (void)n.CalculerEtendue();
    n.DimensionnerGrille();
}

// Builds with construire, then averages; prints the figures of the build.
void Mesurer(const char* quoi, TNuage& n, const std::vector<TPointFichier>& points,
             const std::function<void()>& construire) {
    RemettrePicAZero();
    const long long base = MemoireCourante();
    const auto t0 = Horloge::now();
    const double p0 = SecondesProcesseur();
    construire();
    n.CalculerMoyennesRacines();
    const double s = Secondes(t0);
    const auto nb = static_cast<double>(points.size());
    std::printf("%-26s : %.3f s (%.2f M points/s, %.3f s de processeur), %.1f Mo, %.1f octets par point\n", quoi,
                s, nb / s / 1e6, SecondesProcesseur() - p0, double(PicMemoire() - base) / 1e6,
                double(PicMemoire() - base) / nb);
}

} // namespace

int main(int argc, char** argv) {
    const bool reference = !(argc == 3 && std::string(argv[1]) == "--sans-reference");
    if (argc != 2 && !(argc == 3 && !reference)) {
        std::cerr << "usage : bench_arbre [--sans-reference] FICHIER.xyz\n";
        return 2;
    }
    TNuage modele;
    modele.CooMin = FaireV3S(3.4028235e38f, 3.4028235e38f, 3.4028235e38f);
    modele.CooMax = FaireV3S(-3.4028235e38f, -3.4028235e38f, -3.4028235e38f);
    const std::vector<TPointFichier> points = Lire(argv[argc - 1], modele);
    std::printf("points                     : %zu\n", points.size());

    if (reference) {
        TNuage n;
        Preparer(n, modele);
        Mesurer("point par point", n, points, [&] {
            for (const TPointFichier& p : points) n.InsererPoint(p.X, p.Y, p.Z, p.Couleur);
        });
    }
    TNuage n;
    Preparer(n, modele);
    Mesurer("par tri, sur deux cœurs", n, points, [&] {
        TSourceMemoire source(points);
        ConstruireArbreTrie(n, source);
    });

    const double internes = n.NbCubesNiv[0] + n.NbCubesNiv[1] + n.NbCubesNiv[2] + n.NbCubesNiv[3];
    std::printf("cubes par niveau           : %d %d %d %d %d\n", n.NbCubesNiv[0], n.NbCubesNiv[1],
                n.NbCubesNiv[2], n.NbCubesNiv[3], n.NbCubesNiv[4]);
    std::printf("octets par cube feuille    : %zu + %zu (place dans sa liste)\n", sizeof(TCube), sizeof(IndexCube));
    std::printf("octets par cube interne    : %zu + %zu + %.1f (emplacements)\n", sizeof(TCubeInterne),
                sizeof(IndexCube), double(n.OctetsEmplacements()) / internes);

    n.ChoisirNivAffiche(4);
    int supprimes = 0;
    for (std::size_t k = 0; k < n.CubesAffiches.size(); k += 2, ++supprimes) n.MarquerSupprime(n.CubesAffiches[k], true);
    const auto t0 = Horloge::now();
    n.CompacterNuage();
    std::printf("compactage (%d feuilles)  : %.3f s, %d feuilles restent\n", supprimes, Secondes(t0),
                n.NbCubesNiv[4]);
    return 0;
}
