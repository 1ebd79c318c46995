#pragma once
// A fresh folder for one test, removed with everything in it at the end, and whole-file reading and
// writing.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tessarc::essais {

class TDossierTemporaire {
public:
    // Memoire: under TMPDIR when set, else in /dev/shm when the machine has it, for the fuzzing runs
    // that write and read files at every input.
    enum class EEmplacement { Temporaire, Memoire };

    explicit TDossierTemporaire(EEmplacement emplacement = EEmplacement::Temporaire);
    ~TDossierTemporaire();
    TDossierTemporaire(const TDossierTemporaire&) = delete;
    TDossierTemporaire& operator=(const TDossierTemporaire&) = delete;

    [[nodiscard]] std::filesystem::path operator/(std::string_view nom) const { return chemin_ / nom; }
    [[nodiscard]] const std::filesystem::path& Chemin() const { return chemin_; }
    // The path of nom in the folder as text, for the tests that build names by concatenation.
    [[nodiscard]] std::string Nom(std::string_view nom = {}) const { return (chemin_ / nom).string(); }
    // Names of the files in the folder, sorted.
    [[nodiscard]] std::vector<std::string> Contenu() const;
    // Writes raw bytes and returns the file's path.
    std::filesystem::path Ecrire(std::string_view nom, std::string_view octets) const;

private:
    std::filesystem::path chemin_;
};

void EcrireFichier(const std::filesystem::path& nom, std::string_view contenu);
[[nodiscard]] std::string LireFichier(const std::filesystem::path& nom);

} // namespace tessarc::essais
