#include "Document.h"
#include "DonneesPartagees.h"
#include "DossierTemporaire.h"
#include "EcrireScans.h"
#include "LecteurLAS.h"
#include "LectureEssai.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <limits>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

const std::vector<TPointLAS> TroisPoints{
    {-123456, 7, std::numeric_limits<std::int32_t>::max(), 0x1234, 0xFF00, 0x0100, 0x80FF},
    {0, -1, 5, 0xFFFF, 0, 0xFFFF, 0x0100},
    {std::numeric_limits<std::int32_t>::min(), 42, -42, 0x00FF, 0x00FF, 0x7F01, 0}};

std::filesystem::path Partage(const char* nom) {
    return DonneesPartagees("las") / nom;
}

} // namespace

TEST(LecteurLAS, EveryPointFormatOfEveryVersionGivesItsCoordinatesAndColours) {
    struct Cas {
        int mineure, format, enPlus, vlr;
        bool couleur;
    };
    // 1.4 without the legacy count, and bytes after the points that are no points.
    const Cas cas[] = {{0, 0, 0, 0, false}, {1, 1, 3, 54, false}, {2, 2, 0, 0, true},  {2, 3, 5, 10, true},
                       {3, 4, 0, 0, false}, {3, 5, 2, 1, true},   {4, 6, 0, 0, false}, {4, 7, 4, 100, true},
                       {4, 8, 0, 0, true},  {4, 9, 0, 0, false},  {4, 10, 7, 3, true}, {2, 0, 1, 0, false}};
    for (const Cas& c : cas) {
        SCOPED_TRACE(FormatC("LAS 1.%d, format %d", c.mineure, c.format));
        TScanLAS s;
        s.Mineure = c.mineure;
        s.Format = c.format;
        s.OctetsEnPlus = c.enPlus;
        s.OctetsVLR = c.vlr;
        s.CompteAncien = c.mineure < 4;
        s.Echelle[0] = 0.01;
        s.Echelle[2] = 1e-7;
        s.Origine[0] = 652000.5;
        s.Origine[1] = -20.25;
        s.Points = TroisPoints;
        const auto lus = LireOctets(LireLAS, OctetsLAS(s) + std::string(29, '\x01'), "scan.las");
        ASSERT_EQ(lus.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            const TPointLAS& p = TroisPoints[i];
            EXPECT_EQ(lus[i].X, double(p.X) * 0.01 + 652000.5);
            EXPECT_EQ(lus[i].Y, double(p.Y) * 0.001 - 20.25);
            EXPECT_EQ(lus[i].Z, double(p.Z) * 1e-7);
            const int g = p.Intensite >> 8;
            EXPECT_EQ(lus[i].Couleur, c.couleur ? Rvb(p.Rouge >> 8, p.Vert >> 8, p.Bleu >> 8) : Rvb(g, g, g));
        }
    }
}

TEST(LecteurLAS, EightBitValuesStayAsTheyAreUnlessOneValueOfTheFileExceeds255) {
    for (const int format : {3, 1}) {
        TScanLAS s;
        s.Format = format;
        s.Points = {{1, 2, 3, 200, 255, 0, 17}, {4, 5, 6, 7, 1, 254, 255}};
        auto lus = LireOctets(LireLAS, OctetsLAS(s), "scan.las");
        EXPECT_EQ(lus[1].Couleur, format == 3 ? Rvb(1, 254, 255) : Rvb(7, 7, 7));
        // One value of 256 in the last record: the whole file is 16-bit.
        s.Points.push_back({7, 8, 9, 256, 0, 0, 256});
        lus = LireOctets(LireLAS, OctetsLAS(s), "scan.las");
        EXPECT_EQ(lus[1].Couleur, Rvb(0, 0, 0));
        EXPECT_EQ(lus[2].Couleur, format == 3 ? Rvb(0, 0, 1) : Rvb(1, 1, 1));
    }
}

TEST(LecteurLAS, ForgedOrCutFilesAreRefusedNamingTheFault) {
    TScanLAS s;
    s.Points = TroisPoints;
    const std::string bon = OctetsLAS(s);
    // Bytes written at a position, then the file cut to a size.
    const struct {
        std::size_t position;
        std::string octets;
        std::size_t taille;
        std::string attendu;
    } cas[] = {
        {0, "", 0, "signature « LASF » absente : ce n'est pas un fichier LAS"},
        {0, "l", bon.size(), "signature « LASF » absente : ce n'est pas un fichier LAS"},
        {0, "", 200, "fichier tronqué dans l'en-tête : 200 octets sur 227"},
        {24, "\x02", bon.size(), "version LAS 2.2 inconnue, les versions 1.0 à 1.4 sont lues"},
        {25, "\x05", bon.size(), "version LAS 1.5 inconnue, les versions 1.0 à 1.4 sont lues"},
        {94, "\x64", bon.size(), "en-tête de 100 octets annoncé, la version 1.2 en a au moins 227"},
        {96, std::string(1, '\0'), bon.size(), "début des points à l'octet 0, hors du fichier ou dans l'en-tête"},
        {98, "\x01", bon.size(), "début des points à l'octet 65763, hors du fichier ou dans l'en-tête"},
        {104, "\x0B", bon.size(), "format de point 11 inconnu, les formats 0 à 10 sont lus"},
        {104, "\x82", bon.size(), TexteLAZ},
        {105, "\x19", bon.size(), "enregistrements de 25 octets, trop courts pour le format de point 2 (26 au moins)"},
        {107, "\x04", bon.size(), "fichier tronqué : 4 points annoncés, 3 présents"},
        {110, "\x80", bon.size(), "fichier tronqué : 2147483651 points annoncés, 3 présents"},
        {0, "", bon.size() - 1, "fichier tronqué : 3 points annoncés, 2 présents"},
        {137, "\xF0\x7F", bon.size(), "échelle ou origine non finie sur l'axe X"},
    };
    for (const auto& c : cas) {
        std::string o = bon;
        o.replace(c.position, c.octets.size(), c.octets);
        o.resize(c.taille);
        EXPECT_EQ(RefusOctets(LireLAS, o, "scan.las"), c.attendu);
    }
}

TEST(LecteurLAS, RealFilesOfOtherSoftware) {
    if (!std::filesystem::exists(Partage("lion_r.las"))) GTEST_SKIP() << "fichiers LAS partagés absents";
    // The lion's first tile: the first points of the shared text scan, made from it with colours / 256.
    const auto lion = LireAvec(LireLAS, Partage("lion_r.las"));
    ASSERT_EQ(lion.size(), 5202u);
    std::ifstream texte(DonneesPartagees("lion_takanawa.xyz"));
    for (const TPointLu& p : lion) {
        double x, y, z;
        int r, v, b;
        texte >> x >> y >> z >> r >> v >> b;
        ASSERT_NEAR(p.X, x, 1e-9);
        ASSERT_NEAR(p.Y, y, 1e-9);
        ASSERT_NEAR(p.Z, z, 1e-9);
        ASSERT_EQ(p.Couleur, Rvb(r, v, b));
    }
    // 1.4, format 7, with bytes after the points.
    EXPECT_EQ(LireAvec(LireLAS, Partage("simple1_4.las")).size(), 22600u);

    // Far from the origin: the document keeps true coordinates through the shift.
    const auto loin = LireAvec(LireLAS, Partage("test1_4.las"));
    TDocument doc;
    ASSERT_TRUE(doc.OuvrirFichier(Partage("test1_4.las"))) << doc.DerniereErreur;
    EXPECT_EQ(doc.NbPts, 1000);
    EXPECT_EQ(doc.Decalage[1], 1694000.0);
    const double minX = std::ranges::min_element(loin, {}, &TPointLu::X)->X;
    EXPECT_NEAR(double(doc.Nuage.CooMin[1]) + doc.Decalage[1], minX, 1e-4);
    EXPECT_LT(doc.Nuage.CooMax[1] - doc.Nuage.CooMin[1], 2000.0f);

    EXPECT_FALSE(doc.OuvrirFichier(Partage("simple.laz")));
    EXPECT_EQ(doc.DerniereErreur, "fichier « " + Partage("simple.laz").string() + " » : " + TexteLAZ);
}

TEST(LecteurLAS, ACompressedFileIsRefusedWhateverItHolds) {
    TDossierTemporaire dossier;
    TScanLAS s;
    s.Points = TroisPoints;
    const auto nom = dossier.Ecrire("scan.LAZ", OctetsLAS(s));
    TDocument doc;
    EXPECT_FALSE(doc.OuvrirFichier(nom));
    EXPECT_EQ(doc.DerniereErreur, "fichier « " + nom.string() + " » : " + TexteLAZ);
}
