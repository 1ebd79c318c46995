#pragma once
// The lines of a CR LF text; an unterminated tail is kept, marked, so that a comparison shows it.

#include <string>
#include <vector>

namespace tessarc::essais {

[[nodiscard]] inline std::vector<std::string> Lignes(const std::string& texte) {
    std::vector<std::string> lignes;
    for (std::size_t debut = 0; debut < texte.size();) {
        const std::size_t fin = texte.find("\r\n", debut);
        if (fin == std::string::npos) {
            lignes.push_back("SANS FIN DE LIGNE: " + texte.substr(debut));
            break;
        }
        lignes.push_back(texte.substr(debut, fin - debut));
        debut = fin + 2;
    }
    return lignes;
}

} // namespace tessarc::essais
