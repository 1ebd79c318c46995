#include "Document.h"
#include "OutilsCli.h"

#include <gtest/gtest.h>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

using TResultat = TResultatCli;

const char* const Scan = "0.1 0.1 0.1 10 20 30\n0.5 0.5 0.5 255 0 7\n1.5 0.2 0.3 0 64 128\n";

class Cli : public ::testing::Test {
protected:
    TDossierTemporaire dossier;
    std::string scan;

    void SetUp() override {
        EcrireFichier(dossier / "scan.xyz", Scan);
        scan = (dossier / "scan.xyz").string();
    }
    TResultat Cmd(const std::vector<std::string>& a) { return LancerCli(dossier, a); }
};

} // namespace

TEST_F(Cli, HelpAndUsageErrors) {
    auto r = Cmd({"--help"});
    EXPECT_EQ(r.Code, 0);
    EXPECT_NE(r.Sortie.find("usage : tessarc-cli"), std::string::npos);
    EXPECT_NE(r.Sortie.find("convertir ENTREE SORTIE [--niveau N]"), std::string::npos);
    r = Cmd({"convertir", "--help"});
    EXPECT_EQ(r.Code, 0);
    EXPECT_NE(r.Sortie.find("usage : tessarc-cli convertir"), std::string::npos);
    for (const auto& a :
         std::vector<std::vector<std::string>>{{},
                                               {"inconnue"},
                                               {"proprietes"},
                                               {"proprietes", scan, scan},
                                               {"convertir", scan},
                                               {"convertir", scan, "sortie.txt"},
                                               {"convertir", scan, "s.tsrk", "--niveau", "5"},
                                               {"convertir", scan, "s.tsrk", "--niveau", "2.0"},
                                               {"convertir", scan, "s.tsrk", "--niveau"},
                                               {"convertir", scan, "s.tsrk", "--plouf"}}) {
        r = Cmd(a);
        EXPECT_EQ(r.Code, 2) << (a.empty() ? "" : a[0]);
        EXPECT_NE(r.Erreur.find("usage : tessarc-cli"), std::string::npos) << r.Erreur;
        EXPECT_TRUE(r.Sortie.empty());
    }
    EXPECT_EQ(dossier.Contenu(), std::vector<std::string>{"scan.xyz"});
}

TEST_F(Cli, PrintsThePropertiesReport) {
    const auto r = Cmd({"proprietes", scan});
    EXPECT_EQ(r.Code, 0) << r.Erreur;
    TDocument doc;
    ASSERT_TRUE(doc.OuvrirFichier(scan));
    std::string attendu = doc.Proprietes() + "\n";
    for (std::size_t p; (p = attendu.find('\r')) != std::string::npos;) attendu.erase(p, 1);
    EXPECT_EQ(r.Sortie, attendu);
    EXPECT_TRUE(r.Erreur.empty());
}

TEST_F(Cli, FailuresExitWithOneAndTheErrorText) {
    auto r = Cmd({"proprietes", (dossier / "absent.xyz").string()});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("absent.xyz"), std::string::npos);
    EXPECT_NE(r.Erreur.find("introuvable"), std::string::npos);
    EcrireFichier(dossier / "vide.xyz", "");
    r = Cmd({"convertir", (dossier / "vide.xyz").string(), (dossier / "vide.tsrk").string()});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("aucun point"), std::string::npos);
    std::filesystem::create_directory(dossier / "d.xyz");
    r = Cmd({"convertir", scan, (dossier / "d.xyz").string()});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("d.xyz"), std::string::npos);
    EXPECT_EQ(dossier.Contenu(), (std::vector<std::string>{"d.xyz", "scan.xyz", "vide.xyz"}));
}

TEST_F(Cli, ConvertsBetweenKindsAtTheChosenLevel) {
    const auto projet = (dossier / "p.TSRK").string();
    auto r = Cmd({"convertir", scan, projet, "--niveau", "1"});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    EXPECT_TRUE(r.Sortie.empty());
    const std::string octets = LireFichier(projet);
    ASSERT_EQ(octets.size(), 80u + 3 * 16); // three 20 cm cubes
    EXPECT_EQ(octets[32], 1);               // stored level
    EXPECT_EQ(octets[72], 1);               // displayed level

    // Back to XYZ: the default level is the file's leaf level; a finer one means the leaf level.
    r = Cmd({"convertir", projet, (dossier / "a.xyz").string()});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    r = Cmd({"convertir", projet, (dossier / "b.xyz").string(), "--niveau", "4"});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    EXPECT_EQ(LireFichier(dossier / "a.xyz"), LireFichier(dossier / "b.xyz"));
    TDocument doc;
    ASSERT_TRUE(doc.OuvrirFichier(projet));
    doc.PFsansext = dossier / "c";
    ASSERT_TRUE(doc.EnregistrerFichier(GenreXYZ, 1));
    EXPECT_EQ(LireFichier(dossier / "a.xyz"), LireFichier(dossier / "c.xyz"));

    // Leaf level of a scan by default.
    r = Cmd({"convertir", scan, (dossier / "plein.tsrk").string()});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    EXPECT_EQ(LireFichier(dossier / "plein.tsrk").size(), 80u + 3 * 16);
}

TEST_F(Cli, CtrlCStopsCleanlyAtTheNextProgressReport) {
    const auto tube = dossier / "tube.xyz";
    const auto r = LancerCliInterrompu(dossier, {"convertir", tube.string(), (dossier / "out.tsrk").string()},
                                       tube, std::string(Scan) + Scan);
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("abandon"), std::string::npos);
    // No temporary file, no output.
    EXPECT_EQ(dossier.Contenu(), (std::vector<std::string>{"scan.xyz", "tube.xyz"}));
}
