// The LAS reader on any bytes. An input that starts with the signature is the file itself, so that the
// fuzzer forges headers; any other input chooses a version, a point format and extra bytes with its
// first bytes, and the rest are the records of a well-formed file, every one of which must be read.

#include "EcrireScans.h"
#include "LecteurLAS.h"
#include "LectureFuzz.h"

#include <cstring>

using namespace tessarc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (taille >= 4 && std::memcmp(donnees, "LASF", 4) == 0) {
        static_cast<void>(fuzz::Lire(LireLAS, "entree.las", donnees, taille));
        return 0;
    }
    if (taille < 3) return 0;
    essais::TScanLAS s;
    s.Mineure = donnees[0] % 5;
    s.Format = donnees[1] % 11;
    s.OctetsEnPlus = donnees[2] % 8;
    s.OctetsVLR = donnees[2] / 8;
    s.CompteAncien = s.Mineure < 4 || donnees[0] % 2 == 0;
    static constexpr std::size_t Tailles[] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};
    const std::size_t longueur = Tailles[s.Format] + static_cast<std::size_t>(s.OctetsEnPlus);
    const std::size_t n = (taille - 3) / longueur;
    std::string octets = essais::EnteteLAS(s, n);
    octets.append(reinterpret_cast<const char*>(donnees + 3), n * longueur);
    const auto lus = fuzz::Lire(LireLAS, "entree.las", reinterpret_cast<const std::uint8_t*>(octets.data()), octets.size());
    if (lus != static_cast<std::int64_t>(n)) std::abort();
    return 0;
}
