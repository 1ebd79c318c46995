#pragma once
// Runs a reader of the table of formats on a file, outside any document.

#include "Chargement.h"
#include "LecteurXYZ.h"
#include "SortiePoints.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tessarc::essais {

// The points lecteur gives for nom, as read: true coordinates in double, before the shift and the
// rounding to single.
[[nodiscard]] std::vector<TPointLu> LireAvec(TLecteurPoints lecteur, const std::filesystem::path& nom,
                                             IProgression* progression = nullptr);

// What lecteur says refusing nom, without the "fichier « nom » : " every refusal starts with (a text that
// does not start so stays whole); "lu" when it reads the file.
[[nodiscard]] std::string RefusDe(TLecteurPoints lecteur, const std::filesystem::path& nom);

// The same on bytes, written to a file of that name in a fresh temporary folder.
[[nodiscard]] std::vector<TPointLu> LireOctets(TLecteurPoints lecteur, std::string_view octets,
                                               std::string_view nom = "scan");
[[nodiscard]] std::string RefusOctets(TLecteurPoints lecteur, std::string_view octets, std::string_view nom = "scan");

// The colour of a point read, its fourth byte zero.
[[nodiscard]] TV4By Rvb(int r, int v, int b);

// Bit for bit: -0 and 0 differ in the bounding box.
[[nodiscard]] bool Memes(const TLigneXYZ& a, const TLigneXYZ& b);

} // namespace tessarc::essais
