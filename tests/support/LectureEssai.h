#pragma once
// Runs a reader of the table of formats on a file, outside any document.

#include "Chargement.h"
#include "SortiePoints.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tessarc::essais {

// The points lecteur gives for nom, as read: true coordinates in double, before the shift and the
// rounding to single.
[[nodiscard]] std::vector<TPointLu> LireAvec(TLecteurPoints lecteur, const std::filesystem::path& nom,
                                             IProgression* progression = nullptr);

// What lecteur says refusing nom, without the "fichier « nom » : " every refusal starts with (a text that
// does not start so stays whole); "lu" when it reads the file.
[[nodiscard]] std::string RefusDe(TLecteurPoints lecteur, const std::filesystem::path& nom);

} // namespace tessarc::essais
