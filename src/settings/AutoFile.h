#pragma once
// File-type slots of the settings component and their association with the program, on the
// freedesktop conventions: a shared-mime-info type per extension in the user's data folder
// ($XDG_DATA_HOME, else ~/.local/share: mime/packages/<ext>_auto_file.xml) and a desktop entry
// (applications/<ext>_auto_file.desktop) that opens it, refreshed with update-mime-database and
// update-desktop-database when they are installed.

#include "Utilisateur.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tessarc {

struct TAutoFile {
    std::string Fext;   // extension without the dot
    std::string Ftitre; // description; default "fichier " + extension
    std::string Fappli; // command; empty or two double quotes for the program itself
    std::string Fparam; // appended after the command
    bool FTestAssoc = false;
    bool FNoAutoAssoc = false; // the user refused the association for good
};

// The MIME type that the user's and the system's databases give to "*.ext", searching the user's data
// folder first; the own type of a slot counts even before the database was refreshed.
[[nodiscard]] std::optional<std::string> TypeMimeExtension(std::string_view ext);

// For each slot with an extension: registers it when no type claims the extension; when one does and
// the slot tests associations, offers to take it over unless it is already ours or refused for good.
// The user answers the offers and hears the failures.
void Associer(std::array<TAutoFile, 3>& fichiers, IUtilisateur& utilisateur);

} // namespace tessarc
