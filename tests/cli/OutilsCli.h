#pragma once
// Runs tessarc-cli in a child process, its outputs caught in files of a temporary folder.

#include "OutilsTests.h"

#include <fcntl.h>
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

inline TResultatCli LancerCli(const TDossierTemporaire& dossier, const std::vector<std::string>& arguments) {
    const auto sortie = dossier / "sortie.txt";
    const auto erreur = dossier / "erreur.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        const int so = open(sortie.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int se = open(erreur.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(so, 1);
        dup2(se, 2);
        std::vector<char*> argv{const_cast<char*>(TESSARC_CLI)};
        for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(TESSARC_CLI, argv.data());
        _exit(127);
    }
    int etat = 0;
    waitpid(pid, &etat, 0);
    TResultatCli r;
    r.Code = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
    r.Sortie = LireFichier(sortie);
    r.Erreur = LireFichier(erreur);
    std::filesystem::remove(sortie);
    std::filesystem::remove(erreur);
    return r;
}

} // namespace tessarc::essais
