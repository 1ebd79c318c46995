#pragma once
// The settings table as an INI text: for each entry in key order, the key line, then the value wrapped
// by the multi-line Delimiter. Reading stops at the first empty key line.

#include "TableReglages.h"

#include <string>
#include <string_view>
#include <vector>

namespace tessarc {

[[nodiscard]] std::string TexteIni(const TableReglages& table);
void LireTexteIni(std::string_view texte, TableReglages& table);

// nomAppli + "_" + user (+ "_" + configuration) + ".INI".
[[nodiscard]] std::string NomFichierIni(std::string_view nomAppli, std::string_view utilisateur,
                                        std::string_view cleConfig);
// The files a load tries, in order: with the configuration (when one is in use), with the user, with the
// application alone (all in the folder, which ends with "/"), then the generic file when one is set.
[[nodiscard]] std::vector<std::string> CandidatsIni(std::string_view repertoire, std::string_view nomAppli,
                                                    std::string_view utilisateur, std::string_view cleConfig,
                                                    std::string_view generique);

} // namespace tessarc
