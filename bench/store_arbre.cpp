// Builds the cube tree of a scan from 16-byte point records streamed from a file, as an open does,
// and reports speed and memory; then deletes every other leaf and times the compaction.
//   bench_arbre FICHIER.xyz   (e.g. from tessarc-genvoute --points 5000000)

#include "Nombres.h"
#include "UTessarcGlb.h"
#include "memoire.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

using namespace tessarc;
using namespace tessarc::bench;
using Horloge = std::chrono::steady_clock;

namespace {

struct Enreg {
    float x, y, z;
    std::uint8_t c[4];
};

double Secondes(Horloge::time_point t0) {
    return std::chrono::duration<double>(Horloge::now() - t0).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage : bench_arbre FICHIER.xyz\n";
        return 2;
    }
    const std::string tmp = std::string(argv[1]) + ".bench.tmp";
    TNuage n;
    n.NivMax = 4;
    n.CooMin = FaireV3S(3.4028235e38f, 3.4028235e38f, 3.4028235e38f);
    n.CooMax = FaireV3S(-3.4028235e38f, -3.4028235e38f, -3.4028235e38f);
    long long nb = 0;
    {
        std::ifstream in(argv[1]);
        std::ofstream out(tmp, std::ios::binary);
        std::string ligne;
        std::vector<Enreg> tampon;
        while (std::getline(in, ligne)) {
            std::string_view v = ligne;
            Enreg e{};
            float* coo[3] = {&e.x, &e.y, &e.z};
            for (int a = 1; a <= 3; ++a) {
                *coo[a - 1] = static_cast<float>(ExtraireReelVue(v));
                n.CooMin[a] = std::min(n.CooMin[a], *coo[a - 1]);
                n.CooMax[a] = std::max(n.CooMax[a], *coo[a - 1]);
            }
            for (int k = 0; k < 3; ++k) e.c[k] = static_cast<std::uint8_t>(ExtraireEntierVue(v));
            tampon.push_back(e);
            if (tampon.size() == 65536) {
                out.write(reinterpret_cast<const char*>(tampon.data()),
                          static_cast<std::streamsize>(tampon.size() * 16));
                tampon.clear();
            }
            ++nb;
        }
        out.write(reinterpret_cast<const char*>(tampon.data()),
                  static_cast<std::streamsize>(tampon.size() * 16));
    }
    (void)n.CalculerEtendue();
    n.DimensionnerGrille();

    RemettrePicAZero();
    const long long base = MemoireCourante();
    auto t0 = Horloge::now();
    {
        std::ifstream in(tmp, std::ios::binary);
        std::vector<Enreg> tampon(65536);
        while (in) {
            in.read(reinterpret_cast<char*>(tampon.data()), static_cast<std::streamsize>(tampon.size() * 16));
            const auto lus = static_cast<std::size_t>(in.gcount()) / 16;
            for (std::size_t i = 0; i < lus; ++i) {
                const Enreg& e = tampon[i];
                n.InsererPoint(e.x, e.y, e.z, TV4By{{e.c[0], e.c[1], e.c[2], e.c[3]}});
            }
        }
    }
    const double tArbre = Secondes(t0);
    t0 = Horloge::now();
    n.CalculerMoyennesRacines();
    const double tMoyennes = Secondes(t0);
    const long long pic = PicMemoire();
    std::remove(tmp.c_str());

    const double internes = n.NbCubesNiv[0] + n.NbCubesNiv[1] + n.NbCubesNiv[2] + n.NbCubesNiv[3];
    std::printf("points                     : %lld\n", nb);
    std::printf("cubes par niveau           : %d %d %d %d %d\n", n.NbCubesNiv[0], n.NbCubesNiv[1],
                n.NbCubesNiv[2], n.NbCubesNiv[3], n.NbCubesNiv[4]);
    std::printf("construction de l'arbre    : %.3f s (%.2f M points/s)\n", tArbre, nb / tArbre / 1e6);
    std::printf("moyennes                   : %.3f s\n", tMoyennes);
    std::printf("pic mémoire du processus   : %.1f Mo, %.1f octets par point\n", pic / 1e6, double(pic) / nb);
    std::printf("mémoire de l'arbre         : %.1f Mo, %.1f octets par point\n", (pic - base) / 1e6,
                double(pic - base) / nb);
    std::printf("octets par cube feuille    : %zu\n", sizeof(TCube));
    std::printf("octets par cube interne    : %.1f (cube + emplacements)\n",
                sizeof(TCube) + double(n.OctetsEmplacements()) / internes);

    n.ChoisirNivAffiche(4);
    int supprimes = 0;
    for (std::size_t k = 0; k < n.CubesAffiches.size(); k += 2, ++supprimes)
        n.MarquerSupprime(n.CubesAffiches[k], true);
    t0 = Horloge::now();
    n.CompacterNuage();
    std::printf("compactage (%d feuilles)  : %.3f s, %d feuilles restent\n", supprimes, Secondes(t0),
                n.NbCubesNiv[4]);
    return 0;
}
