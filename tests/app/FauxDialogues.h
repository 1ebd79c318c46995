#pragma once
// Scripted answers for the window's boxes and dialogs, with a record of what was asked.

#include "Dialogues.h"

#include <deque>
#include <optional>
#include <vector>

namespace tessarc {

struct TFauxDialogues {
    std::deque<TReponse> reponses; // answers in order; No once they run out
    std::vector<QString> questions;
    std::vector<QString> messages;
    QString nomAOuvrir; // empty: the open dialog is cancelled
    std::vector<QString> dossiersOuverture;
    std::vector<QString> filtresOuverture;
    std::optional<TChoixEnregistrement> choixEnregistrement;
    std::vector<QString> nomsProposes;
    std::optional<QColor> couleur;
    std::vector<QUrl> liens;

    [[nodiscard]] TDialogues Dialogues() {
        TDialogues d;
        d.Question = [this](QWidget*, const QString& question) {
            questions.push_back(question);
            if (reponses.empty()) return TReponse::Non;
            const TReponse r = reponses.front();
            reponses.pop_front();
            return r;
        };
        d.Message = [this](QWidget*, const QString& texte) { messages.push_back(texte); };
        d.NomAOuvrir = [this](QWidget*, const QString& dossier, const QString& filtre) {
            dossiersOuverture.push_back(dossier);
            filtresOuverture.push_back(filtre);
            return nomAOuvrir;
        };
        d.NomAEnregistrer = [this](QWidget*, const QString& nom, const QString&) {
            nomsProposes.push_back(nom);
            return choixEnregistrement;
        };
        d.Couleur = [this](QWidget*, const QColor&) { return couleur; };
        d.OuvrirLien = [this](QWidget*, const QUrl& lien, const std::function<void()>&) {
            liens.push_back(lien);
        };
        return d;
    }
};

} // namespace tessarc
