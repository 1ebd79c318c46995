#pragma once
// A plan view of the computed model as a PNG picture, drawn off screen: elements filled by height
// slice with a legend in cm, the boundary, the supports marked, and the node numbers on request. The
// model is drawn in the frame of its tables (turned like them), X to the right and Y up.

#include "Modele.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tessarc {

// Layout: the longer side of the model takes CotePlan pixels, with Marge around it and the legend to
// the right.
inline constexpr int CotePlan = 1200;
inline constexpr int MargePlan = 24;
inline constexpr int LargeurLegende = 160;

struct TCadragePlan {
    int Largeur = 0;
    int Hauteur = 0;
    double Echelle = 1.0; // pixels per metre
    double XMin = 0.0;
    double YMax = 0.0;
    // Picture position of a model point, pixels from the top left corner.
    [[nodiscard]] std::array<double, 2> Pixel(double x, double y) const {
        return {MargePlan + (x - XMin) * Echelle, MargePlan + (YMax - y) * Echelle};
    }
};

[[nodiscard]] TCadragePlan CadrerPlan(const TModeleNumerote& modele);

// Colour of slice i of n (from 0, lowest first): blue at the bottom through green and yellow to red.
[[nodiscard]] std::array<std::uint8_t, 3> CouleurTranche(std::size_t i, std::size_t n);

// The picture's PNG bytes. Throws std::runtime_error when the drawing library fails.
[[nodiscard]] std::string ImagePlanPng(const TModeleNumerote& modele, bool numeros);

} // namespace tessarc
