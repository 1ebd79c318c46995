// The user guide beside the program in the build tree, its links, and the installed layout: program,
// guide where the program looks for it, icon, desktop entry and MIME type of the project files.

#include "DossierTemporaire.h"
#include "Formats.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;
using tessarc::Formats;
using tessarc::essais::LireFichier;
using tessarc::TFormat;

namespace {

bool Disponible(const char* programme) {
    return std::system((std::string("command -v ") + programme + " >/dev/null 2>&1").c_str()) == 0;
}

const fs::path Source = fs::path(TESSARC_SOURCE_DIR) / "docs" / "aide";

} // namespace

TEST(Guide, CopiedBesideTheProgram) {
    const fs::path copie = fs::path(TESSARC_DOSSIER_PROGRAMME) / "aide";
    std::size_t pages = 0;
    for (const auto& page : fs::directory_iterator(Source)) {
        ++pages;
        ASSERT_TRUE(fs::exists(copie / page.path().filename())) << page.path().filename();
        EXPECT_EQ(LireFichier(copie / page.path().filename()), LireFichier(page.path())) << page.path().filename();
    }
    EXPECT_GT(pages, 1u);
    EXPECT_TRUE(fs::exists(copie / "index.html"));
}

TEST(Guide, EveryLocalLinkLeadsToAPageOfTheGuide) {
    const std::regex lien(R"re((?:href|src)="([^"#:]+)(#[^"]*)?")re");
    int liens = 0;
    for (const auto& page : fs::directory_iterator(Source)) {
        if (page.path().extension() != ".html") continue;
        const std::string texte = LireFichier(page.path());
        EXPECT_NE(texte.find("<html lang=\"fr\">"), std::string::npos) << page.path().filename();
        for (std::sregex_iterator i(texte.begin(), texte.end(), lien), fin; i != fin; ++i) {
            ++liens;
            EXPECT_TRUE(fs::exists(Source / (*i)[1].str())) << page.path().filename() << " -> " << (*i)[1];
        }
    }
    EXPECT_GT(liens, 10);
}

TEST(Installation, PutsEachPieceInItsPlace) {
    const fs::path prefixe =
        fs::temp_directory_path() / ("tessarc-installation-" + std::to_string(::getpid()));
    fs::remove_all(prefixe);
    const std::string commande = std::string("\"") + TESSARC_COMMANDE_CMAKE + "\" --install \"" +
                                 TESSARC_DOSSIER_CONSTRUCTION + "\" --prefix \"" + prefixe.string() +
                                 "\" >/dev/null 2>&1";
    ASSERT_EQ(std::system(commande.c_str()), 0) << commande;

    const fs::path bin = prefixe / TESSARC_BINDIR;
    const fs::path donnees = prefixe / TESSARC_DATADIR;
    EXPECT_TRUE(fs::exists(bin / "tessarc"));
    EXPECT_TRUE(fs::exists(bin / "tessarc-cli")) << "the guide tells users to run it";
    EXPECT_TRUE(fs::exists(bin / TESSARC_AIDE_INSTALLEE / "index.html"))
        << "where the program looks for its guide";
    EXPECT_TRUE(fs::exists(donnees / "icons/hicolor/scalable/apps/tessarc.svg"));
    const fs::path entree = donnees / "applications/tessarc.desktop";
    ASSERT_TRUE(fs::exists(entree));
    const std::string texte = LireFichier(entree);
    EXPECT_NE(texte.find("Exec=tessarc %f"), std::string::npos);
    const std::string xml = LireFichier(donnees / "mime/packages/tessarc.xml");
    for (const TFormat& f : Formats()) {
        if (f.Libelle.empty()) continue;
        EXPECT_NE(texte.find(std::string(f.TypeMime) + ";"), std::string::npos) << f.TypeMime;
        EXPECT_NE(xml.find("<glob pattern=\"*" + std::string(f.Extension) + "\"/>"), std::string::npos) << f.Extension;
    }

    if (Disponible("desktop-file-validate")) {
        EXPECT_EQ(std::system(("desktop-file-validate \"" + entree.string() + "\"").c_str()), 0);
    }
    if (Disponible("update-mime-database")) {
        EXPECT_NE(LireFichier(donnees / "mime/globs2").find("application/x-tessarc-projet:*.tsrk"),
                  std::string::npos)
            << "the MIME database was refreshed with the project type";
    }
    fs::remove_all(prefixe);
}
