#include "StringUtils.h"

#include "Encodages.h"
#include "Nombres.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tessarc {

namespace {

constexpr std::string_view kDebutDelimiteur = "< délimstr ";

AttenteOuverture& Attente() {
    static AttenteOuverture attente = [](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); };
    return attente;
}

// Reports the work to the status line, and its end in every case.
class StatutEnCours {
public:
    StatutEnCours(IProgression* statut, const std::string& texte) : statut_(statut) {
        if (statut_ != nullptr) statut_->AffiInfo(1, texte);
    }
    ~StatutEnCours() {
        try {
            if (statut_ != nullptr) statut_->AffiInfo(1, std::string());
        } catch (...) {
        }
    }
    StatutEnCours(const StatutEnCours&) = delete;
    StatutEnCours& operator=(const StatutEnCours&) = delete;

private:
    IProgression* statut_;
};

class Descripteur {
public:
    explicit Descripteur(int fd) : fd_(fd) {}
    ~Descripteur() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descripteur(const Descripteur&) = delete;
    Descripteur& operator=(const Descripteur&) = delete;
    [[nodiscard]] int Valeur() const { return fd_; }
    // The error of the close itself, which can be the first sign of a failed write.
    int Fermer() {
        const int r = ::close(fd_);
        fd_ = -1;
        return r == 0 ? 0 : errno;
    }

private:
    int fd_;
};

std::string TexteErreur(int erreur) {
    return std::system_category().message(erreur);
}

// Opens for reading; -1 with the error in `erreur`. A folder is not a text file.
int OuvrirEnLecture(const std::string& nom, int& erreur) {
    const int fd = ::open(nom.c_str(), O_RDONLY | O_CLOEXEC);
    erreur = errno;
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        erreur = EISDIR;
        return -1;
    }
    return fd;
}

// The field is copied before the source loses its front.
std::string Couper(std::string& source, std::string_view reste, std::string_view champ) {
    std::string r(champ);
    source.erase(0, source.size() - reste.size());
    return r;
}

} // namespace

std::string_view ExtraireJusquaVue(std::string_view& source, std::string_view separateur) {
    const auto p = separateur.empty() ? std::string_view::npos : source.find(separateur);
    if (p == std::string_view::npos) {
        const std::string_view champ = source;
        source.remove_prefix(source.size());
        return champ;
    }
    const std::string_view champ = source.substr(0, p);
    source.remove_prefix(p + separateur.size());
    return champ;
}

std::string_view ExtraireLigneVue(std::string_view& source) {
    return ExtraireJusquaVue(source, "\r\n");
}

std::string ExtraireJusqua(std::string& source, std::string_view separateur) {
    std::string_view reste = source;
    const std::string_view champ = ExtraireJusquaVue(reste, separateur);
    return Couper(source, reste, champ);
}

std::string ExtraireJusqua(std::string& source, char separateur) {
    return ExtraireJusqua(source, std::string_view(&separateur, 1));
}

std::string ExtraireLigne(std::string& source) {
    return ExtraireJusqua(source, "\r\n");
}

std::string ExtraireChampTab(std::string& source) {
    return ExtraireJusqua(source, '\t');
}

std::string ExtraireMot(std::string& source) {
    std::string_view reste = source;
    const std::string_view mot = ExtraireMotVue(reste);
    return Couper(source, reste, mot);
}

double ExtraireReel(std::string& source) {
    std::string_view reste = source;
    const double v = ExtraireReelVue(reste);
    source.erase(0, source.size() - reste.size());
    return v;
}

std::int32_t ExtraireEntier(std::string& source) {
    std::string_view reste = source;
    const std::int32_t v = ExtraireEntierVue(reste);
    source.erase(0, source.size() - reste.size());
    return v;
}

void AjouterNote(std::string& texte, std::string_view partie) {
    if (partie.empty()) return;
    if (!texte.empty()) texte += " ; ";
    texte += partie;
}

std::string SansEspaces(std::string_view texte) {
    std::string r;
    r.reserve(texte.size());
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] == ' ') continue;
        if (texte[i] == '\xC2' && i + 1 < texte.size() && texte[i + 1] == '\xA0') {
            ++i;
            continue;
        }
        r += texte[i];
    }
    return r;
}

void DefinirAttenteOuverture(AttenteOuverture attente) {
    Attente() = std::move(attente);
}

std::string ChargerFichierTexte(const std::string& nomFichier, IProgression* statut) {
    const StatutEnCours enCours(statut, "charge " + nomFichier);
    int fd = -1;
    for (int essai = 1;; ++essai) {
        int erreur = 0;
        fd = OuvrirEnLecture(nomFichier, erreur);
        if (fd >= 0) break;
        if (erreur == ENOENT || erreur == ENOTDIR) return {};
        if (essai == 10)
            throw std::runtime_error("impossible d'ouvrir le fichier " + nomFichier + " : " +
                                     TexteErreur(erreur));
        Attente()(std::chrono::milliseconds(100 * essai));
    }
    Descripteur d(fd);
    std::string octets;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) octets.reserve(static_cast<std::size_t>(st.st_size));
    char tampon[65536];
    for (;;) {
        const ssize_t n = ::read(fd, tampon, sizeof tampon);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("erreur de lecture du fichier " + nomFichier + " : " +
                                     TexteErreur(errno));
        }
        octets.append(tampon, static_cast<std::size_t>(n));
    }
    return DecoderTexte(octets);
}

void RangerFichierTexte(std::string_view texte, const std::string& nomFichier, IProgression* statut) {
    const StatutEnCours enCours(statut, "range " + nomFichier);
    const int fd = ::open(nomFichier.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw std::runtime_error("impossible de créer le fichier " + nomFichier + " : " + TexteErreur(errno));
    Descripteur d(fd);
    const auto echec = [&](int erreur) {
        return std::runtime_error("erreur d'écriture dans le fichier " + nomFichier + " : " +
                                  TexteErreur(erreur));
    };
    while (!texte.empty()) {
        const ssize_t n = ::write(fd, texte.data(), texte.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw echec(errno);
        }
        texte.remove_prefix(static_cast<std::size_t>(n));
    }
    if (const int erreur = d.Fermer(); erreur != 0) throw echec(erreur);
}

std::string Delimiter(std::string_view valeur, bool uneLigne) {
    std::string debut(kDebutDelimiteur);
    for (;;) {
        for (char lettre = 'A'; lettre <= 'Z'; ++lettre) {
            const std::string d = debut + lettre + " >";
            if (valeur.find(d) != std::string_view::npos) continue;
            std::string r;
            r.reserve(valeur.size() + 2 * d.size() + 4);
            r.append(d);
            if (!uneLigne) r.append("\r\n");
            r.append(valeur);
            r.append(d);
            if (!uneLigne) r.append("\r\n");
            return r;
        }
        debut += '_';
    }
}

std::string_view ExtraireDelimiteVue(std::string_view& source, bool uneLigne) {
    if (uneLigne && source.starts_with(kDebutDelimiteur)) {
        const auto fin = source.find('>');
        const std::string_view d = source.substr(0, fin == std::string_view::npos ? fin : fin + 1);
        source.remove_prefix(d.size());
        return ExtraireJusquaVue(source, d);
    }
    std::string fin(ExtraireLigneVue(source));
    fin += "\r\n";
    return ExtraireJusquaVue(source, fin);
}

std::string ExtraireDelimite(std::string& source, bool uneLigne) {
    std::string_view reste = source;
    const std::string_view valeur = ExtraireDelimiteVue(reste, uneLigne);
    return Couper(source, reste, valeur);
}

} // namespace tessarc
