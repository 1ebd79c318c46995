#include "Proprietes.h"

#include "Nombres.h"

namespace tessarc {

std::string TexteProprietes(const TNuage& nuage, std::int64_t NbPts, const TV3R& decalage) {
    std::string t = FormatC("Définition du scan : %.1f mm",
                            double(CoteNiv[static_cast<std::size_t>(nuage.NivMax)]) * 1000.0);
    t += "\r\nNombre de points : " + std::to_string(NbPts);
    t += "\r\nNombre de cubes : " + std::to_string(nuage.NbCubesTotal()) + "\r\n";
    for (int n = 0; n < NbNiveaux; ++n)
        t += std::string("  - ") + LibellesNiveaux[static_cast<std::size_t>(n)] + " : " +
             std::to_string(nuage.NbCubesNiv[static_cast<std::size_t>(n)]) + "\r\n";
    t += "Dimensions :\r\n";
    const TV3S& a = nuage.CooMin;
    const TV3S& b = nuage.CooMax;
    const auto vrai = [&](const TV3S& v, int i) { return double(v[i]) + decalage[i]; };
    t += FormatC(" - sur X : %.3f < %.3f\r\n - sur Y : %.3f < %.3f\r\n - sur Z : %.3f < %.3f", vrai(a, 1),
                 vrai(b, 1), vrai(a, 2), vrai(b, 2), vrai(a, 3), vrai(b, 3));
    if (decalage[1] != 0.0 || decalage[2] != 0.0 || decalage[3] != 0.0)
        t += FormatC("\r\nDécalage des coordonnées : %.0f %.0f %.0f", decalage[1], decalage[2], decalage[3]);
    return t;
}

} // namespace tessarc
