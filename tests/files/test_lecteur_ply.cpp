#include "DossierTemporaire.h"
#include "EcrireScans.h"
#include "LecteurPLY.h"
#include "LectureEssai.h"

#include <gtest/gtest.h>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

constexpr EEncodagePLY Encodages[] = {EEncodagePLY::Ascii, EEncodagePLY::Petit, EEncodagePLY::Grand};

std::vector<TPointLu> Lire(const std::string& octets) { return LireOctets(LirePLY, octets, "scan.ply"); }

const std::string Debut = "ply\nformat ascii 1.0\n";

} // namespace

TEST(LecteurPLY, TheThreeEncodingsReadTheVerticesOfAnyTypePassingOverListsAndOtherElements) {
    const std::vector<TElementPLY> elements{
        {"camera", {"float view_px", "list uchar float extra"}, {{1.5, 2, 7, 8}}},
        {"vertex",
         {"double x", "float y", "int z", "list ushort float normales", "uchar red", "ushort green", "float blue",
          "short confidence", "float x"},
         {{1.25, -3.5, -7, 2, 0.5, 0.25, 200, 0xABCD, 0.5, -3, 999},
          {652341.123456789, 0.375, 2147483647, 0, 0, 255, 1.7, 5, 999},
          {1e-300, -1048576.5, -2147483648.0, 1, 3, 255, 65535, -0.2, 0, 999}}},
        {"face", {"list uchar int vertex_indices"}, {{3, 0, 1, 2}, {4, 0, 1, 2, 0}}}};
    for (const EEncodagePLY enc : Encodages) {
        SCOPED_TRACE(static_cast<int>(enc));
        const auto lus = Lire(OctetsPLY(enc, elements));
        ASSERT_EQ(lus.size(), 3u);
        const TPointLu attendus[] = {{1.25, -3.5, -7, Rvb(200, 0xAB, 128)},
                                     {652341.123456789, 0.375, 2147483647, Rvb(0, 0, 255)},
                                     {1e-300, -1048576.5, -2147483648.0, Rvb(255, 255, 0)}};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(lus[i].X, attendus[i].X);
            EXPECT_EQ(lus[i].Y, attendus[i].Y);
            EXPECT_EQ(lus[i].Z, attendus[i].Z);
            EXPECT_EQ(lus[i].Couleur, attendus[i].Couleur);
        }
    }
}

TEST(LecteurPLY, WithoutColourAVertexIsBlackAndOtherColourTypesAreKeptWithin0To255) {
    for (const EEncodagePLY enc : Encodages) {
        const auto noirs = Lire(OctetsPLY(enc, {{"vertex", {"char x", "uint y", "short z"}, {{-5, 4000000000.0, -300}}}}));
        ASSERT_EQ(noirs.size(), 1u);
        EXPECT_EQ(noirs[0].X, -5.0);
        EXPECT_EQ(noirs[0].Y, 4000000000.0);
        EXPECT_EQ(noirs[0].Z, -300.0);
        EXPECT_EQ(noirs[0].Couleur, Rvb(0, 0, 0));
        const auto autres = Lire(OctetsPLY(
            enc, {{"vertex", {"float x", "float y", "float z", "int red", "char green", "double blue"}, {{0, 0, 0, 300, -5, 0.998}}}}));
        EXPECT_EQ(autres[0].Couleur, Rvb(255, 0, 254));
    }
}

TEST(LecteurPLY, BadHeadersAndDataShorterThanAnnouncedAreRefused) {
    const std::string sommets = "element vertex 3\nproperty float x\nproperty float y\nproperty float z\nend_header\n";
    const std::string binaire = OctetsPLY(EEncodagePLY::Petit, {{"vertex", {"float x", "float y", "float z"}, {{1, 2, 3}, {4, 5, 6}}}});
    const std::string listes = OctetsPLY(EEncodagePLY::Grand, {{"vertex", {"list char int l", "float x", "float y", "float z"}, {{-1, 1, 2, 3}}}});
    const struct {
        std::string octets;
        const char* attendu;
    } cas[] = {
        {"", "« ply » absent en tête : ce n'est pas un fichier PLY"},
        {"ply\nformat ascii 2.0\n", "en-tête PLY, ligne 2 : « format ascii 1.0 » ou « format binary_little_endian 1.0 » attendu"},
        {"ply\nformat binary_middle_endian 1.0\n", "en-tête PLY, ligne 2 : encodage « binary_middle_endian » inconnu"},
        {Debut + "element vertex 1\nproperty float128 x\n", "en-tête PLY, ligne 4 : type « float128 » inconnu"},
        {Debut + "property float x\n", "en-tête PLY, ligne 3 : propriété avant tout élément"},
        {Debut + "elemnt vertex 1\n", "en-tête PLY, ligne 3 : mot « elemnt » inconnu"},
        {Debut + "element vertex -1\n", "en-tête PLY, ligne 3 : nombre d'éléments « -1 » illisible"},
        {Debut + "element vertex 99999999999999999999\n", "en-tête PLY, ligne 3 : nombre d'éléments « 99999999999999999999 » illisible"},
        {Debut + "element face 1\nproperty list float int v\n", "en-tête PLY, ligne 4 : le nombre d'une liste doit être entier"},
        {Debut + "element face 1\nproperty list uchar int v\nend_header\n3 0 1 2\n", "en-tête PLY, ligne 5 : aucun élément « vertex »"},
        {Debut + "element vertex 1\nproperty float x\nproperty float y\nproperty list uchar float z\nend_header\n",
         "en-tête PLY, ligne 7 : les sommets n'ont pas de coordonnée z"},
        {"ply\n" + sommets, "en-tête PLY, ligne 6 : ligne « format » absente"},
        {Debut + "element vertex 1\nproperty float x\n", "en-tête PLY sans « end_header » (tronqué, ou de plus d'un mégaoctet)"},
        {Debut + sommets + "1 2 3\n4 5 6\n", "fichier tronqué : 3 éléments « vertex » annoncés, lus 2"},
        {Debut + sommets + "1 2 3\n4 5 x\n", "ligne 9 : valeur « x » illisible"},
        {Debut + "element vertex 1\nproperty list uchar int l\nproperty float x\nproperty float y\nproperty float z\nend_header\n2.5 1 2 3 4\n",
         "ligne 9 : liste de 2.5 valeurs : nombre impossible"},
        {binaire.substr(0, binaire.find("element vertex 2")) + "element vertex 3" + binaire.substr(binaire.find("element vertex 2") + 16),
         "fichier tronqué : 3 éléments « vertex » annoncés, place pour 2"},
        {binaire.substr(0, binaire.size() - 1), "fichier tronqué : 2 éléments « vertex » annoncés, place pour 1"},
        {listes, "liste de -1 valeurs : nombre impossible"},
        {listes.substr(0, listes.size() - 13) + '\x7F' + std::string(12, '\0'), "fichier tronqué"},
    };
    for (const auto& c : cas) EXPECT_EQ(RefusOctets(LirePLY, c.octets, "scan.ply"), c.attendu) << c.octets;
}
