// The PLY reader on any bytes: as they are, so that the fuzzer forges headers, and as the data of a
// header with lists and types of every size, in the encoding the first byte chooses, so that it reaches
// the data at once. It must read or refuse, never crash or leak.

#include "LecteurPLY.h"
#include "LectureFuzz.h"

#include <string>

using namespace tessarc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static_cast<void>(fuzz::Lire(LirePLY, "entree.ply", donnees, taille));
    if (taille == 0) return 0;
    static const char* const Encodages[] = {"ascii", "binary_little_endian", "binary_big_endian"};
    std::string ply = std::string("ply\nformat ") + Encodages[donnees[0] % 3] +
                      " 1.0\nelement face 1\nproperty list uchar int v\nelement vertex 3\nproperty double x\n"
                      "property short y\nproperty float z\nproperty list char ushort n\nproperty ushort red\n"
                      "property uchar green\nproperty float blue\nproperty uint8 alpha\nend_header\n";
    ply.append(reinterpret_cast<const char*>(donnees + 1), taille - 1);
    static_cast<void>(fuzz::Lire(LirePLY, "entree.ply", reinterpret_cast<const std::uint8_t*>(ply.data()), ply.size()));
    return 0;
}
