#include "TableReglages.h"

#include "Utils.h"

#include <algorithm>

namespace tessarc {

std::string TableReglages::Cle(std::string_view section, std::string_view nom) {
    std::string cle;
    cle.reserve(section.size() + nom.size() + 1);
    cle.append(section).append(1, '\t').append(nom);
    return cle;
}

void TableReglages::Vider() {
    cles_.clear();
    valeurs_.clear();
}

std::vector<TableReglages::Entree>::const_iterator TableReglages::Position(std::string_view cle) const {
    return std::lower_bound(cles_.begin(), cles_.end(), cle, [](const Entree& e, std::string_view c) {
        return ComparerSansCasse(e.cle, c) < 0;
    });
}

const std::string* TableReglages::Trouver(std::string_view cle) const {
    const auto p = Position(cle);
    if (p == cles_.end() || ComparerSansCasse(p->cle, cle) != 0) return nullptr;
    return &valeurs_[p->indice];
}

void TableReglages::Ecrire(std::string_view cle, std::string_view valeur) {
    const auto p = Position(cle);
    if (p != cles_.end() && ComparerSansCasse(p->cle, cle) == 0) {
        valeurs_[p->indice] = valeur;
        return;
    }
    valeurs_.emplace_back(valeur);
    cles_.insert(p, Entree{std::string(cle), valeurs_.size() - 1});
}

} // namespace tessarc
