#pragma once
// Triangulation of the capture grid square by square, and the rules of the meshing page control.

#include "Maillage.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessarc {

// Pages of the meshing page control.
inline constexpr int PageNettoyage = 0;
inline constexpr int PageFrontiere = 1;
inline constexpr int PageGrille = 2;
inline constexpr int PageTriangulation = 3;
inline constexpr int PageModele = 4;

// Whether the page control may stay on `nouvelle` after leaving `ongletactif`: back any number of
// pages, forward one at a time, and the Triangulation page only once the grid points are computed.
// When it may not, the window makes the previous page active again and does nothing else.
[[nodiscard]] bool ChangementPageAccepte(int ongletactif, int nouvelle, const TMaillage& m);

// A result tab may be chosen only once the model has been computed.
[[nodiscard]] bool OngletResultatAccessible(const std::string& ResulGen);

enum class EAjoutTriangle { Ajoute, NoeudRepete, SansAire };

// Appends (a, b, c) unless two of them are the same node, or unless the three nodes are (almost) on one
// line in plan: |(Xb - Xa)(Yc - Ya) - (Yb - Ya)(Xc - Xa)| < 1e-6, which a shell solver cannot take.
EAjoutTriangle AjouterTriangle(std::vector<TTriangle>& triangles, std::span<const TPointModele> noeuds,
                               std::int32_t a, std::int32_t b, std::int32_t c);

struct TCompteRenduTriangulation {
    bool Triangule = false;    // false: the grid is not computed, nothing changed
    std::int64_t SansAire = 0; // pattern triangles dropped for having no area
};

// Rebuilds Triangles from GrilleTri, adding the centre nodes of the full squares to PointsModele (an
// existing node at the same place is reused, so a second run adds none). Does nothing while the grid
// is not computed.
TCompteRenduTriangulation Trianguler(TMaillage& m);

} // namespace tessarc
