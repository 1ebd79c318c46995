#include "DossierTemporaire.h"
#include "Encodages.h"
#include "StringUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace tessarc;
using essais::LireFichier;
using essais::TDossierTemporaire;

namespace {

std::size_t DescripteursOuverts() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

class FichiersTexte : public ::testing::Test {
protected:
    void SetUp() override {
        DefinirAttenteOuverture([this](std::chrono::milliseconds d) { attentes.push_back(d.count()); });
    }
    void TearDown() override {
        DefinirAttenteOuverture([](std::chrono::milliseconds) {});
    }
    TDossierTemporaire dossier;
    std::vector<long> attentes;
};

} // namespace

TEST_F(FichiersTexte, DecodeByByteOrderMarkOrFallBackToWindows1252) {
    const std::string texte = "voûte\r\n€ 𝄞";
    EXPECT_EQ(ChargerFichierTexte(dossier.Ecrire("sans", texte)), texte);
    EXPECT_EQ(ChargerFichierTexte(dossier.Ecrire("bom8", "\xEF\xBB\xBF" + texte)), texte);
    // "voûte" CR LF "€ 𝄞" in UTF-16, the clef as a surrogate pair.
    const std::string le("\xFF\xFEv\0o\0\xFB\0t\0e\0\r\0\n\0\xAC\x20 \0\x34\xD8\x1E\xDD", 24);
    const std::string be("\xFE\xFF\0v\0o\0\xFB\0t\0e\0\r\0\n\x20\xAC\0 \xD8\x34\xDD\x1E", 24);
    EXPECT_EQ(ChargerFichierTexte(dossier.Ecrire("le", le)), texte);
    EXPECT_EQ(ChargerFichierTexte(dossier.Ecrire("be", be)), texte);
    EXPECT_EQ(ChargerFichierTexte(dossier.Ecrire("ansi", "caf\xE9 \x80 \x9C\x81")), "café € œ\xC2\x81");
    // Not UTF-8: an overlong form, a surrogate, a truncated sequence.
    EXPECT_EQ(ChargerFichierTexte(dossier.Ecrire("long", "\xC0\xAF")), "À¯");
    EXPECT_EQ(ChargerFichierTexte(dossier.Ecrire("surr", "\xED\xA0\x80")), "í\xC2\xA0€");
    EXPECT_EQ(ChargerFichierTexte(dossier.Ecrire("coupe", "ab\xE2\x82")), "abâ‚");
    EXPECT_EQ(DepuisUtf16(std::string("\x00\xD8x", 3), false), "\xEF\xBF\xBD"); // lone surrogate, odd byte
}

TEST_F(FichiersTexte, MissingOrEmptyFilesGiveAnEmptyTextAtOnce) {
    EXPECT_EQ(ChargerFichierTexte(dossier.Nom("absent")), "");
    EXPECT_EQ(ChargerFichierTexte(dossier.Nom("absent/sous")), "");
    EXPECT_EQ(ChargerFichierTexte(dossier.Ecrire("vide", "")), "");
    EXPECT_EQ(ChargerFichierTexte(""), "");
    EXPECT_TRUE(attentes.empty());
}

TEST_F(FichiersTexte, OpeningIsTriedTenTimesThenFails) {
    const std::size_t avant = DescripteursOuverts();
    std::filesystem::create_directory(dossier.Nom("dossier.ini"));
    try {
        (void)ChargerFichierTexte(dossier.Nom("dossier.ini"));
        FAIL() << "pas d'exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("dossier.ini"), std::string::npos) << e.what();
    }
    EXPECT_EQ(attentes, (std::vector<long>{100, 200, 300, 400, 500, 600, 700, 800, 900}));
    EXPECT_EQ(DescripteursOuverts(), avant);
}

TEST_F(FichiersTexte, WritingReplacesTheFileInUtf8WithoutMark) {
    const std::string chemin = dossier.Ecrire("sortie.txt", std::string(100, 'x'));
    RangerFichierTexte("é\r\nz", chemin);
    EXPECT_EQ(LireFichier(chemin), "é\r\nz");
    RangerFichierTexte("", chemin);
    EXPECT_EQ(std::filesystem::file_size(chemin), 0u);
}

TEST_F(FichiersTexte, WriteErrorsNameTheFileAndCloseIt) {
    const std::size_t avant = DescripteursOuverts();
    for (const std::string& chemin : {dossier.Nom("absent/x.txt"), std::string("/dev/full")}) {
        try {
            RangerFichierTexte(std::string(1 << 16, 'a'), chemin);
            FAIL() << chemin;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(chemin), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(DescripteursOuverts(), avant);
}

TEST_F(FichiersTexte, StatusLineBracketsReadsAndWritesEvenOnFailure) {
    struct : IProgression {
        void AffiInfo(int panneau, const std::string& t) override {
            EXPECT_EQ(panneau, 1);
            statuts.push_back(t);
        }
        std::vector<std::string> statuts;
    } statut;
    const std::string chemin = dossier.Nom("f.txt");
    RangerFichierTexte("a", chemin, &statut);
    (void)ChargerFichierTexte(chemin, &statut);
    EXPECT_THROW(RangerFichierTexte("a", dossier.Nom("absent/f.txt"), &statut), std::runtime_error);
    EXPECT_EQ(statut.statuts, (std::vector<std::string>{"range " + chemin, "", "charge " + chemin, "",
                                                        "range " + dossier.Nom("absent/f.txt"), ""}));
}
