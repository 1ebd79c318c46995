#pragma once
// Texts of "name=value" lines: the INI-text accessors of the settings component and the import of the
// program-wide environment file.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessarc {

// Lines ending at CR LF, LF or CR; a final line break adds no empty line.
[[nodiscard]] std::vector<std::string_view> DecouperLignes(std::string_view texte);

// The value of the first line starting with the name (without regard to case) followed by "=".
[[nodiscard]] std::string LireValeurNommee(std::string_view texte, std::string_view nom);
// The text with the first such line set to name=value, appended when absent, removed for an empty value;
// every line then ends with CR LF.
[[nodiscard]] std::string EcrireValeurNommee(std::string_view texte, std::string_view nom,
                                             std::string_view valeur);

// The settings of an environment file: leading blanks and control characters dropped, empty lines and
// lines starting with ";" skipped, each other line cut at its first "=" into a trimmed name and value;
// lines without "=" or with an empty name give nothing.
[[nodiscard]] std::vector<std::pair<std::string, std::string>> LireEnvironnementGlb(std::string_view texte);

} // namespace tessarc
