#include "DossierTemporaire.h"
#include "Nombres.h"
#include "Utils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>

using namespace tessarc;

TEST(PartieChemin, SplitsWindowsDrivePaths) {
    const std::string c = "C:\\data\\vault.xyz";
    EXPECT_EQ(PartieChemin(c, 0), "C");
    EXPECT_EQ(PartieChemin(c, 1), "\\data\\");
    EXPECT_EQ(PartieChemin(c, 2), "vault");
    EXPECT_EQ(PartieChemin(c, 3), ".xyz");
    EXPECT_EQ(PartieChemin(c, 4), "vault.xyz");
    EXPECT_EQ(PartieChemin(c, 5), "C:\\data\\");
    EXPECT_EQ(PartieChemin("d:\\scans\\", 4), "scans"); // trailing separator ignored
    EXPECT_EQ(PartieChemin("d:\\scans\\", 5), "d:\\");
    EXPECT_EQ(PartieChemin("C:vault.tar.gz", 2), "vault.tar");
    EXPECT_EQ(PartieChemin("C:vault.tar.gz", 5), "C:");
    EXPECT_EQ(PartieChemin(c, 6), "");
}

TEST(PartieChemin, SplitsNetworkPaths) {
    const std::string c = "\\\\serveur\\partage\\voutes\\nef.tsrk";
    EXPECT_EQ(PartieChemin(c, 0), "\\\\serveur\\partage");
    EXPECT_EQ(PartieChemin(c, 1), "\\voutes\\");
    EXPECT_EQ(PartieChemin(c, 2), "nef");
    EXPECT_EQ(PartieChemin(c, 5), "\\\\serveur\\partage\\voutes\\");
    EXPECT_EQ(PartieChemin("\\\\serveur\\partage\\", 0), "\\\\serveur\\partage");
    EXPECT_EQ(PartieChemin("\\\\serveur\\partage\\", 4), "");
}

TEST(PartieChemin, SplitsLinuxPaths) {
    const std::string c = "/home/léa/scans/nef.v2.xyz";
    EXPECT_EQ(PartieChemin(c, 0), "");
    EXPECT_EQ(PartieChemin(c, 1), "/home/léa/scans/");
    EXPECT_EQ(PartieChemin(c, 2), "nef.v2");
    EXPECT_EQ(PartieChemin(c, 3), ".xyz");
    EXPECT_EQ(PartieChemin(c, 5), "/home/léa/scans/");
    EXPECT_EQ(PartieChemin("/opt/tessarc/tessarc", 2), "tessarc");
    EXPECT_EQ(PartieChemin("/opt/tessarc/tessarc", 3), "");
    EXPECT_EQ(PartieChemin("/home/u/.config", 2), ".config");
    EXPECT_EQ(PartieChemin("/home/u/.config", 3), "");
    EXPECT_EQ(PartieChemin("relatif.txt", 5), "");
    EXPECT_EQ(PartieChemin("/", 4), ""); // nothing but the root
    EXPECT_EQ(PartieChemin("/", 5), "/");
}

TEST(Utils, ExecutableFolderAndFileSizes) {
    const std::string rep = RepertoireAppli();
    ASSERT_TRUE(rep.ends_with("/"));
    EXPECT_EQ(PartieChemin(CheminExecutable(), 5), rep);
    EXPECT_EQ(PartieChemin(CheminExecutable(), 4), "test_util");

    const essais::TDossierTemporaire dossier;
    EXPECT_EQ(TailleFichier(dossier.Nom("absent")), 0);
    EXPECT_EQ(TailleFichier(dossier.Nom()), 0);
    EXPECT_EQ(TailleFichier(dossier.Ecrire("sept", "1234567")), 7);
    const std::int64_t grand = (std::int64_t{5} << 30) + 3; // sparse, beyond 32 bits
    std::filesystem::resize_file(dossier.Ecrire("grand", ""), static_cast<std::uintmax_t>(grand));
    EXPECT_EQ(TailleFichier(dossier.Nom("grand")), grand);
}

TEST(Utils, UserNameIsInCapitals) {
    UtilisateurMuet muet;
    const std::string nom = NomUtilisateur(muet);
    ASSERT_FALSE(nom.empty());
    EXPECT_EQ(nom, Majuscules(nom));
}

TEST(Utils, CaseFoldingCoversLatinLetters) {
    EXPECT_EQ(Majuscules("léa été à l'œuvre ÷ ÿ 9z"), "LÉA ÉTÉ À L'œUVRE ÷ ÿ 9Z");
    EXPECT_EQ(ComparerSansCasse("FTessarc\tDernierScan", "ftessarc\tDERNIERSCAN"), 0);
    EXPECT_EQ(ComparerSansCasse("Étage", "étage"), 0);
    EXPECT_LT(ComparerSansCasse("a", "B"), 0);
    EXPECT_GT(ComparerSansCasse("b", "A"), 0);
    EXPECT_LT(ComparerSansCasse("F\tx", "F2\tx"), 0); // the TAB of a key sorts first
    EXPECT_LT(ComparerSansCasse("ab", "ABC"), 0);
    EXPECT_NE(ComparerSansCasse("à", "á"), 0);
}

TEST(Utils, RealsAsTextIgnoreAFrenchLocale) {
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) GTEST_SKIP() << "locale fr_FR.UTF-8 absente";
    EXPECT_EQ(FormatReel(0.1), "0.1");
    EXPECT_EQ(FormatReel(-2.5), "-2.5");
    EXPECT_EQ(FormatReel(120), "120");
    EXPECT_EQ(FormatReel(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatReel(1e20), "1e+20");
    for (const double v : {0.1, 1.0 / 3.0, 123456.789012345, -1e-300, 6.02214076e23})
        EXPECT_NEAR(LireReel(FormatReel(v)).value(), v, std::abs(v) * 1e-14) << FormatReel(v);
    std::setlocale(LC_ALL, "C");
}
