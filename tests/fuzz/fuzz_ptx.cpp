// The PTX reader on any bytes, as they are and after the header of a 3 × 2 scan so that the fuzzer
// reaches the point lines at once: it must read or refuse, never crash, leak or hold more than its
// buffers.

#include "LecteurPTX.h"
#include "LectureFuzz.h"

#include <string>

using namespace tessarc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static_cast<void>(fuzz::Lire(LirePTX, "entree.ptx", donnees, taille));
    std::string scan = "3\n2\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n0 1 0 0\n-1 0 0 0\n0 0 2 0\n1e6 -5 0.5 1\n";
    scan.append(reinterpret_cast<const char*>(donnees), taille);
    static_cast<void>(fuzz::Lire(LirePTX, "entree.ptx", reinterpret_cast<const std::uint8_t*>(scan.data()), scan.size()));
    return 0;
}
