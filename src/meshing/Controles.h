#pragma once
// What the engineer reads in the status line after "Calculer les points" and after the triangulation,
// before trusting the model: the supports of each side, and the shape of the elements.

#include "Maillage.h"
#include "Triangulation.h"

#include <string>

namespace tessarc {

// An element with an angle under this, in plan, is flagged.
inline constexpr double AngleAigu = 15.0;

// "appuis par segment : 17, 12, 1, 12 ; attention : segment 2 : 1 appui": the boundary nodes of each
// segment from 0, and every segment left with fewer than two. Empty without a boundary.
[[nodiscard]] std::string ControleAppuis(const TMaillage& m);

// "éléments : 1234 ; plus petit angle : 26.6° ; éléments sous 15° : 0 ; triangles sans aire écartés : 1".
[[nodiscard]] std::string ControleTriangulation(const TMaillage& m, const TCompteRenduTriangulation& cr);

} // namespace tessarc
