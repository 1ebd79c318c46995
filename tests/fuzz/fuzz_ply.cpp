// The PLY reader on any bytes. An input that starts with "ply" is the file itself; any other input
// chooses with its first bytes an encoding and the types of a vertex element (after an element with a
// list), and the rest are the data. Without a list, a binary file gives every vertex its data fill,
// unless a real coordinate is not finite.

#include "EcrireScans.h"
#include "LecteurPLY.h"
#include "LectureFuzz.h"

#include <cstring>

using namespace tessarc;

namespace {

constexpr const char* Types[] = {"char", "uchar", "short", "ushort", "int", "uint", "float", "double"};
constexpr std::size_t Tailles[] = {1, 1, 2, 2, 4, 4, 4, 8};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (taille >= 3 && std::memcmp(donnees, "ply", 3) == 0) {
        static_cast<void>(fuzz::Lire(LirePLY, "entree.ply", donnees, taille));
        return 0;
    }
    if (taille < 8) return 0;
    const auto enc = static_cast<essais::EEncodagePLY>(donnees[0] % 3);
    const bool liste = donnees[1] % 2 == 1;
    const bool avant = donnees[1] / 2 % 2 == 1;
    essais::TElementPLY sommets{"vertex", {}, {}, 0};
    std::size_t longueur = 0;
    const char* const noms[] = {"x", "y", "z", "red", "green", "blue"};
    for (std::size_t k = 0; k < 6; ++k) {
        sommets.Proprietes.push_back(std::string(Types[donnees[2 + k] % 8]) + " " + noms[k]);
        longueur += Tailles[donnees[2 + k] % 8];
    }
    if (liste) sommets.Proprietes.emplace_back("list uchar short normales");
    const std::size_t reste = taille - 8;
    sommets.Nombre = liste || enc == essais::EEncodagePLY::Ascii ? 1 + reste / 8 : reste / longueur;
    std::vector<essais::TElementPLY> elements{sommets};
    if (avant) elements.insert(elements.begin(), essais::TElementPLY{"face", {"list uchar int vertex_indices"}, {}, 2});
    std::string octets = essais::EntetePLY(enc, elements);
    octets.append(reinterpret_cast<const char*>(donnees + 8), reste);
    const auto lus = fuzz::Lire(LirePLY, "entree.ply", reinterpret_cast<const std::uint8_t*>(octets.data()), octets.size());
    // Real coordinates may be NaN or infinite, which refuses the file.
    const bool reels = donnees[2] % 8 >= 6 || donnees[3] % 8 >= 6 || donnees[4] % 8 >= 6;
    const bool complet = !liste && !avant && enc != essais::EEncodagePLY::Ascii;
    if (complet && (lus ? *lus != static_cast<std::int64_t>(sommets.Nombre) : !reels)) std::abort();
    return 0;
}
