#include "DossierTemporaire.h"
#include "LecteurXYZ.h"
#include "LectureEssai.h"
#include "PointFichier.h"
#include "UtilisateurEspion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

TLigneXYZ Ligne(double x, double y, double z, int r, int g, int b) {
    TLigneXYZ l;
    l.X = x;
    l.Y = y;
    l.Z = z;
    l.Couleur = Rvb(r, g, b);
    return l;
}

struct TConversion {
    std::vector<TPointFichier> Points;
    TV3S Min, Max;
    std::int64_t NbPts = 0;
};

TConversion Convertir(const TDossierTemporaire& dossier, const std::string& texte, std::size_t tampon,
                      IProgression& progression) {
    EcrireFichier(dossier / "scan.xyz", texte);
    TFichier entree(dossier / "scan.xyz", TFichier::EMode::Lecture);
    TFichier temporaire = TFichier::Temporaire(dossier / "scan.xyz");
    TSortiePoints sortie(dossier / "scan.xyz", temporaire);
    ConvertirTexteEnPoints(entree, sortie, progression, tampon);
    sortie.Terminer();
    TConversion c;
    c.NbPts = sortie.Nombre();
    c.Points.resize(static_cast<std::size_t>(c.NbPts));
    TSourceTemporaire source(temporaire, dossier / "scan.xyz", c.NbPts, TV3R{});
    EXPECT_EQ(source.Lire(c.Points), c.Points.size());
    for (int a = 1; a <= 3; ++a) {
        c.Min[a] = static_cast<float>(sortie.Min()[a]);
        c.Max[a] = static_cast<float>(sortie.Max()[a]);
    }
    return c;
}

TConversion Convertir(const TDossierTemporaire& dossier, const std::string& texte,
                      std::size_t tampon = 1 << 16) {
    ProgressionMuette muette;
    return Convertir(dossier, texte, tampon, muette);
}

} // namespace

TEST(LireLigneXYZ, ReadsTheOddLinesAsTheFieldReadersDo) {
    struct Cas {
        const char* ligne;
        TLigneXYZ attendu;
    };
    const Cas cas[] = {
        {"1.5 2.25 3 10 20 30", Ligne(1.5, 2.25, 3, 10, 20, 30)},
        {"1.5 2.25 3", Ligne(1.5, 2.25, 3, 0, 0, 0)},
        {"1,5 2 3", Ligne(0, 2, 3, 0, 0, 0)},             // decimal comma
        {"1\t2\t3\t4\t5\t6", Ligne(0, 0, 0, 0, 0, 0)},    // tabs do not separate
        {"1,2,3,4,5,6", Ligne(0, 0, 0, 0, 0, 0)},         // nor commas
        {"1 2 3 300 -1 256", Ligne(1, 2, 3, 44, 255, 0)}, // colours modulo 256
        {"1 2 3 255.0 7 8", Ligne(1, 2, 3, 0, 7, 8)},     // a colour must be an integer
        {" 7 8 9 1 2 3", Ligne(0, 7, 8, 9, 1, 2)},        // a leading space is an empty first field
        {"", Ligne(0, 0, 0, 0, 0, 0)},
        {"1   \t 2\t 3 4 5 6 7 8", Ligne(1, 2, 3, 4, 5, 6)}, // blanks after a space are one separator
        {"1. .5 -2e1 +3 +4 -0", Ligne(1, 0.5, -20, 3, 4, 0)},
        {"nan inf 0x10 1 2 3", Ligne(0, 0, 0, 1, 2, 3)},
        {"1e400 -1e-400 1e2 2147483648 -2147483648 3", Ligne(0, -0.0, 100, 0, 0, 3)},
        {"1\r2 3 4", Ligne(0, 3, 4, 0, 0, 0)}, // a lone CR does not end the line
    };
    for (const Cas& c : cas) {
        EXPECT_TRUE(Memes(LireLigneXYZ(c.ligne), c.attendu)) << '"' << c.ligne << '"';
        EXPECT_TRUE(Memes(LireLigneXYZSimple(c.ligne), c.attendu)) << '"' << c.ligne << '"';
    }
}

TEST(LireLigneXYZ, OnePassReadingEqualsFieldByFieldOnRandomLines) {
    std::mt19937_64 alea(12345);
    const char* morceaux[] = {"0", "1", "9", ".", "-", "+", "e", "E", " ", " ", " ", "\t", "\r", "x", ","};
    auto nombre = [&](std::string& s) {
        std::uniform_int_distribution<int> d(0, 5);
        switch (d(alea)) {
        case 0:
            s += std::to_string(std::uniform_int_distribution<int>(-300, 300)(alea));
            break;
        case 1: {
            char t[64];
            std::snprintf(t, sizeof t, "%.*f", std::uniform_int_distribution<int>(0, 12)(alea),
                          std::uniform_real_distribution<double>(-1e4, 1e4)(alea));
            s += t;
            break;
        }
        case 2: {
            char t[64];
            std::snprintf(t, sizeof t, "%.*e", std::uniform_int_distribution<int>(0, 20)(alea),
                          std::uniform_real_distribution<double>(-1e3, 1e3)(alea) *
                              std::pow(10.0, std::uniform_int_distribution<int>(-40, 40)(alea)));
            s += t;
            break;
        }
        case 3:
            s += std::to_string(alea());
            break; // more digits than the one-pass reading takes
        default:
            for (int k = std::uniform_int_distribution<int>(0, 4)(alea); k > 0; --k)
                s += morceaux[std::uniform_int_distribution<std::size_t>(0, std::size(morceaux) - 1)(alea)];
        }
    };
    for (int i = 0; i < 200000; ++i) {
        std::string l;
        for (int k = std::uniform_int_distribution<int>(0, 8)(alea); k > 0; --k) {
            nombre(l);
            l += std::uniform_int_distribution<int>(0, 9)(alea) == 0 ? "  " : " ";
        }
        ASSERT_TRUE(Memes(LireLigneXYZ(l), LireLigneXYZSimple(l))) << '"' << l << '"';
    }
}

TEST(ConvertirTexteEnPoints, CutsLinesAtLFDropsCRAndAddsNoLineAfterTheLastLineEnd) {
    TDossierTemporaire dossier;
    auto c = Convertir(dossier, "1 2 3 4 5 6\r\n\n-1 -2 -0.5\n");
    ASSERT_EQ(c.NbPts, 3);
    EXPECT_EQ(c.Points[0].X, 1.0f);
    EXPECT_EQ(c.Points[0].Couleur, (TV4By{{4, 5, 6, 0}}));
    EXPECT_EQ(c.Points[1].X, 0.0f); // the empty line is the point (0, 0, 0)
    EXPECT_EQ(c.Points[2].Z, -0.5f);
    EXPECT_EQ(c.Min, FaireV3S(-1, -2, -0.5f));
    EXPECT_EQ(c.Max, FaireV3S(1, 2, 3)); // the empty line widened the box to the origin
    EXPECT_EQ(Convertir(dossier, "1 2 3").NbPts, 1);
    EXPECT_EQ(Convertir(dossier, "1 2 3\n\n").NbPts, 2);
    EXPECT_EQ(Convertir(dossier, "\n").NbPts, 1);
    EXPECT_EQ(Convertir(dossier, "").NbPts, 0);
}

TEST(ConvertirTexteEnPoints, GivesTheRecordsOfALineByLineReadingWhateverTheBufferSize) {
    // Blocks of whole lines are cut in pieces that two threads parse: the records must stay those of
    // reading the lines one by one, in order, for buffers from two bytes to several pieces a block.
    TDossierTemporaire dossier;
    std::string texte;
    std::mt19937 alea(7);
    for (int i = 0; i < 12000; ++i) {
        texte += std::to_string(alea() % 1000) + "." + std::to_string(alea() % 1000) + " " +
                 std::to_string(alea() % 100) + " " + std::string(alea() % 40, ' ') + "2.5 1 2 3";
        texte += (alea() % 3 == 0) ? "\r\n" : "\n";
    }
    texte += "9 9 9"; // no line end at the end
    std::vector<TPointFichier> attendus;
    for (std::size_t debut = 0; debut <= texte.size();) {
        const std::size_t lf = std::min(texte.find('\n', debut), texte.size());
        std::string ligne = texte.substr(debut, lf - debut);
        if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();
        const TLigneXYZ l = LireLigneXYZ(ligne);
        attendus.push_back({static_cast<float>(l.X), static_cast<float>(l.Y), static_cast<float>(l.Z), l.Couleur});
        debut = lf + 1;
    }
    ASSERT_EQ(attendus.size(), 12001u);
    for (std::size_t tampon : {2u, 3u, 7u, 16u, 61u, 4096u, 1u << 16, 1u << 22}) {
        const auto c = Convertir(dossier, texte, tampon);
        ASSERT_EQ(c.Points.size(), attendus.size()) << tampon;
        ASSERT_EQ(std::memcmp(c.Points.data(), attendus.data(), c.Points.size() * sizeof(TPointFichier)), 0)
            << tampon;
    }
}

TEST(ConvertirTexteEnPoints, RefusesACoordinateBeyondSinglePrecisionOrAnEndlessLineAndNamesThem) {
    TDossierTemporaire dossier;
    try {
        Convertir(dossier, "1 2 3\n4 5 1e39\n");
        FAIL() << "fichier accepté";
    } catch (const std::runtime_error& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("scan.xyz"), std::string::npos) << m;
        EXPECT_NE(m.find("ligne 2"), std::string::npos) << m;
        EXPECT_NE(m.find("simple précision"), std::string::npos) << m;
    }
    // The largest single still reads, and a value beyond the double range reads as 0.
    EXPECT_EQ(Convertir(dossier, "3.4028234e38 1e309 0").Points[0].Y, 0.0f);
    // A file without line ends is not held in memory whole.
    std::string sansFin(TLignesTexte::TailleTamponDefaut + 1, '7');
    EXPECT_THROW(
        {
            try {
                Convertir(dossier, "1 2 3\n" + sansFin, 4096);
            } catch (const std::runtime_error& e) {
                EXPECT_NE(std::string(e.what()).find("scan.xyz"), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find("ce n'est pas un fichier texte de points"), std::string::npos);
                throw;
            }
        },
        std::runtime_error);
    sansFin.resize(TLignesTexte::TailleTamponDefaut - 8);
    EXPECT_EQ(Convertir(dossier, "1 2 3\n" + sansFin + " 1 2", 4096).NbPts, 2);
}

TEST(ConvertirTexteEnPoints, ReportsProgressEveryHundredthOfTheFile) {
    TDossierTemporaire dossier;
    std::string texte;
    for (int i = 0; i < 1000; ++i) texte += "1.2345678 2.3456789 3.4567890 100 110 120\n"; // 42 bytes a line
    TUtilisateurEspion espion;
    const auto c = Convertir(dossier, texte, 1 << 16, espion);
    // pas = 42000 div 3900 = 10 lines.
    ASSERT_EQ(espion.Textes.size(), 100u);
    EXPECT_EQ(espion.Textes.front(), "lecture : 1%");
    EXPECT_EQ(espion.Textes.back(), "lecture : 100%");
    EXPECT_EQ(c.NbPts, 1000);
}
