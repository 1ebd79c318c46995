#include "ListeValeurs.h"

#include "Nombres.h"
#include "Utils.h"

namespace tessarc {

namespace {

bool CommenceParNom(std::string_view ligne, std::string_view nom) {
    return ligne.size() > nom.size() && ligne[nom.size()] == '=' &&
           ComparerSansCasse(ligne.substr(0, nom.size()), nom) == 0;
}

} // namespace

std::vector<std::string_view> DecouperLignes(std::string_view texte) {
    std::vector<std::string_view> lignes;
    std::size_t debut = 0;
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] != '\r' && texte[i] != '\n') continue;
        lignes.push_back(texte.substr(debut, i - debut));
        if (texte[i] == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n') ++i;
        debut = i + 1;
    }
    if (debut < texte.size()) lignes.push_back(texte.substr(debut));
    return lignes;
}

std::string LireValeurNommee(std::string_view texte, std::string_view nom) {
    for (const std::string_view ligne : DecouperLignes(texte))
        if (CommenceParNom(ligne, nom)) return std::string(ligne.substr(nom.size() + 1));
    return {};
}

std::string EcrireValeurNommee(std::string_view texte, std::string_view nom, std::string_view valeur) {
    std::string r;
    bool trouvee = false;
    const auto ajouter = [&r](std::string_view a, std::string_view b = {}) {
        r.append(a).append(b).append("\r\n");
    };
    const std::string nouvelle = std::string(nom) + "=";
    for (const std::string_view ligne : DecouperLignes(texte)) {
        if (trouvee || !CommenceParNom(ligne, nom)) {
            ajouter(ligne);
            continue;
        }
        trouvee = true;
        if (!valeur.empty()) ajouter(nouvelle, valeur);
    }
    if (!trouvee && !valeur.empty()) ajouter(nouvelle, valeur);
    return r;
}

std::vector<std::pair<std::string, std::string>> LireEnvironnementGlb(std::string_view texte) {
    std::vector<std::pair<std::string, std::string>> valeurs;
    for (std::string_view ligne : DecouperLignes(texte)) {
        while (!ligne.empty() && static_cast<unsigned char>(ligne.front()) <= 32) ligne.remove_prefix(1);
        if (ligne.empty() || ligne[0] == ';') continue;
        const auto egal = ligne.find('=');
        if (egal == std::string_view::npos) continue;
        const std::string_view nom = Rogner(ligne.substr(0, egal));
        if (!nom.empty()) valeurs.emplace_back(nom, Rogner(ligne.substr(egal + 1)));
    }
    return valeurs;
}

} // namespace tessarc
