#pragma once
// Meshing state of the document: the boundary polygon, the capture grid and its cells, the model
// nodes and the triangles. Node index 0 never holds a node: 0 means "no node" everywhere.

#include "UtilsVect.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tessarc {

struct TPointModele {
    std::int32_t NumPt = 0;     // node number written to the model text
    std::int32_t NumFront0 = 0; // boundary segment the node lies on, -1 for an interior node
    TV3S CoPM{};
};

// One lattice point with the lattice edges leaving it towards +X (direction 1) and +Y (direction 2).
struct TPointTri {
    std::int32_t PTrInt = 0;
    // PTrHV[direction][slot], both 1-based like every array of the model: PTrHV[1][1] is the first node on
    // the +X edge.
    TTableau1<TTableau1<std::int32_t, 2>, 2> PTrHV{};
    std::uint8_t typepttri = 0; // 0 nothing, 1 interior lattice node, 2 boundary crossing stored here
    std::int32_t numsegfront0 = 0;
};

struct TTriangle {
    std::array<std::int32_t, 3> Sommets{}; // counter-clockwise seen from +Z
    float Z = 0.0f;                        // mean height, filled by the model computation
};

// The value a refused computation could not take, so that the caller names its box or option.
enum class ECauseRefus { Aucune, Trame, Origine, Tranches, BaseNoeuds, BaseElements };

struct TMaillage {
    std::vector<TV3S> Frontiere;
    TV3S OrigineGrille{};
    float TrameGrille = 0.2f;
    TTableau1<float, 2> FrontMin{};
    TTableau1<float, 2> FrontMax{};
    std::int32_t NbColGrille = 0;
    std::int32_t NbLigGrille = 0;
    std::vector<TPointTri> GrilleTri; // cell (c, r) is entry c + r * NbColGrille; empty until computed
    std::vector<TPointModele> PointsModele;
    std::int32_t NbPointsModele = 0;
    std::vector<TTriangle> Triangles;
};

} // namespace tessarc
