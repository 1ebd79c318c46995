#include "FichierIni.h"

#include "StringUtils.h"

namespace tessarc {

std::string TexteIni(const TableReglages& table) {
    std::string texte;
    for (std::size_t k = 0; k < table.Taille(); ++k) {
        texte += table.CleNo(k);
        texte += "\r\n";
        texte += Delimiter(table.ValeurNo(k), false);
    }
    return texte;
}

void LireTexteIni(std::string_view texte, TableReglages& table) {
    for (;;) {
        const std::string_view cle = ExtraireLigneVue(texte);
        if (cle.empty()) return;
        table.Ecrire(cle, ExtraireDelimiteVue(texte, false));
    }
}

std::string NomFichierIni(std::string_view nomAppli, std::string_view utilisateur,
                          std::string_view cleConfig) {
    std::string nom(nomAppli);
    nom.append("_").append(utilisateur);
    if (!cleConfig.empty()) nom.append("_").append(cleConfig);
    return nom + ".INI";
}

std::vector<std::string> CandidatsIni(std::string_view repertoire, std::string_view nomAppli,
                                      std::string_view utilisateur, std::string_view cleConfig,
                                      std::string_view generique) {
    std::vector<std::string> candidats;
    const std::string rep(repertoire);
    if (!cleConfig.empty()) candidats.push_back(rep + NomFichierIni(nomAppli, utilisateur, cleConfig));
    candidats.push_back(rep + NomFichierIni(nomAppli, utilisateur, {}));
    candidats.push_back(rep + std::string(nomAppli) + ".INI");
    if (!generique.empty()) candidats.emplace_back(generique);
    return candidats;
}

} // namespace tessarc
