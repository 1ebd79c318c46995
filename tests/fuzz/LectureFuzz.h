#pragma once
// Runs a scan reader on bytes written to a file: the number of points it gives, or nullopt when it
// refuses the file with a message naming it. A crash, a leak, another kind of exception or a refusal
// that does not name the file is a fault.

#include "Chargement.h"
#include "DossierFuzz.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

namespace tessarc::fuzz {

inline std::optional<std::int64_t> Lire(TLecteurPoints lecteur, const std::string& nom, const std::uint8_t* octets, std::size_t n) {
    const TDossier dossier;
    const auto chemin = dossier.Ecrire(nom, octets, n);
    TFichier source(chemin, TFichier::EMode::Lecture);
    TFichier temporaire = TFichier::Temporaire(chemin);
    TSortiePoints sortie(chemin, temporaire);
    ProgressionMuette muette;
    try {
        lecteur(source, sortie, muette);
    } catch (const std::runtime_error& e) {
        if (std::string(e.what()).find(chemin.string()) == std::string::npos) std::abort();
        return std::nullopt;
    }
    sortie.Terminer();
    return sortie.Nombre();
}

} // namespace tessarc::fuzz
