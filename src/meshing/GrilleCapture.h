#pragma once
// The "Grille de capture" page: a square lattice laid over the boundary, its lines cut against the
// boundary, the crossings and the lattice points between them turned into model nodes whose heights
// come from the displayed cubes.

#include "IndexPointsModele.h"
#include "Maillage.h"
#include "UTessarcGlb.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessarc {

// Past this many cells the grid is refused (a spacing typed far too small).
inline constexpr double MaxCellulesGrille = 10'000'000.0;

// The three edit boxes of the page, "%.2f".
struct TTextesGrille {
    std::string OrigineX;
    std::string OrigineY;
    std::string Trame;
};

// Entry action of the page: the grid is discarded, FrontMin / FrontMax span the boundary, the origin
// goes to the boundary's minimum X and Y (Z := zBas, the cloud's lowest height); the spacing stays.
// The origin boxes show and take true coordinates (stored + decalage, the scan's shift).
TTextesGrille EntrerPageGrille(TMaillage& m, float zBas, const TV3R& decalage = {});
[[nodiscard]] TTextesGrille AfficherGrille(const TMaillage& m, const TV3R& decalage = {});
// "Valider": a box whose text does not read keeps its value. Nothing is recomputed.
TTextesGrille ValiderGrille(TMaillage& m, std::string_view texteX, std::string_view texteY,
                            std::string_view texteTrame, const TV3R& decalage = {});

// A crossing of a lattice line with the boundary, on the line's running coordinate.
struct TIntersection {
    float c = 0.0f;
    std::int32_t segment = 0;
    bool cale = false; // snapped onto a lattice point
};
struct TIntersections {
    int nb = 0;
    std::array<TIntersection, 2> i{};
};

enum class ESensLigne { Horizontale, Verticale };

// The first two crossings, in boundary order, of the line Y = ligne (horizontal; running coordinate X,
// snapped towards the lattice of origin `origine` and spacing `trame`) or X = ligne (vertical; running
// coordinate Y), held in ascending order.
[[nodiscard]] TIntersections ChercherIntersections(std::span<const TV3S> frontiere, ESensLigne sens,
                                                   float ligne, float origine, float trame);
void AjouterIntersection(TIntersections& r, float c, std::int32_t segment, float origine, float trame);

// Stores a boundary crossing in cell (c, r), direction d (1 along X, 2 along Y), or an interior lattice
// node in cell (k, r). A cell outside the grid is refused before any node is made: false.
bool PointFrontiereGrille(TMaillage& m, TIndexPointsModele& index, double c, double r, int d, const TV3S& P,
                          std::int32_t segment, bool cale);
bool PointInterieurGrille(TMaillage& m, TIndexPointsModele& index, double k, double r, const TV3S& P);

// Heights of nodes 1 .. NbPointsModele - 1 from the nearest displayed cube in X-Y that is not deleted.
// Without such a cube the heights are left as they are and the result is false.
bool ZPlusProcheCube(TMaillage& m, std::span<TCube* const> cubesAffiches);

struct TCompteRenduGrille {
    bool Calcule = false;                     // false: refused, nothing changed
    std::int64_t IntersectionsHorsGrille = 0; // crossings dropped because their cell is outside the grid
    std::int64_t NoeudsHorsGrille = 0;        // interior lattice points likewise
    bool SansHauteur = false;                 // nodes but no displayed cube left: heights at 0
    std::string Message;                      // for the status line (or a message box when refused)
    ECauseRefus Cause = ECauseRefus::Aucune;  // the value refused
};

// Every node still interior (NumFront0 -1) that lies within 1 mm of a boundary segment becomes a
// support of the lowest such segment: a side along a lattice line is filled with lattice points, which
// would otherwise leave it free.
void AppuisSurSegments(TMaillage& m);

// "Calculer les points": rebuilds NbColGrille, NbLigGrille, GrilleTri, PointsModele and NbPointsModele.
TCompteRenduGrille CalculerPointsGrille(TMaillage& m, std::span<TCube* const> cubesAffiches);

} // namespace tessarc
