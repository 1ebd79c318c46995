#include "DossierTemporaire.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tessarc::essais {

namespace fs = std::filesystem;

namespace {

fs::path Base(TDossierTemporaire::EEmplacement emplacement) {
    const char* tmpdir = std::getenv("TMPDIR");
    const bool tmpdirDonne = tmpdir != nullptr && *tmpdir != '\0';
    if (emplacement == TDossierTemporaire::EEmplacement::Memoire && !tmpdirDonne && fs::is_directory("/dev/shm"))
        return "/dev/shm";
    return fs::temp_directory_path();
}

} // namespace

TDossierTemporaire::TDossierTemporaire(EEmplacement emplacement) {
    std::string modele = (Base(emplacement) / "tessarc-essai-XXXXXX").string();
    if (::mkdtemp(modele.data()) == nullptr) throw std::runtime_error("mkdtemp " + modele);
    chemin_ = modele;
}

TDossierTemporaire::~TDossierTemporaire() {
    // A test may have taken the folder's own permissions away.
    std::error_code ec;
    fs::permissions(chemin_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(chemin_, ec);
}

std::vector<std::string> TDossierTemporaire::Contenu() const {
    std::vector<std::string> noms;
    for (const auto& e : fs::directory_iterator(chemin_)) noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    return noms;
}

fs::path TDossierTemporaire::Ecrire(std::string_view nom, std::string_view octets) const {
    fs::path chemin = *this / nom;
    EcrireFichier(chemin, octets);
    return chemin;
}

void EcrireFichier(const fs::path& nom, std::string_view contenu) {
    std::ofstream f(nom, std::ios::binary | std::ios::trunc);
    f.write(contenu.data(), static_cast<std::streamsize>(contenu.size()));
    if (!f) throw std::runtime_error("écriture de " + nom.string());
}

std::string LireFichier(const fs::path& nom) {
    std::ifstream f(nom, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

} // namespace tessarc::essais
