#pragma once
// The terminal as the user's channel: progress on standard error when it is a terminal, messages on
// standard error, questions answered No (nobody is there to answer), and Ctrl-C turned into the
// cancellation "abandon" at the next progress report (a second Ctrl-C ends the program at once).

#include "Utilisateur.h"

#include <string>

namespace tessarc::cli {

class TConsole final : public IUtilisateur {
public:
    TConsole();
    ~TConsole() override;
    TConsole(const TConsole&) = delete;
    TConsole& operator=(const TConsole&) = delete;

    void AffiInfo(int panneau, const std::string& texte) override;
    void Message(const std::string& texte) override;
    [[nodiscard]] TReponse Question(const std::string&) override { return TReponse::Non; }
    // Throws EStopError when Ctrl-C was pressed.
    void VerifierInterruption();

    static void InstallerInterruption();

private:
    void EffacerProgression();

    bool terminal_;
    bool progressionAffichee_ = false;
    int signalEssai_ = 0;
    std::string texteEssai_;
};

} // namespace tessarc::cli
