#include "Console.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace tessarc::cli {

namespace {

volatile std::sig_atomic_t Interruption = 0;

void SurInterruption(int) {
    Interruption = 1;
}

} // namespace

void TConsole::InstallerInterruption() {
    struct sigaction action {};
    action.sa_handler = SurInterruption;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

TConsole::TConsole() : terminal_(isatty(STDERR_FILENO) == 1) {
    // Test seam: "INT texte" or "TERM texte" sends that signal to the program itself at the first
    // progress report starting with texte, as a user's Ctrl-C or a kill would at that moment.
    if (const char* essai = std::getenv("TESSARC_ESSAI_SIGNAL")) {
        const std::string e = essai;
        const auto espace = e.find(' ');
        if (espace != std::string::npos) {
            signalEssai_ = e.compare(0, espace, "TERM") == 0 ? SIGTERM : SIGINT;
            texteEssai_ = e.substr(espace + 1);
        }
    }
}

TConsole::~TConsole() {
    EffacerProgression();
}

void TConsole::VerifierInterruption() {
    if (Interruption != 0) throw EStopError();
}

void TConsole::AffiInfo(int, const std::string& texte) {
    if (signalEssai_ != 0 && texte.starts_with(texteEssai_)) {
        const int s = signalEssai_;
        signalEssai_ = 0;
        std::raise(s);
    }
    VerifierInterruption();
    if (!terminal_) return;
    std::fprintf(stderr, "\r%s\033[K", texte.c_str());
    std::fflush(stderr);
    progressionAffichee_ = true;
}

void TConsole::EffacerProgression() {
    if (!progressionAffichee_) return;
    std::fputs("\r\033[K", stderr);
    progressionAffichee_ = false;
}

void TConsole::Message(const std::string& texte) {
    EffacerProgression();
    std::fprintf(stderr, "tessarc-cli : %s\n", texte.c_str());
}

} // namespace tessarc::cli
