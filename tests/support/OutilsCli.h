#pragma once
// Runs tessarc-cli in a child process, its outputs caught in files of a temporary folder.

#include "DossierTemporaire.h"

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
    // signal, when given, is "INT texte" or "TERM texte": the program sends it to itself at the first
    // progress report starting with texte.
    // suffixe tells apart the output files of processes run at once.
    TProcessusCli(const TDossierTemporaire& dossier, const std::vector<std::string>& arguments,
                  const std::string& signal = {}, const std::string& suffixe = {})
        : sortie_(dossier / ("sortie" + suffixe + ".txt")), erreur_(dossier / ("erreur" + suffixe + ".txt")) {
        pid_ = fork();
        if (pid_ == 0) {
            if (!signal.empty()) setenv("TESSARC_ESSAI_SIGNAL", signal.c_str(), 1);
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
    // The exit code (-1 when the program did not exit by itself, or was killed after delai seconds) and
    // its outputs, whose files go.
    TResultatCli Attendre(unsigned delai = 0) {
        int etat = 0;
        if (delai > 0) {
            // A watchdog process: the test fails instead of hanging.
            const pid_t garde = fork();
            if (garde == 0) {
                ::sleep(delai);
                kill(pid_, SIGKILL);
                _exit(0);
            }
            waitpid(pid_, &etat, 0);
            kill(garde, SIGKILL);
            waitpid(garde, nullptr, 0);
        } else {
            waitpid(pid_, &etat, 0);
        }
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

// Runs a command that receives signal ("INT texte": Ctrl-C; "TERM texte") at its first progress report
// starting with texte.
inline TResultatCli LancerCliInterrompu(const TDossierTemporaire& dossier, const std::vector<std::string>& arguments,
                                        const std::string& signal) {
    return TProcessusCli(dossier, arguments, signal).Attendre();
}

} // namespace tessarc::essais
