#pragma once
// Helpers of the file tests: a temporary folder per test, whole-file reading and writing, a user that
// records what it is told and asked and can stop the progress at a chosen text.

#include "Chargement.h"
#include "SortiePoints.h"
#include "Utilisateur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessarc::essais {

class TDossierTemporaire {
public:
    TDossierTemporaire() {
        std::string modele = (std::filesystem::temp_directory_path() / "tessarc-essai-XXXXXX").string();
        if (mkdtemp(modele.data()) == nullptr) throw std::runtime_error("mkdtemp");
        chemin_ = modele;
    }
    ~TDossierTemporaire() {
        std::error_code ec;
        std::filesystem::permissions(chemin_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(chemin_, ec);
    }
    TDossierTemporaire(const TDossierTemporaire&) = delete;
    TDossierTemporaire& operator=(const TDossierTemporaire&) = delete;

    [[nodiscard]] std::filesystem::path operator/(const std::string& nom) const { return chemin_ / nom; }
    [[nodiscard]] const std::filesystem::path& Chemin() const { return chemin_; }
    // Names of the files in the folder, sorted.
    [[nodiscard]] std::vector<std::string> Contenu() const {
        std::vector<std::string> noms;
        for (const auto& e : std::filesystem::directory_iterator(chemin_))
            noms.push_back(e.path().filename().string());
        std::sort(noms.begin(), noms.end());
        return noms;
    }

private:
    std::filesystem::path chemin_;
};

inline void EcrireFichier(const std::filesystem::path& nom, const std::string& contenu) {
    std::ofstream f(nom, std::ios::binary);
    f.write(contenu.data(), static_cast<std::streamsize>(contenu.size()));
    if (!f) throw std::runtime_error("écriture de " + nom.string());
}

inline std::string LireFichier(const std::filesystem::path& nom) {
    std::ifstream f(nom, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

// Records every status text, message and question; throws EStopError on the first status text that
// starts with arret (when not empty); answers every question with Reponse.
class TUtilisateurEspion final : public IUtilisateur {
public:
    explicit TUtilisateurEspion(std::string arret = {}) : arret_(std::move(arret)) {}
    void AffiInfo(int, const std::string& texte) override {
        Textes.push_back(texte);
        if (!arret_.empty() && texte.rfind(arret_, 0) == 0) throw EStopError();
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

// Runs a reader of the table of formats on nom and returns its points as read: true coordinates in
// double, before the shift and the rounding to single.
inline std::vector<TPointLu> LireAvec(TLecteurPoints lecteur, const std::filesystem::path& nom,
                                      IProgression* progression = nullptr) {
    ProgressionMuette muette;
    TFichier source(nom, TFichier::EMode::Lecture);
    TFichier temporaire = TFichier::Temporaire(nom);
    TSortiePoints sortie(nom, temporaire);
    lecteur(source, sortie, progression != nullptr ? *progression : muette);
    sortie.Terminer();
    std::vector<unsigned char> octets(static_cast<std::size_t>(sortie.Nombre()) * TaillePointLu);
    temporaire.Rembobiner();
    temporaire.LireExact(octets.data(), octets.size());
    std::vector<TPointLu> points;
    for (std::size_t i = 0; i < octets.size(); i += TaillePointLu)
        points.push_back(DecoderPointLu(octets.data() + i));
    return points;
}

// What lecteur says refusing nom, without the "fichier « nom » : " every refusal starts with (a text that
// does not start so stays whole); "lu" when it reads the file.
inline std::string RefusDe(TLecteurPoints lecteur, const std::filesystem::path& nom) {
    try {
        static_cast<void>(LireAvec(lecteur, nom));
    } catch (const std::runtime_error& e) {
        const std::string debut = "fichier « " + nom.string() + " » : ";
        const std::string texte = e.what();
        return texte.starts_with(debut) ? texte.substr(debut.size()) : texte;
    }
    return "lu";
}

} // namespace tessarc::essais
