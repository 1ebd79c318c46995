#include "TableRacines.h"

#include <algorithm>
#include <utility>

namespace tessarc {

IndexCube TTableRacines::Trouver(const TCellule& c) const {
    return table_.Trouver(c);
}

void TTableRacines::Poser(const TCellule& c, IndexCube racine) {
    table_.Poser(c, racine);
    ordonne_ = false;
}

void TTableRacines::Retirer(const TCellule& c) {
    table_.Retirer(c);
    ordonne_ = false;
}

std::span<const IndexCube> TTableRacines::Ordre() const {
    if (!ordonne_) {
        std::vector<std::pair<TCellule, IndexCube>> cellules;
        cellules.reserve(table_.Taille());
        table_.Parcourir([&](const TCellule& c, IndexCube r) { cellules.emplace_back(c, r); });
        std::sort(cellules.begin(), cellules.end());
        ordre_.resize(cellules.size());
        std::transform(cellules.begin(), cellules.end(), ordre_.begin(), [](const auto& p) { return p.second; });
        ordonne_ = true;
    }
    return ordre_;
}

void TTableRacines::Vider() {
    table_.Vider();
    ordre_ = {};
    ordonne_ = true;
}

} // namespace tessarc
