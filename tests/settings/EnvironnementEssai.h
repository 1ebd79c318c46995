#pragma once
// Every settings test runs on its own folders: the settings store, the XDG data folders and the INI
// folder point into a fresh temporary folder, never at the user's own settings. The fixture is the
// components' user: messages and questions are recorded and answered from a list.

#include "DossierTemporaire.h"
#include "CwinReg.h"
#include "StringUtils.h"
#include "Utilisateur.h"

#include <QSettings>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tessarc::essais {

class EssaiReglages : public ::testing::Test, public IUtilisateur {
protected:
    static constexpr const char* kAppli = "tessarc-essai";

    void SetUp() override {
        for (const char* d : {"config", "donnees", "systeme", "ini"})
            std::filesystem::create_directory(dossier.Nom(d));
        qputenv("HOME", QByteArray::fromStdString(dossier.Nom()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dossier.Nom("config")));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dossier.Nom("donnees")));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(dossier.Nom("systeme")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dossier.Nom("config")));
        DefinirAttenteOuverture([](std::chrono::milliseconds) {});
        TWinReg::Environnement().CtrlEnfonce = [this] { return ctrl; };
        TWinReg::Environnement().ChoisirFichierEnvironnement = [this] { return fichierChoisi; };
        TWinReg::Environnement().RepertoireIni = dossier.Nom("ini") + "/";
    }

    void TearDown() override { TWinReg::Environnement().RepertoireIni.clear(); }

    void AffiInfo(int, const std::string&) override {}
    void Message(const std::string& t) override { messages.push_back(t); }
    [[nodiscard]] TReponse Question(const std::string& t) override {
        questions.push_back(t);
        if (reponses.empty()) return TReponse::Non;
        const bool r = reponses.front();
        reponses.pop_front();
        return r ? TReponse::Oui : TReponse::Non;
    }

    // A window named like the main window, with its component (destroyed first).
    struct Fenetre {
        Fenetre(const char* nom, IUtilisateur& utilisateur) : fiche(std::make_unique<QWidget>()) {
            fiche->setObjectName(QString::fromLatin1(nom));
            wr = std::make_unique<TWinReg>(fiche.get(), utilisateur);
            wr->DefinirNomAppli(kAppli);
        }
        Fenetre(Fenetre&&) = default;
        Fenetre& operator=(Fenetre&&) = delete;
        ~Fenetre() = default;
        std::unique_ptr<QWidget> fiche;
        std::unique_ptr<TWinReg> wr;
    };
    Fenetre NouvelleFenetre(const char* nom = "FTessarc") { return Fenetre(nom, *this); }

    [[nodiscard]] std::string FichierReglages() const {
        return dossier.Nom("config/Vornak/") + kAppli + ".conf";
    }
    [[nodiscard]] std::unique_ptr<QSettings> Stockage() const {
        auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Vornak", kAppli);
        s->setFallbacksEnabled(false);
        return s;
    }

    TDossierTemporaire dossier;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<bool> reponses;
    bool ctrl = false;
    std::string fichierChoisi;
};

} // namespace tessarc::essais
