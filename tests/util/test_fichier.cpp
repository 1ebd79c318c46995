#include "DossierTemporaire.h"
#include "Fichier.h"
#include "Utils.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace tessarc;
using essais::LireFichier;
using essais::TDossierTemporaire;
namespace fs = std::filesystem;

namespace {

void Ecrire(TEcritureAtomique& e, std::string_view texte) {
    e.Fichier().Ecrire(texte.data(), texte.size());
}

std::string Erreur(auto&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

class PanneEcriture {
public:
    PanneEcriture(std::int64_t rang, int code) { InjecterPanneEcriture(rang, code); }
    ~PanneEcriture() { InjecterPanneEcriture(0, 0); }
};

} // namespace

TEST(EcritureAtomique, ASaveThroughALinkReplacesTheFileItLeadsToAndKeepsTheLink) {
    TDossierTemporaire d;
    d.Ecrire("vrai.tsrk", "ancien");
    fs::create_directory(d.Nom("sous"));
    fs::create_symlink("../vrai.tsrk", d.Nom("sous/lien.tsrk"));
    TEcritureAtomique e(d.Nom("sous/lien.tsrk"));
    Ecrire(e, "nouveau");
    e.Valider();
    EXPECT_TRUE(fs::is_symlink(d.Nom("sous/lien.tsrk")));
    EXPECT_EQ(LireFichier(d.Nom("vrai.tsrk")), "nouveau");
    EXPECT_EQ(d.Contenu(), (std::vector<std::string>{"sous", "vrai.tsrk"}));
}

TEST(EcritureAtomique, AReadOnlyTargetIsRefusedAndKept) {
    TDossierTemporaire d;
    d.Ecrire("fige.xyz", "ancien");
    fs::permissions(d.Nom("fige.xyz"), fs::perms::owner_read | fs::perms::group_read);
    const std::string m = Erreur([&] { TEcritureAtomique e(d.Nom("fige.xyz")); });
    EXPECT_NE(m.find("fige.xyz » : fichier en lecture seule"), std::string::npos) << m;
    EXPECT_EQ(LireFichier(d.Nom("fige.xyz")), "ancien");
    EXPECT_EQ(d.Contenu(), std::vector<std::string>{"fige.xyz"});
}

TEST(EcritureAtomique, WriteFaultsNameTheTargetAndKeepTheOldFile) {
    TDossierTemporaire d;
    d.Ecrire("cible.tsrk", "ancien");
    for (const int code : {ENOSPC, EIO}) {
        const std::string m = Erreur([&] {
            TEcritureAtomique e(d.Nom("cible.tsrk"));
            const PanneEcriture panne(1, code);
            Ecrire(e, "nouveau");
            e.Valider();
        });
        EXPECT_EQ(m, "fichier « " + d.Nom("cible.tsrk") + " » : écriture impossible, " + TexteErreurSysteme(code) +
                         " ; l'ancien fichier est intact");
        EXPECT_EQ(LireFichier(d.Nom("cible.tsrk")), "ancien");
        EXPECT_EQ(d.Contenu(), std::vector<std::string>{"cible.tsrk"});
    }
    // A short write is finished by the next one.
    TEcritureAtomique e(d.Nom("cible.tsrk"));
    const PanneEcriture courte(1, 0);
    Ecrire(e, "nouveau contenu");
    e.Valider();
    EXPECT_EQ(LireFichier(d.Nom("cible.tsrk")), "nouveau contenu");
}

TEST(EcritureAtomique, TheNextSaveRemovesWhatKilledSavesOfTheSameTargetLeft) {
    TDossierTemporaire d;
    d.Ecrire("cible.tsrk", "ancien");
    const std::string vivant = ".cible.tsrk." + std::to_string(::getpid()) + "-0000beef.tmp";
    for (const std::string& nom : std::vector<std::string>{".cible.tsrk.999999999-0000abcd.tmp",
                                                            ".cible.tsrk.999999998-00001234.old", vivant,
                                                            ".autre.tsrk.999999999-0000abcd.tmp", ".cible.tsrk.notes.tmp"})
        d.Ecrire(nom, "reste");
    TEcritureAtomique e(d.Nom("cible.tsrk"));
    Ecrire(e, "nouveau");
    e.Valider();
    EXPECT_EQ(d.Contenu(), (std::vector<std::string>{".autre.tsrk.999999999-0000abcd.tmp", vivant,
                                                 ".cible.tsrk.notes.tmp", "cible.tsrk"}));
}

TEST(EcritureEnsemble, ReplacesEveryFileOrNone) {
    TDossierTemporaire d;
    for (const char* nom : {"general.txt", "noeuds.txt"}) d.Ecrire(nom, "ancien");
    fs::create_directory(d.Nom("elements.txt")); // in the way of the third file
    const std::vector<fs::path> cibles{d.Nom("general.txt"), d.Nom("noeuds.txt"), d.Nom("elements.txt")};
    const std::string m = Erreur([&] {
        TEcritureEnsemble e(cibles);
        for (std::size_t i = 0; i < 3; ++i) e.Fichier(i).Ecrire("nouveau", 7);
        e.Valider();
    });
    EXPECT_NE(m.find("elements.txt » : enregistrement impossible"), std::string::npos) << m;
    EXPECT_NE(m.find("aucun fichier n'a été remplacé"), std::string::npos) << m;
    EXPECT_EQ(LireFichier(d.Nom("general.txt")), "ancien");
    EXPECT_EQ(LireFichier(d.Nom("noeuds.txt")), "ancien");
    EXPECT_EQ(d.Contenu(), (std::vector<std::string>{"elements.txt", "general.txt", "noeuds.txt"}));

    fs::remove(d.Nom("elements.txt"));
    TEcritureEnsemble e(cibles);
    for (std::size_t i = 0; i < 3; ++i) e.Fichier(i).Ecrire("nouveau", 7);
    e.Valider();
    for (const auto& c : cibles) EXPECT_EQ(LireFichier(c.string()), "nouveau");
    EXPECT_EQ(d.Contenu(), (std::vector<std::string>{"elements.txt", "general.txt", "noeuds.txt"}));
}

TEST(Fichier, OnlyRegularFilesAreReadAndNothingBlocks) {
    TDossierTemporaire d;
    ASSERT_EQ(::mkfifo(d.Nom("tube.xyz").c_str(), 0600), 0);
    for (const std::string& nom : {d.Nom("tube.xyz"), std::string("/dev/null")}) {
        const std::string m = Erreur([&] { TFichier f(nom, TFichier::EMode::Lecture); });
        EXPECT_NE(m.find("ce n'est pas un fichier ordinaire"), std::string::npos) << m;
    }
    EXPECT_NE(Erreur([&] { TFichier f(d.Chemin(), TFichier::EMode::Lecture); }).find("c'est un dossier"),
              std::string::npos);
    EXPECT_EQ(TexteErreurSysteme(ELOOP), "trop de liens symboliques en chaîne");
    EXPECT_EQ(TexteErreurSysteme(4095), "erreur système 4095");
}
