#include "Document.h"
#include "DossierTemporaire.h"
#include "ExportXYZ.h"
#include "UtilisateurEspion.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

std::string Printf(float v) {
    char t[128];
    std::snprintf(t, sizeof t, "%.8f", static_cast<double>(v));
    return t;
}

std::string Fixe8(float v) {
    char t[128];
    return std::string(t, FormaterFixe8(t, v));
}

const char* const Scan = "0.1 0.1 0.1 10 20 30\n0.5 0.5 0.5 255 0 7\n-1.5 0.2 0.3 0 64 128\n";

} // namespace

TEST(FormaterFixe8, WritesWhatPrintfWritesForEverySingle) {
    std::mt19937 alea(2024);
    for (int i = 0; i < 2000000; ++i) {
        const auto v = std::bit_cast<float>(static_cast<std::uint32_t>(alea()));
        ASSERT_EQ(Fixe8(v), Printf(v)) << std::hexfloat << v;
    }
    // Ties of the eighth decimal go to even, as printf rounds the exact binary value; zeros keep their sign.
    for (float v : {0.001953125f, 0.005859375f, -0.000000005f, -0.0f, 0.0f, 1e-30f, 123456.7890f, 16777216.0f,
                    3.4028235e38f, -3.4028235e38f, 1.17549435e-38f, 1e-45f, 0.5f, 12.3456789f, INFINITY,
                    -INFINITY, std::numeric_limits<float>::quiet_NaN()})
        EXPECT_EQ(Fixe8(v), Printf(v)) << v;
}

TEST(FormaterLigneExport, FollowsTheExportFormatUnderAFrenchLocale) {
    const bool francais = std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr;
    char ligne[LongueurMaxLigneExport];
    const std::size_t n =
        FormaterLigneExport(ligne, FaireV3S(12.3456789f, 4.5f, 2.0f), TV4By{{128, 64, 7, 99}});
    EXPECT_EQ(std::string(ligne, n), "12.34567928 4.50000000 2.00000000  128 064 007\r\n");
    std::setlocale(LC_ALL, "C");
    char attendu[256];
    std::mt19937 alea(5);
    std::uniform_real_distribution<float> coo(-100.0f, 100.0f);
    for (int i = 0; i < 10000; ++i) {
        const TV3S c = FaireV3S(coo(alea), coo(alea), coo(alea));
        const TV4By col{{static_cast<std::uint8_t>(alea()), static_cast<std::uint8_t>(alea()),
                         static_cast<std::uint8_t>(alea()), 0}};
        std::snprintf(attendu, sizeof attendu, "%.8f %.8f %.8f  %3.3d %3.3d %3.3d\r\n", double(c[1]),
                      double(c[2]), double(c[3]), col[1], col[2], col[3]);
        ASSERT_EQ(std::string(ligne, FormaterLigneExport(ligne, c, col)), attendu);
    }
    if (!francais) GTEST_SKIP() << "locale fr_FR.UTF-8 absente : seul le format a été vérifié";
}

class Enregistrement : public ::testing::Test {
protected:
    TDossierTemporaire dossier;
    TDocument doc;

    void SetUp() override {
        EcrireFichier(dossier / "voute.xyz", Scan);
        ASSERT_TRUE(doc.OuvrirFichier(dossier / "voute.xyz"));
    }
};

TEST_F(Enregistrement, ExportWritesOneLinePerCubeNewestFirstOverTheOpenedScan) {
    ASSERT_TRUE(doc.EnregistrerFichier(GenreXYZ, 4));
    EXPECT_EQ(LireFichier(dossier / "voute.xyz"), "-1.50000000 0.20000000 0.30000001  000 064 128\r\n"
                                                  "0.50000000 0.50000000 0.50000000  255 000 007\r\n"
                                                  "0.10000000 0.10000000 0.10000000  010 020 030\r\n");
    EXPECT_EQ(dossier.Contenu(), std::vector<std::string>{"voute.xyz"});
}

TEST_F(Enregistrement, AFailedWriteLeavesThePreviousFileAndNoTemporaryFile) {
    EcrireFichier(dossier / "voute.tsrk", "ancien contenu");
    chmod((dossier / "voute.tsrk").c_str(), 0640);
    // The file size limit makes the write fail part way, as a full disk would.
    rlimit avant{};
    getrlimit(RLIMIT_FSIZE, &avant);
    rlimit limite = avant;
    limite.rlim_cur = 100;
    const auto signalAvant = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limite), 0);
    const bool ok = doc.EnregistrerFichier(GenreProjet, 4);
    setrlimit(RLIMIT_FSIZE, &avant);
    std::signal(SIGXFSZ, signalAvant);
    EXPECT_FALSE(ok);
    EXPECT_NE(doc.DerniereErreur.find("fichier trop grand"), std::string::npos) << doc.DerniereErreur;
    EXPECT_EQ(LireFichier(dossier / "voute.tsrk"), "ancien contenu");
    EXPECT_EQ(dossier.Contenu(), (std::vector<std::string>{"voute.tsrk", "voute.xyz"}));

    // A successful save replaces it and keeps its permissions.
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, 4));
    EXPECT_EQ(LireFichier(dossier / "voute.tsrk").size(), 80u + 3 * 16);
    struct stat st {};
    stat((dossier / "voute.tsrk").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(Enregistrement, ATargetThatIsAFolderOrInAMissingFolderIsReported) {
    std::filesystem::create_directory(dossier / "dossier.xyz");
    EXPECT_FALSE(doc.EnregistrerFichierSous(GenreXYZ, 4, dossier / "dossier.xyz"));
    EXPECT_NE(doc.DerniereErreur.find("dossier.xyz"), std::string::npos) << doc.DerniereErreur;
    EXPECT_FALSE(doc.EnregistrerFichierSous(GenreProjet, 4, dossier / "absent" / "p.tsrk"));
    EXPECT_NE(doc.DerniereErreur.find("introuvable"), std::string::npos) << doc.DerniereErreur;
    EXPECT_EQ(dossier.Contenu(), (std::vector<std::string>{"dossier.xyz", "voute.xyz"}));
}

TEST_F(Enregistrement, AnAbandonedSaveLeavesThePreviousFile) {
    EcrireFichier(dossier / "voute.tsrk", "ancien");
    TUtilisateurEspion espion("enregistrement");
    doc.DefinirUtilisateur(&espion);
    doc.SuivreEnregistrement = true;
    EXPECT_FALSE(doc.EnregistrerFichier(GenreProjet, 4));
    EXPECT_EQ(doc.DerniereErreur, "abandon");
    EXPECT_EQ(LireFichier(dossier / "voute.tsrk"), "ancien");
    EXPECT_EQ(dossier.Contenu(), (std::vector<std::string>{"voute.tsrk", "voute.xyz"}));
}

TEST_F(Enregistrement, ALevelAboveTheLeafLevelSavesTheLeafLevel) {
    TDocument sommaire;
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, 1));
    ASSERT_TRUE(sommaire.OuvrirFichier(dossier / "voute.tsrk"));
    sommaire.PFsansext = dossier / "sommaire";
    ASSERT_TRUE(sommaire.EnregistrerFichier(GenreProjet, 4));
    EXPECT_EQ(LireFichier(dossier / "sommaire.tsrk").substr(32, 8), std::string("\1\0\0\0\0\0\0\0", 8));
    EXPECT_FALSE(sommaire.EnregistrerFichier(GenreProjet, 5));
}
