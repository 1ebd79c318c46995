#pragma once
// The one channel from the program to its user: plain messages, Yes/No questions, and the status line
// of long work with its cancel (the IProgression part, which the readers take alone). The window puts
// it on its boxes, status bar and Esc; the command-line tool on the terminal and Ctrl-C. The core is
// handed one and never talks to the user otherwise.

#include "Progression.h"

#include <exception>
#include <string>
#include <utility>

namespace tessarc {

// The answer of a Yes/No question; Annuler when the box was closed without a choice.
enum class TReponse { Oui, Non, Annuler };

class IUtilisateur : public IProgression {
public:
    // A message with an OK button: an error's own text, a report.
    virtual void Message(const std::string& texte) = 0;
    // A question with the buttons Yes and No.
    [[nodiscard]] virtual TReponse Question(const std::string& texte) = 0;
};

// Nobody to tell: messages dropped, questions answered No, progress not shown.
class UtilisateurMuet final : public IUtilisateur {
public:
    void AffiInfo(int, const std::string&) override {}
    void Message(const std::string&) override {}
    [[nodiscard]] TReponse Question(const std::string&) override { return TReponse::Non; }
};

// Runs a command; an error, an abandon included, ends it and its own text goes to the user.
template <typename F> void Commande(IUtilisateur& utilisateur, F&& travail) {
    try {
        std::forward<F>(travail)();
    } catch (const std::exception& e) {
        utilisateur.Message(e.what());
    }
}

} // namespace tessarc
