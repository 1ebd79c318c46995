#pragma once
// A fresh folder for one test, removed with everything in it at the end of the test.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tessarc::essais {

class DossierTemporaire {
public:
    DossierTemporaire() {
        std::string modele = (std::filesystem::temp_directory_path() / "tessarc-XXXXXX").string();
        if (::mkdtemp(modele.data()) == nullptr) throw std::runtime_error("mkdtemp");
        chemin_ = modele;
    }
    ~DossierTemporaire() {
        std::error_code ec;
        std::filesystem::remove_all(chemin_, ec);
    }
    DossierTemporaire(const DossierTemporaire&) = delete;
    DossierTemporaire& operator=(const DossierTemporaire&) = delete;

    [[nodiscard]] std::string Chemin(std::string_view nom = {}) const { return (chemin_ / nom).string(); }

    // Writes raw bytes and returns the file's path.
    std::string Ecrire(std::string_view nom, std::string_view octets) const {
        const std::string chemin = Chemin(nom);
        std::ofstream f(chemin, std::ios::binary);
        f.write(octets.data(), static_cast<std::streamsize>(octets.size()));
        return chemin;
    }

    [[nodiscard]] static std::string Lire(const std::string& chemin) {
        std::ifstream f(chemin, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path chemin_;
};

} // namespace tessarc::essais
