#include "UtilsVect.h"

#include <cmath>

namespace tessarc {

TV3x3R MatriceRotation(const TV3R& angles) {
    TV3x3R r = TV3x3R::Identite();
    for (int axe = 1; axe <= 3; ++axe) {
        if (angles[axe] == 0.0) continue;
        const double s = std::sin(angles[axe]);
        const double c = std::cos(angles[axe]);
        TV3x3R m = TV3x3R::Identite();
        switch (axe) {
        case 1:
            m(2, 2) = c;
            m(3, 3) = c;
            m(2, 3) = s;
            m(3, 2) = -s;
            break;
        case 2:
            m(1, 1) = c;
            m(3, 3) = c;
            m(1, 3) = -s;
            m(3, 1) = s;
            break;
        default:
            m(1, 1) = c;
            m(2, 2) = c;
            m(1, 2) = s;
            m(2, 1) = -s;
            break;
        }
        r = ProduitMatrices(r, m);
    }
    return r;
}

} // namespace tessarc
