#pragma once
// The terminal side of the document operations: progress on standard error when it is a terminal,
// messages on standard error, and Ctrl-C turned into the cancellation "abandon" at the next progress
// report (a second Ctrl-C ends the program at once).

#include "Document.h"
#include "Progression.h"

#include <string>

namespace tessarc::cli {

class TConsole final : public IFenetreDocument, public IProgression {
public:
    TConsole();
    ~TConsole() override;
    TConsole(const TConsole&) = delete;
    TConsole& operator=(const TConsole&) = delete;

    void AffiInfo(int panneau, const std::string& texte) override;
    void Message(const std::string& texte) override;
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
