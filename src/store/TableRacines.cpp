#include "TableRacines.h"

#include <algorithm>
#include <utility>

namespace tessarc {

IndexCube TTableRacines::Trouver(const TCellule& c) const {
    const auto it = table_.find(c);
    return it == table_.end() ? 0 : it->second;
}

void TTableRacines::Poser(const TCellule& c, IndexCube racine) {
    table_.emplace(c, racine);
    ordonne_ = false;
}

void TTableRacines::Retirer(const TCellule& c) {
    if (table_.erase(c) != 0) ordonne_ = false;
}

std::span<const IndexCube> TTableRacines::Ordre() const {
    if (!ordonne_) {
        std::vector<std::pair<TCellule, IndexCube>> cellules(table_.begin(), table_.end());
        std::sort(cellules.begin(), cellules.end());
        ordre_.resize(cellules.size());
        std::transform(cellules.begin(), cellules.end(), ordre_.begin(), [](const auto& p) { return p.second; });
        ordonne_ = true;
    }
    return ordre_;
}

void TTableRacines::Vider() {
    table_ = {};
    ordre_ = {};
    ordonne_ = true;
}

} // namespace tessarc
