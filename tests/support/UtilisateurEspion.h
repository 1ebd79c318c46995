#pragma once
// A user that records what it is told and asked and can stop the progress at a chosen text.

#include "Utilisateur.h"

#include <string>
#include <utility>
#include <vector>

namespace tessarc::essais {

// Records every status text, message and question; throws EStopError on the first status text that
// starts with arret (when not empty); answers every question with Reponse.
class TUtilisateurEspion final : public IUtilisateur {
public:
    explicit TUtilisateurEspion(std::string arret = {}) : arret_(std::move(arret)) {}
    void AffiInfo(int, const std::string& texte) override {
        Textes.push_back(texte);
        if (!arret_.empty() && texte.starts_with(arret_)) throw EStopError();
    }
    void Message(const std::string& texte) override { Messages.push_back(texte); }
    [[nodiscard]] TReponse Question(const std::string& texte) override {
        Questions.push_back(texte);
        return Reponse;
    }
    std::vector<std::string> Textes, Messages, Questions;
    TReponse Reponse = TReponse::Non;

private:
    std::string arret_;
};

} // namespace tessarc::essais
