#include "Proprietes.h"

#include "Nombres.h"

namespace tessarc {

std::string TexteProprietes(const TNuage& nuage, std::int64_t NbPts) {
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
    t += FormatC(" - sur X : %.3f < %.3f\r\n - sur Y : %.3f < %.3f\r\n - sur Z : %.3f < %.3f", double(a[1]),
                 double(b[1]), double(a[2]), double(b[2]), double(a[3]), double(b[3]));
    return t;
}

} // namespace tessarc
