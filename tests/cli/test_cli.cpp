#include "Document.h"
#include "Nombres.h"
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

TEST_F(Cli, SpecialFilesOwnInputAndReaderNotes) {
    // A pipe with no writer would block an open for ever.
    ASSERT_EQ(mkfifo((dossier / "tube.xyz").c_str(), 0600), 0);
    TProcessusCli tube(dossier, {"proprietes", (dossier / "tube.xyz").string()});
    auto r = tube.Attendre(10);
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("ce n'est pas un fichier ordinaire"), std::string::npos) << r.Erreur;

    const std::string avant = LireFichier(scan);
    for (const std::string& sortie : {scan, (dossier / "./scan.xyz").string()}) {
        r = Cmd({"convertir", scan, sortie, "--niveau", "0"});
        EXPECT_EQ(r.Code, 2);
        EXPECT_NE(r.Erreur.find("est le fichier d'entrée lui-même"), std::string::npos) << r.Erreur;
    }
    EXPECT_EQ(LireFichier(scan), avant);

    EcrireFichier(dossier / "notes.xyz", "X Y Z\n1 2 3\n");
    r = Cmd({"proprietes", (dossier / "notes.xyz").string()});
    EXPECT_EQ(r.Code, 0);
    EXPECT_NE(r.Erreur.find("notes.xyz : 1 ligne sans coordonnées lue comme 0 0 0"), std::string::npos) << r.Erreur;
}

TEST_F(Cli, TwoRunsOnOneScanAtOnceEachReadEveryPoint) {
    std::string texte;
    for (int i = 0; i < 300000; ++i) texte += FormatC("%.3f %.3f %.3f 10 20 30\n", i * 1e-4, (i % 977) * 1e-3, 1.0);
    EcrireFichier(dossier / "grand.xyz", texte);
    const auto grand = (dossier / "grand.xyz").string();
    TProcessusCli convertir(dossier, {"convertir", grand, (dossier / "grand.tsrk").string()}, {}, "c");
    TProcessusCli proprietes(dossier, {"proprietes", grand}, {}, "p");
    const auto rp = proprietes.Attendre();
    const auto rc = convertir.Attendre();
    ASSERT_EQ(rc.Code, 0) << rc.Erreur;
    ASSERT_EQ(rp.Code, 0) << rp.Erreur;
    EXPECT_NE(rp.Sortie.find("Nombre de points : 300000"), std::string::npos);
    TDocument doc;
    ASSERT_TRUE(doc.OuvrirFichier(dossier / "grand.tsrk"));
    TDocument direct;
    ASSERT_TRUE(direct.OuvrirFichier(grand));
    EXPECT_EQ(doc.NbPts, direct.Nuage.NbCubesNiv[4]);
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

TEST_F(Cli, CtrlCOrTermStopsCleanlyAtTheNextProgressReport) {
    for (const char* signal : {"INT lecture", "INT construction", "TERM lecture", "TERM enregistrement"}) {
        const auto r = LancerCliInterrompu(dossier, {"convertir", scan, (dossier / "out.tsrk").string()}, signal);
        EXPECT_EQ(r.Code, 1) << signal;
        EXPECT_NE(r.Erreur.find("abandon"), std::string::npos) << signal << " : " << r.Erreur;
        // No temporary file, no output.
        EXPECT_EQ(dossier.Contenu(), (std::vector<std::string>{"scan.xyz"})) << signal;
    }
}
