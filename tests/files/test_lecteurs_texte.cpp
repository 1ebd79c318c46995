#include "LecteurPTS.h"
#include "LecteurPTX.h"
#include "LectureEssai.h"

#include <gtest/gtest.h>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

struct TAttendu {
    double X, Y, Z;
    int R, V, B;
};

void Verifier(TLecteurPoints lecteur, const std::string& texte, const std::vector<TAttendu>& attendus) {
    const auto lus = LireOctets(lecteur, texte);
    ASSERT_EQ(lus.size(), attendus.size()) << texte;
    for (std::size_t i = 0; i < lus.size(); ++i) {
        const TAttendu& a = attendus[i];
        EXPECT_EQ(lus[i].X, a.X) << "point " << i;
        EXPECT_EQ(lus[i].Y, a.Y) << "point " << i;
        EXPECT_EQ(lus[i].Z, a.Z) << "point " << i;
        EXPECT_EQ(lus[i].Couleur, Rvb(a.R, a.V, a.B)) << "point " << i;
    }
}

} // namespace

TEST(LecteurPTS, TheFourFormsOfLineAndCloudsOneAfterAnother) {
    Verifier(LirePTS,
             "\n  6\r\n"
             "1.5 -2.25 3e2\n"
             "1 2 3 -2048\n"
             "1 2 3 -1783\n" // 16.52: rounded, not cut
             "1 2 3\t0\n" // (0 + 2048) × 255 / 4095 = 127.53
             "\n"
             "1 2 3 2047 \n"
             "4 5 6 10 20.5 300\n"
             "2\n"
             "7 8 9 -9999 0.4 254.5 -3\n" // the colour wins; out of range values are kept within 0..255
             "-0 0 1 9999\n",
             {{1.5, -2.25, 300, 0, 0, 0},
              {1, 2, 3, 0, 0, 0},
              {1, 2, 3, 17, 17, 17},
              {1, 2, 3, 128, 128, 128},
              {1, 2, 3, 255, 255, 255},
              {4, 5, 6, 10, 21, 255},
              {7, 8, 9, 0, 255, 0},
              {-0.0, 0, 1, 255, 255, 255}});
}

TEST(LecteurPTX, ScansOneAfterAnotherThroughTheirMatricesWithoutTheMissingPoints) {
    const std::string scan1 = "2\n2\n"
                              "0 0 0\n1 0 0\n0 1 0\n0 0 1\n"
                              "1 0 0 0\n0 1 0 0\n0 0 1 0\n100 200 300 1\n"
                              "1 2 3 0.5\n"
                              "0 0 0 0.5\n" // missed by the scanner
                              "4 5 6 0.2 10 20 30\n"
                              "-1 -1 -1 1.5\n";
    // A quarter turn about Z: row vectors, so x' = -y + 10 and y' = x.
    const std::string scan2 = "\n1\n2\n"
                              "10 0 0\n0 1 0\n-1 0 0\n0 0 1\n"
                              "0 1 0 0\n-1 0 0 0\n0 0 1 0\n10 0 0.25 1\n"
                              "1 2 3 0.002\n"
                              "0.5 0 0 0\n";
    Verifier(LirePTX, scan1 + scan2,
             {{101, 202, 303, 128, 128, 128},
              {104, 205, 306, 10, 20, 30},
              {99, 199, 299, 255, 255, 255},
              {8, 1, 3.25, 1, 1, 1},
              {10, 0.5, 0.25, 0, 0, 0}});
}

TEST(LecteursTexte, CountsThatDisagreeOddLinesAndBadHeadersAreRefusedNamingTheLine) {
    const std::string entete = "0 0 0\n1 0 0\n0 1 0\n0 0 1\n1 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\n";
    const struct {
        TLecteurPoints lecteur;
        std::string texte;
        const char* attendu;
    } cas[] = {
        {LirePTS, "5\n1 2 3\n", "fichier tronqué : 5 points annoncés, 1 lus"},
        {LirePTS, "1\n1 2 3\n4 5 6\n", "ligne 3 : 1 points annoncés, cette ligne en donne un de plus"},
        {LirePTS, "1 2 3\n", "ligne 1 : le nombre de points est attendu ici, seul sur sa ligne"},
        {LirePTS, "2.5\n", "ligne 1 : le nombre de points est attendu ici, seul sur sa ligne"},
        {LirePTS, "-1\n", "ligne 1 : le nombre de points est attendu ici, seul sur sa ligne"},
        {LirePTS, "2\n1 2 3\n1 2 3 4 5\n", "ligne 3 : 5 valeurs, un point en a 3, 4, 6 ou 7"},
        {LirePTS, "1\n1 2\n", "ligne 2 : 2 valeurs, un point en a 3, 4, 6 ou 7"},
        {LirePTS, "1\n1 2 3 4 5 6 7 8\n", "ligne 2 : 8 valeurs, un point en a 3, 4, 6 ou 7"},
        {LirePTS, "1\n1,5 2 3\n", "ligne 2 : valeur « 1,5 » illisible"},
        {LirePTS, "1\n1 2 nan\n", "ligne 2 : valeur « nan » illisible"},
        {LirePTS, "\xFF\xFE" "1\0\n\0", "fichier texte UTF-16 : enregistrez-le en UTF-8"},
        {LirePTX, "2\n2\n" + entete + "1 2 3 0\n", "fichier tronqué : scan 1, 4 points annoncés, 1 lus"},
        {LirePTX, "1\n1\n" + entete + "1 2 3 0\n1\n", "fichier tronqué : en-tête du scan 2 incomplet"},
        {LirePTX, "1\n1\n" + entete.substr(0, 24), "fichier tronqué : en-tête du scan 1 incomplet"},
        {LirePTX, "1 1\n1\n" + entete, "ligne 1 : en-tête du scan 1, le nombre de colonnes est attendu seul sur sa ligne"},
        {LirePTX, "1\n-1\n" + entete, "ligne 2 : nombre de lignes -1 impossible"},
        {LirePTX, "1\n1\n0 0\n", "ligne 3 : en-tête du scan 1, 3 valeurs attendues, 2 lues"},
        {LirePTX, "1\n1\n" + entete + "1 2 3\n", "ligne 11 : 3 valeurs, un point en a 4 ou 7"},
        {LirePTX, "1\n1\n" + entete + "1 2 3 4 5\n", "ligne 11 : 5 valeurs, un point en a 4 ou 7"},
        {LirePTX, "1\n1\n" + entete + "1 2 3 x\n", "ligne 11 : valeur « x » illisible"},
        {LirePTS, std::string(5 << 20, '1'), "ligne de plus de 4194304 octets : ce n'est pas un fichier texte de points"},
    };
    for (const auto& c : cas) EXPECT_EQ(RefusOctets(c.lecteur, c.texte), c.attendu) << c.texte;
}
