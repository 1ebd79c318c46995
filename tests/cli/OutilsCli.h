#pragma once
// Runs tessarc-cli in a child process, its outputs caught in files of a temporary folder.

#include "OutilsTests.h"

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tessarc::essais {

struct TResultatCli {
    int Code = -1;
    std::string Sortie, Erreur;
};

class TProcessusCli {
public:
    TProcessusCli(const TDossierTemporaire& dossier, const std::vector<std::string>& arguments)
        : sortie_(dossier / "sortie.txt"), erreur_(dossier / "erreur.txt") {
        pid_ = fork();
        if (pid_ == 0) {
            const int so = open(sortie_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int se = open(erreur_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(so, 1);
            dup2(se, 2);
            std::vector<char*> argv{const_cast<char*>(TESSARC_CLI)};
            for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(TESSARC_CLI, argv.data());
            _exit(127);
        }
    }
    TProcessusCli(const TProcessusCli&) = delete;
    TProcessusCli& operator=(const TProcessusCli&) = delete;
    ~TProcessusCli() {
        if (pid_ > 0) static_cast<void>(Attendre());
    }

    void Interrompre() const { kill(pid_, SIGINT); }
    // The exit code (-1 when the program did not exit by itself) and its outputs, whose files go.
    TResultatCli Attendre() {
        int etat = 0;
        waitpid(pid_, &etat, 0);
        pid_ = -1;
        TResultatCli r;
        r.Code = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
        r.Sortie = LireFichier(sortie_);
        r.Erreur = LireFichier(erreur_);
        std::filesystem::remove(sortie_);
        std::filesystem::remove(erreur_);
        return r;
    }

private:
    std::filesystem::path sortie_, erreur_;
    pid_t pid_ = -1;
};

inline TResultatCli LancerCli(const TDossierTemporaire& dossier, const std::vector<std::string>& arguments) {
    return TProcessusCli(dossier, arguments).Attendre();
}

// Runs a command whose input scan is the named pipe tube: once the program opens it (it installs its
// Ctrl-C handler before opening anything), Ctrl-C is sent, then lignes are written (a few lines: the
// program stops reading, so they must fit the pipe's buffer). A pipe has no size,
// so every line reports progress, and the first report finds the signal.
inline TResultatCli LancerCliInterrompu(const TDossierTemporaire& dossier,
                                        const std::vector<std::string>& arguments,
                                        const std::filesystem::path& tube, const std::string& lignes) {
    if (mkfifo(tube.c_str(), 0600) != 0) throw std::runtime_error("mkfifo");
    TProcessusCli p(dossier, arguments);
    const int fd = open(tube.c_str(), O_WRONLY);
    if (fd < 0) throw std::runtime_error("ouverture du tube");
    p.Interrompre();
    const bool ecrit = write(fd, lignes.data(), lignes.size()) == static_cast<ssize_t>(lignes.size());
    close(fd);
    TResultatCli r = p.Attendre();
    if (!ecrit) throw std::runtime_error("écriture dans le tube");
    return r;
}

} // namespace tessarc::essais
