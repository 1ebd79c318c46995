#include "Fichier.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tessarc {

namespace {

std::atomic<std::int64_t> rangPanne{0};
std::atomic<int> codePanne{0};

// The fault of InjecterPanneEcriture when this write is the chosen one: -1 with errno set, or the
// shortened length.
ssize_t Ecriture(int fd, const void* s, std::size_t n) {
    if (rangPanne.load(std::memory_order_relaxed) > 0 && rangPanne.fetch_sub(1) == 1) {
        const int code = codePanne.load();
        if (code != 0) {
            errno = code;
            return -1;
        }
        n = n > 1 ? n / 2 : n;
    }
    return ::write(fd, s, n);
}

} // namespace

void InjecterPanneEcriture(std::int64_t rang, int code) {
    codePanne = code;
    rangPanne = rang;
}

void ErreurFichier(const std::filesystem::path& nom, const std::string& quoi) {
    throw std::runtime_error("fichier « " + nom.string() + " » : " + quoi);
}

TFichier::TFichier(std::filesystem::path nom, EMode mode) : nom_(std::move(nom)) {
    // Without blocking: a pipe or a device would wait for a writer forever.
    const int drapeaux = mode == EMode::Lecture ? (O_RDONLY | O_NONBLOCK) : (O_RDWR | O_CREAT | O_TRUNC);
    do {
        fd_ = ::open(nom_.c_str(), drapeaux | O_CLOEXEC, 0666);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) Echec(mode == EMode::Lecture ? "ouverture impossible" : "création impossible", errno);
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int erreur = errno;
        ::close(fd_);
        fd_ = -1;
        Echec("ouverture impossible", erreur);
    }
    if (S_ISDIR(st.st_mode) || (mode == EMode::Lecture && !S_ISREG(st.st_mode))) {
        ::close(fd_);
        fd_ = -1;
        if (S_ISDIR(st.st_mode)) Echec("ouverture impossible", EISDIR);
        ErreurFichier(nom_, "ce n'est pas un fichier ordinaire (tube, périphérique ou socket) : lecture refusée");
    }
    if (mode == EMode::Lecture) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

TFichier::TFichier(int fd, std::filesystem::path nom, std::string libelle, std::string suite)
    : fd_(fd), nom_(std::move(nom)), libelle_(std::move(libelle)), suite_(std::move(suite)) {}

namespace {

// An unnamed file in dossier: O_TMPFILE where the file system has it, else a fresh name created
// exclusively and removed at once. -1 with errno set when the folder refuses.
int CreerSansNom(const std::filesystem::path& dossier) {
    int fd = ::open(dossier.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
    std::string modele = (dossier / ".tessarc-XXXXXX").string();
    fd = ::mkostemp(modele.data(), O_CLOEXEC);
    if (fd >= 0) ::unlink(modele.c_str());
    return fd;
}

} // namespace

TFichier TFichier::Temporaire(const std::filesystem::path& voisin) {
    std::filesystem::path dossier = voisin.parent_path();
    if (dossier.empty()) dossier = ".";
    std::error_code ec;
    const std::filesystem::path autre = std::filesystem::temp_directory_path(ec);
    const std::string libelle = "fichier temporaire de « " + voisin.string() + " »";
    int premiere = 0;
    for (const std::filesystem::path& d : {dossier, autre}) {
        if (d.empty()) continue;
        const int fd = CreerSansNom(d);
        if (fd >= 0) return TFichier(fd, d, libelle + " (dans " + d.string() + ")");
        if (premiere == 0) premiere = errno;
    }
    throw std::runtime_error(libelle + " : création impossible, " + TexteErreurSysteme(premiere));
}

TFichier::TFichier(TFichier&& autre) noexcept
    : fd_(autre.fd_), nom_(std::move(autre.nom_)), libelle_(std::move(autre.libelle_)),
      suite_(std::move(autre.suite_)) {
    autre.fd_ = -1;
}

TFichier& TFichier::operator=(TFichier&& autre) noexcept {
    if (this != &autre) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = autre.fd_;
        nom_ = std::move(autre.nom_);
        libelle_ = std::move(autre.libelle_);
        suite_ = std::move(autre.suite_);
        autre.fd_ = -1;
    }
    return *this;
}

TFichier::~TFichier() {
    if (fd_ >= 0) ::close(fd_);
}

void TFichier::Echec(const char* operation, int code) const {
    const std::string quoi = std::string(operation) + ", " + TexteErreurSysteme(code) + suite_;
    if (!libelle_.empty()) throw std::runtime_error(libelle_ + " : " + quoi);
    ErreurFichier(nom_, quoi);
}

std::size_t TFichier::Lire(void* dest, std::size_t n) {
    auto* d = static_cast<unsigned char*>(dest);
    std::size_t total = 0;
    while (total < n) {
        const ssize_t k = ::read(fd_, d + total, n - total);
        if (k < 0) {
            if (errno == EINTR) continue;
            Echec("lecture impossible", errno);
        }
        if (k == 0) break;
        total += static_cast<std::size_t>(k);
    }
    return total;
}

void TFichier::LireExact(void* dest, std::size_t n) {
    if (Lire(dest, n) != n) {
        if (!libelle_.empty()) throw std::runtime_error(libelle_ + " : fin de fichier inattendue");
        ErreurFichier(nom_, "fin de fichier inattendue");
    }
}

void TFichier::Ecrire(const void* src, std::size_t n) {
    const auto* s = static_cast<const unsigned char*>(src);
    while (n > 0) {
        const ssize_t k = Ecriture(fd_, s, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            Echec("écriture impossible", errno);
        }
        s += k;
        n -= static_cast<std::size_t>(k);
    }
}

std::int64_t TFichier::Taille() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Echec("taille illisible", errno);
    return static_cast<std::int64_t>(st.st_size);
}

void TFichier::Rembobiner() {
    if (::lseek(fd_, 0, SEEK_SET) < 0) Echec("retour au début impossible", errno);
}

std::int64_t TFichier::Position() const {
    const off_t p = ::lseek(fd_, 0, SEEK_CUR);
    if (p < 0) Echec("position illisible", errno);
    return static_cast<std::int64_t>(p);
}

void TFichier::Positionner(std::int64_t position) {
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0) Echec("déplacement impossible", errno);
}

void TFichier::Synchroniser() {
    if (::fdatasync(fd_) != 0 && errno != EINVAL) Echec("écriture sur le disque impossible", errno);
}

void TFichier::Fermer() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) Echec("écriture impossible", errno);
}

TTamponEcriture::TTamponEcriture(TFichier& fichier, std::size_t taille)
    : fichier_(fichier), tampon_(std::make_unique_for_overwrite<unsigned char[]>(taille)), taille_(taille) {}

void TTamponEcriture::Vider() {
    if (rempli_ == 0) return;
    fichier_.Ecrire(tampon_.get(), rempli_);
    rempli_ = 0;
}

TTamponLecture::TTamponLecture(TFichier& fichier, std::size_t taille)
    : fichier_(fichier), tampon_(std::make_unique_for_overwrite<unsigned char[]>(taille)), taille_(taille) {}

void TTamponLecture::Remplir(std::size_t n) {
    const std::size_t reste = rempli_ - debut_;
    std::memmove(tampon_.get(), tampon_.get() + debut_, reste);
    debut_ = 0;
    rempli_ = reste + fichier_.Lire(tampon_.get() + reste, taille_ - reste);
    if (rempli_ < n) ErreurFichier(fichier_.Nom(), "fichier tronqué");
}

void TTamponLecture::Sauter(std::uint64_t n) {
    const std::size_t reste = rempli_ - debut_;
    if (n <= reste) {
        debut_ += static_cast<std::size_t>(n);
        return;
    }
    const std::int64_t position = fichier_.Position();
    if (n - reste > static_cast<std::uint64_t>(fichier_.Taille() - position))
        ErreurFichier(fichier_.Nom(), "fichier tronqué");
    Positionner(position + static_cast<std::int64_t>(n - reste));
}

void TTamponLecture::Positionner(std::int64_t position) {
    fichier_.Positionner(position);
    debut_ = 0;
    rempli_ = 0;
}

TSuppressionFichier::~TSuppressionFichier() {
    if (!nom_.empty()) ::unlink(nom_.c_str());
}

} // namespace tessarc
