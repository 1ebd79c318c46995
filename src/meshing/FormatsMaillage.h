#pragma once
// The computed model in two mesh formats that viewers and other solvers open: Gmsh MSH 2.2 ASCII and
// the legacy VTK unstructured grid. Numbers, shift and rotation are those of the node and element
// tables; coordinates are the tables' singles written with the shortest digits that read back the same.

#include "Modele.h"

#include <string>

namespace tessarc {

// Nodes with their numbers, 3-node triangles with their element numbers in one physical group per
// height slice named like its group ("TRI_TR50"), and the supports of each segment as point elements
// numbered after the last element, in a physical group "segment k". Throws std::runtime_error when a
// number cannot be a Gmsh tag (not positive, or the supports would overflow 2147483647).
[[nodiscard]] std::string TexteMsh(const TModeleNumerote& modele);

// Points in node-table order, triangles in element-table order; cell data "tranche" (the slice's top in
// cm) and "element" (the element number), point data "segment" (-1 inside) and "noeud" (the node
// number).
[[nodiscard]] std::string TexteVtk(const TModeleNumerote& modele);

} // namespace tessarc
