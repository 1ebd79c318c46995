#include "Utils.h"

#include "Nombres.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace tessarc {

namespace {

bool EstSeparateur(char c) {
    return c == '/' || c == '\\';
}

// The capital of the byte at i, looking at the byte before it for two-byte Latin-1 letters.
unsigned char MajusculeOctet(std::string_view t, std::size_t i) {
    const auto o = static_cast<unsigned char>(t[i]);
    if (o >= 'a' && o <= 'z') return static_cast<unsigned char>(o - 32);
    if (i > 0 && static_cast<unsigned char>(t[i - 1]) == 0xC3 && o >= 0xA0 && o <= 0xBE && o != 0xB7)
        return static_cast<unsigned char>(o - 0x20);
    return o;
}

} // namespace

std::string CheminExecutable() {
    std::error_code ec;
    const auto chemin = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : chemin.string();
}

std::string RepertoireAppli() {
    std::string chemin = CheminExecutable();
    if (chemin.empty()) {
        std::error_code ec;
        return std::filesystem::current_path(ec).string() + "/";
    }
    return chemin.substr(0, chemin.rfind('/') + 1);
}

std::string PartieChemin(std::string_view chemin, int partie) {
    if (chemin.size() > 1 && EstSeparateur(chemin.back())) chemin.remove_suffix(1);
    std::string lecteur;
    std::size_t debutDossier = 0;
    const auto lettre = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (chemin.size() >= 2 && lettre(chemin[0]) && chemin[1] == ':') {
        lecteur.assign(1, chemin[0]);
        debutDossier = 2;
    } else if (chemin.starts_with("\\\\")) {
        std::size_t fin = 2;
        for (int separateurs = 0; fin < chemin.size(); ++fin)
            if (EstSeparateur(chemin[fin]) && ++separateurs == 2) break;
        lecteur = chemin.substr(0, fin);
        debutDossier = fin;
    }
    const std::string_view reste = chemin.substr(debutDossier);
    std::size_t finDossier = reste.size();
    while (finDossier > 0 && !EstSeparateur(reste[finDossier - 1])) --finDossier;
    const std::string_view dossier = reste.substr(0, finDossier);
    const std::string_view nom = reste.substr(finDossier);
    const auto point = nom.rfind('.');
    const std::string_view extension =
        (point == std::string_view::npos || point == 0) ? std::string_view() : nom.substr(point);
    switch (partie) {
    case 0:
        return lecteur;
    case 1:
        return std::string(dossier);
    case 2:
        return std::string(nom.substr(0, nom.size() - extension.size()));
    case 3:
        return std::string(extension);
    case 4:
        return std::string(nom);
    case 5:
        return std::string(chemin.substr(0, debutDossier + dossier.size()));
    default:
        return {};
    }
}

std::string NomUtilisateur(IUtilisateur& utilisateur) {
    std::vector<char> tampon(16384);
    passwd entree{};
    passwd* trouve = nullptr;
    const int erreur = ::getpwuid_r(::geteuid(), &entree, tampon.data(), tampon.size(), &trouve);
    if (trouve != nullptr && trouve->pw_name != nullptr && *trouve->pw_name != '\0')
        return Majuscules(trouve->pw_name);
    for (const char* variable : {"USER", "LOGNAME"})
        if (const char* v = std::getenv(variable); v != nullptr && *v != '\0') return Majuscules(v);
    utilisateur.Message(std::system_category().message(erreur != 0 ? erreur : ENOENT));
    return {};
}

std::int64_t TailleFichier(const std::string& nomFichier) {
    std::error_code ec;
    const auto taille = std::filesystem::file_size(nomFichier, ec);
    return ec ? 0 : static_cast<std::int64_t>(taille);
}

std::string FormatReel(double valeur) {
    return FormatC("%.15g", valeur);
}

std::string Majuscules(std::string_view texte) {
    std::string r(texte);
    for (std::size_t i = 0; i < texte.size(); ++i) r[i] = static_cast<char>(MajusculeOctet(texte, i));
    return r;
}

int ComparerSansCasse(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = MajusculeOctet(a, i), y = MajusculeOctet(b, i);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string TexteErreurSysteme(int code) {
    switch (code) {
    case ENOENT:
        return "fichier ou dossier introuvable";
    case EACCES:
    case EPERM:
        return "accès refusé";
    case ENOSPC:
        return "disque plein";
    case EDQUOT:
        return "quota disque dépassé";
    case EROFS:
        return "support en lecture seule";
    case EISDIR:
        return "c'est un dossier";
    case ENOTDIR:
        return "un élément du chemin n'est pas un dossier";
    case EIO:
        return "erreur d'entrée-sortie";
    case EFBIG:
        return "fichier trop grand";
    case ENAMETOOLONG:
        return "nom trop long";
    case EMFILE:
    case ENFILE:
        return "trop de fichiers ouverts";
    case EBUSY:
        return "fichier occupé";
    case EXDEV:
        return "déplacement impossible entre deux supports";
    case ENOMEM:
        return "mémoire insuffisante";
    case ELOOP:
        return "trop de liens symboliques en chaîne";
    case EEXIST:
        return "le fichier existe déjà";
    case ENOTEMPTY:
        return "le dossier n'est pas vide";
    case ETXTBSY:
        return "fichier en cours d'exécution";
    case ENXIO:
    case ENODEV:
        return "périphérique absent";
    case EAGAIN:
        return "ressource momentanément indisponible";
    case EINTR:
        return "opération interrompue";
    case EINVAL:
        return "opération invalide sur ce fichier";
    case ESPIPE:
        return "fichier sans accès direct (tube ou socket)";
    case ENOTSUP:
        return "opération non prise en charge par ce support";
    case ESTALE:
        return "fichier réseau devenu inaccessible";
    case EOVERFLOW:
        return "fichier trop grand pour ce système";
    default:
        return "erreur système " + std::to_string(code);
    }
}

} // namespace tessarc
