#include "EnvironnementEssai.h"
#include "Utils.h"

#include <QStandardPaths>

using namespace tessarc;
using essais::LireFichier;

namespace {

class Association : public essais::EssaiReglages {
protected:
    std::string Package(const std::string& ext) const {
        return dossier.Nom("donnees/mime/packages/") + ext + "_auto_file.xml";
    }
    std::string Bureau(const std::string& ext) const {
        return dossier.Nom("donnees/applications/") + ext + "_auto_file.desktop";
    }
    static std::string QuestionAssociation(const std::string& ext) {
        return "les fichiers de type " + ext + " ne sont pas associés\nà l'application " +
               PartieChemin(CheminExecutable(), 4) + " ;\nVoulez-vous qu'ils le deviennent?";
    }
};

} // namespace

TEST_F(Association, AFreeExtensionIsRegisteredWithoutAsking) {
    std::array<TAutoFile, 3> fichiers{};
    fichiers[1].Fext = " essaivoute ";
    fichiers[1].Fparam = "\"%1\"";
    fichiers[1].FTestAssoc = true;
    Associer(fichiers, *this);
    EXPECT_TRUE(questions.empty());
    EXPECT_TRUE(messages.empty());

    const std::string package = LireFichier(Package("essaivoute"));
    EXPECT_NE(package.find("<mime-type type=\"application/x-essaivoute_auto_file\">"), std::string::npos);
    EXPECT_NE(package.find("<comment>fichier essaivoute</comment>"), std::string::npos);
    EXPECT_NE(package.find("<glob pattern=\"*.essaivoute\""), std::string::npos);
    const std::string bureau = LireFichier(Bureau("essaivoute"));
    EXPECT_NE(bureau.find("\nExec=\"" + CheminExecutable() + "\" %f\n"), std::string::npos) << bureau;
    EXPECT_NE(bureau.find("\nMimeType=application/x-essaivoute_auto_file;\n"), std::string::npos);
    EXPECT_EQ(TypeMimeExtension("essaivoute"), "application/x-essaivoute_auto_file");
    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
        EXPECT_NE(LireFichier(dossier.Nom("donnees/mime/globs2")).find("*.essaivoute"),
                  std::string::npos);
    }

    Associer(fichiers, *this); // already ours: nothing asked
    EXPECT_TRUE(questions.empty());
}

TEST_F(Association, ATakenExtensionIsOfferedThenRefusedForGood) {
    std::filesystem::create_directories(dossier.Nom("systeme/mime"));
    dossier.Ecrire("systeme/mime/globs2", "# globs2\n50:text/x-autre:*.autre\n50:text/x-b:*.b:cs\n");
    EXPECT_EQ(TypeMimeExtension("AUTRE"), "text/x-autre");
    EXPECT_EQ(TypeMimeExtension("absente"), std::nullopt);

    std::array<TAutoFile, 3> fichiers{};
    fichiers[0].Fext = "autre";
    Associer(fichiers, *this); // taken, and not to be tested
    EXPECT_TRUE(questions.empty());
    EXPECT_FALSE(std::filesystem::exists(Package("autre")));

    fichiers[0].FTestAssoc = true;
    reponses = {false, true};
    Associer(fichiers, *this);
    EXPECT_EQ(questions,
              (std::vector<std::string>{QuestionAssociation("autre"), "ce choix est il définitif?"}));
    EXPECT_TRUE(fichiers[0].FNoAutoAssoc);
    EXPECT_FALSE(std::filesystem::exists(Package("autre")));

    questions.clear();
    Associer(fichiers, *this);
    EXPECT_TRUE(questions.empty());

    fichiers[0].FNoAutoAssoc = false;
    reponses = {false, false};
    Associer(fichiers, *this);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_FALSE(fichiers[0].FNoAutoAssoc);
}

TEST_F(Association, AcceptingTakesTheExtensionOverAndAChangeIsOfferedAgain) {
    std::filesystem::create_directories(dossier.Nom("systeme/mime"));
    dossier.Ecrire("systeme/mime/globs2", "50:text/x-autre:*.autre\n");
    std::array<TAutoFile, 3> fichiers{};
    fichiers[2].Fext = "autre";
    fichiers[2].Ftitre = "nuage <voûte>";
    fichiers[2].Fappli = "/opt/tessarc/tessarc";
    fichiers[2].FTestAssoc = true;
    reponses = {true};
    Associer(fichiers, *this);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(LireFichier(Package("autre")).find("<comment>nuage &lt;voûte&gt;</comment>"),
              std::string::npos);
    EXPECT_NE(LireFichier(Bureau("autre")).find("\nExec=/opt/tessarc/tessarc %f\n"),
              std::string::npos);
    EXPECT_EQ(TypeMimeExtension("autre"), "application/x-autre_auto_file");

    questions.clear();
    Associer(fichiers, *this);
    EXPECT_TRUE(questions.empty()); // now ours, same description and command

    fichiers[2].Fparam = "--vue";
    Associer(fichiers, *this); // the command changed; refused this time only
    EXPECT_EQ(questions,
              (std::vector<std::string>{QuestionAssociation("autre"), "ce choix est il définitif?"}));
    EXPECT_FALSE(fichiers[2].FNoAutoAssoc);
}

TEST_F(Association, AnUnwritableDataFolderIsReportedAndOtherSlotsGoOn) {
    dossier.Ecrire("donnees/mime", "un fichier, pas un dossier");
    std::array<TAutoFile, 3> fichiers{};
    fichiers[0].Fext = "un";
    fichiers[1].Fext = "deux";
    Associer(fichiers, *this);
    EXPECT_EQ(messages, (std::vector<std::string>{"erreur registre pour .un", "erreur registre pour .deux"}));

    std::filesystem::remove(dossier.Nom("donnees/mime"));
    auto f = NouvelleFenetre();
    f.wr->AutoFile[0].Fext = "trois";
    f.wr->Associer();
    EXPECT_TRUE(std::filesystem::exists(Package("trois")));
}
