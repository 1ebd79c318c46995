// The atomic replacement of one file or of a set of files.

#include "Fichier.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tessarc {

namespace {

constexpr int MaxLiens = 40;

// The file a path finally names, through any chain of links (a dangling link names its target).
std::filesystem::path Resoudre(const std::filesystem::path& cible) {
    std::filesystem::path p = cible;
    for (int n = 0; n < MaxLiens; ++n) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(p, ec)) return p;
        const std::filesystem::path lien = std::filesystem::read_symlink(p, ec);
        if (ec) ErreurFichier(cible, "lien illisible, " + TexteErreurSysteme(ec.value()));
        p = lien.is_absolute() ? lien : p.parent_path() / lien;
    }
    ErreurFichier(cible, "enregistrement impossible, " + TexteErreurSysteme(ELOOP));
}

// ".nom." : the start of the hidden names beside nom; then "<pid>-<hex>" and ".tmp" (new content) or
// ".old" (an old file kept while a set is replaced).
std::string Prefixe(const std::filesystem::path& reel) {
    return "." + reel.filename().string() + ".";
}

std::filesystem::path NomCache(const std::filesystem::path& reel, const char* suffixe) {
    static std::random_device alea;
    char marque[32];
    std::snprintf(marque, sizeof marque, "%ld-%08x", static_cast<long>(::getpid()), static_cast<unsigned>(alea()));
    return reel.parent_path() / (Prefixe(reel) + marque + suffixe);
}

// Removes the hidden files of earlier runs on the same target whose process no longer runs.
void NettoyerRestes(const std::filesystem::path& reel) {
    const std::string prefixe = Prefixe(reel);
    std::error_code ec;
    const std::filesystem::path dossier = reel.parent_path().empty() ? "." : reel.parent_path();
    for (const auto& e : std::filesystem::directory_iterator(dossier, ec)) {
        const std::string nom = e.path().filename().string();
        if (!nom.starts_with(prefixe) || !(nom.ends_with(".tmp") || nom.ends_with(".old"))) continue;
        long pid = 0;
        unsigned hex = 0;
        char fin[8] = {};
        if (std::sscanf(nom.c_str() + prefixe.size(), "%ld-%8x.%3s", &pid, &hex, fin) != 3 || pid <= 0) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        std::filesystem::remove(e.path(), ec);
    }
}

} // namespace

TEcritureAtomique::TEcritureAtomique(std::filesystem::path cible)
    : cible_(std::move(cible)), reel_(Resoudre(cible_)) {
    struct stat st {};
    existait_ = ::stat(reel_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (existait_ && ((st.st_mode & 0222) == 0 || ::access(reel_.c_str(), W_OK) != 0))
        ErreurFichier(cible_, "fichier en lecture seule : enregistrement refusé, l'ancien fichier est intact");
    NettoyerRestes(reel_);
    const std::string suite = existait_ ? " ; l'ancien fichier est intact" : "";
    for (int essai = 0;; ++essai) {
        temporaire_ = NomCache(reel_, ".tmp");
        const int fd = ::open(temporaire_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fichier_ = TFichier(fd, temporaire_, "fichier « " + cible_.string() + " »", suite);
            break;
        }
        if (errno != EEXIST || essai > 100) Echec("création impossible, " + TexteErreurSysteme(errno) + suite);
    }
    // The replacement keeps the permissions of the file it replaces, where the file system has any.
    if (existait_) static_cast<void>(::fchmod(fichier_.fd_, st.st_mode & 07777));
}

TEcritureAtomique::~TEcritureAtomique() {
    if (!valide_) {
        fichier_ = TFichier();
        ::unlink(temporaire_.c_str());
    }
}

void TEcritureAtomique::Echec(const std::string& quoi) const {
    ErreurFichier(cible_, quoi);
}

void TEcritureAtomique::Preparer() {
    fichier_.Synchroniser();
    fichier_.Fermer();
}

void TEcritureAtomique::Remplacer() {
    if (::rename(temporaire_.c_str(), reel_.c_str()) != 0)
        Echec("enregistrement impossible, " + TexteErreurSysteme(errno) +
              (existait_ ? " ; l'ancien fichier est intact" : ""));
    valide_ = true;
}

void TEcritureAtomique::Valider() {
    Preparer();
    Remplacer();
}

TEcritureEnsemble::TEcritureEnsemble(const std::vector<std::filesystem::path>& cibles) {
    for (const auto& c : cibles) ecritures_.push_back(std::make_unique<TEcritureAtomique>(c));
}

void TEcritureEnsemble::Valider() {
    for (auto& e : ecritures_) e->Preparer();
    // Each old file keeps a second name until every new one is in place.
    std::vector<std::filesystem::path> copies(ecritures_.size());
    for (std::size_t i = 0; i < ecritures_.size(); ++i) {
        if (!ecritures_[i]->existait_) continue;
        copies[i] = NomCache(ecritures_[i]->reel_, ".old");
        if (::link(ecritures_[i]->reel_.c_str(), copies[i].c_str()) != 0) {
            const int code = errno;
            copies[i].clear();
            Annuler(0, copies);
            ecritures_[i]->Echec("enregistrement impossible, " + TexteErreurSysteme(code) +
                                 " ; aucun fichier n'a été remplacé");
        }
    }
    for (std::size_t i = 0; i < ecritures_.size(); ++i) {
        try {
            ecritures_[i]->Remplacer();
        } catch (const std::runtime_error& e) {
            Annuler(i, copies);
            throw std::runtime_error(std::string(e.what()) + " ; aucun fichier n'a été remplacé");
        }
    }
    for (const auto& c : copies)
        if (!c.empty()) ::unlink(c.c_str());
}

// The first `remplaces` targets get their old file back (or go, when they had none); the copies go.
void TEcritureEnsemble::Annuler(std::size_t remplaces, const std::vector<std::filesystem::path>& copies) {
    for (std::size_t i = 0; i < ecritures_.size(); ++i) {
        if (copies[i].empty()) {
            if (i < remplaces) ::unlink(ecritures_[i]->reel_.c_str());
            continue;
        }
        if (i < remplaces)
            ::rename(copies[i].c_str(), ecritures_[i]->reel_.c_str());
        else
            ::unlink(copies[i].c_str());
    }
}

} // namespace tessarc
