#pragma once
// The table of formats: every file type the program knows, in the order the open dialog offers them.
// The open command, its dialog, the command-line help, the desktop entry and the guide all derive
// from it; adding a reader adds one line here.

#include "Chargement.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessarc {

// Kinds of save.
inline constexpr int GenreProjet = 1;
inline constexpr int GenreXYZ = 2;

struct TFormat {
    std::string_view Extension; // lower case, with its dot
    std::string_view Libelle;   // the dialog's text; empty for a type recognised only to be refused
    TLecteurPoints Lecteur;     // nullptr for the project file, which also holds the document's state
    int Genre;                  // the kind of save that writes it, 0 when the program does not write it
    std::string_view TypeMime;
};

[[nodiscard]] std::span<const TFormat> Formats();
// The format of nom's extension, in any case; nullptr for an unknown type.
[[nodiscard]] const TFormat* FormatDe(const std::filesystem::path& nom);
// The file types read, or written, as ".tsrk, .xyz et .xyb".
[[nodiscard]] std::string ExtensionsLues();
[[nodiscard]] std::string ExtensionsEcrites();
// The refusal of a type the table does not hold, naming nom.
[[nodiscard]] std::string TexteTypeInconnu(const std::filesystem::path& nom);
// The open dialog's entries as "libellé (*.ext)": every scan type first, then one per type, then every
// file.
[[nodiscard]] std::vector<std::string> FiltresOuverture();
// The save dialog's entries: the written types, then every file.
[[nodiscard]] std::vector<std::string> FiltresEnregistrement();

} // namespace tessarc
