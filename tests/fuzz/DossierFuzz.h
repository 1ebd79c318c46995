#pragma once
// A folder for the files of one fuzzing run, removed after it (a crash leaves it behind), under TMPDIR or
// else in memory when the machine has /dev/shm, since every run writes and reads files.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tessarc::fuzz {

class TDossier {
public:
    TDossier() {
        const char* tmpdir = std::getenv("TMPDIR");
        const std::filesystem::path base =
            tmpdir != nullptr && *tmpdir != '\0'        ? std::filesystem::path(tmpdir)
            : std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                        : std::filesystem::temp_directory_path();
        std::string modele = (base / "tessarc-fuzz-XXXXXX").string();
        if (mkdtemp(modele.data()) == nullptr) std::abort();
        chemin_ = modele;
    }
    ~TDossier() {
        std::error_code ec;
        std::filesystem::remove_all(chemin_, ec);
    }
    TDossier(const TDossier&) = delete;
    TDossier& operator=(const TDossier&) = delete;

    [[nodiscard]] std::filesystem::path operator/(const std::string& nom) const { return chemin_ / nom; }

    std::filesystem::path Ecrire(const std::string& nom, const unsigned char* octets, std::size_t n) const {
        const auto chemin = chemin_ / nom;
        std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(octets), static_cast<std::streamsize>(n));
        if (!f) std::abort();
        return chemin;
    }

private:
    std::filesystem::path chemin_;
};

} // namespace tessarc::fuzz
