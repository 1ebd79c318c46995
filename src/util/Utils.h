#pragma once
// Paths, the user's name, file sizes, reals as text, and French texts for system errors.

#include "Utilisateur.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tessarc {

// The executable's full path, and its folder ending with "/".
[[nodiscard]] std::string CheminExecutable();
[[nodiscard]] std::string RepertoireAppli();

// Parts of a path whose trailing separator is ignored: 0 drive (the letter of "C:\...", or the
// "\\server\share" prefix of a network path, empty for Linux paths), 1 folder (separators kept at both
// ends), 2 name without extension, 3 extension with its dot, 4 name with extension, 5 drive and folder
// (everything before the name). "/" and "\" both separate; a leading dot starts no extension.
[[nodiscard]] std::string PartieChemin(std::string_view chemin, int partie);

// The user's login name in capitals; empty, after a message to the user, when the system cannot tell it.
[[nodiscard]] std::string NomUtilisateur(IUtilisateur& utilisateur);

// Size in bytes; 0 when the file is not found.
[[nodiscard]] std::int64_t TailleFichier(const std::string& nomFichier);

// General format, up to 15 significant digits, "." as decimal separator.
[[nodiscard]] std::string FormatReel(double valeur);

// Capitals of ASCII and Latin-1 letters (é -> É); other bytes unchanged.
[[nodiscard]] std::string Majuscules(std::string_view texte);
// Order of texts compared without regard to the case of those letters: < 0, 0 or > 0.
[[nodiscard]] int ComparerSansCasse(std::string_view a, std::string_view b);

// A French text for a system error code: the system's own texts follow the locale and are English
// under the C locale.
[[nodiscard]] std::string TexteErreurSysteme(int code);

} // namespace tessarc
