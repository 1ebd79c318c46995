#pragma once
// Runs a scan reader on bytes written to a file: the number of points it gives, or nullopt when it
// refuses the file with a message naming it. A crash, a leak, another kind of exception or a refusal
// that does not name the file is a fault.

#include "DossierTemporaire.h"
#include "LectureEssai.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tessarc::fuzz {

using essais::TDossierTemporaire;

// Every run writes and reads files: its folder is in memory when the machine allows.
inline constexpr auto EnMemoire = TDossierTemporaire::EEmplacement::Memoire;

[[nodiscard]] inline std::string_view Octets(const std::uint8_t* octets, std::size_t n) {
    return {reinterpret_cast<const char*>(octets), n};
}

inline std::optional<std::int64_t> Lire(TLecteurPoints lecteur, const std::string& nom, const std::uint8_t* octets, std::size_t n) {
    const TDossierTemporaire dossier(EnMemoire);
    const auto chemin = dossier.Ecrire(nom, Octets(octets, n));
    try {
        return static_cast<std::int64_t>(essais::LireAvec(lecteur, chemin).size());
    } catch (const std::runtime_error& e) {
        if (std::string(e.what()).find(chemin.string()) == std::string::npos) std::abort();
        return std::nullopt;
    }
}

} // namespace tessarc::fuzz
