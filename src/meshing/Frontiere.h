#pragma once
// The boundary polygon of the "Frontière" page: points appended by the mouse (the window un-projects the
// click), edited by typing, emptied by "Définir frontière". Points are numbered from 1 in the window and
// held from 0 here.

#include "Maillage.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessarc {

// The X and Y edit boxes of a boundary point, "%.2f".
struct TTextesPoint {
    std::string X;
    std::string Y;
};

// The boxes show and take true coordinates (stored + decalage, the scan's shift); X and Y below are in
// the stored frame.

// Appends (X, Y, zBas), zBas being the cloud's lowest height (CooMin Z). Returns the texts of the edit
// boxes (the un-projected X and Y); nothing is added when X or Y is not a finite single (a failed
// un-projection). The window then refills its list and selects the new last item.
std::optional<TTextesPoint> AjouterPointFrontiere(TMaillage& m, double X, double Y, float zBas,
                                                  const TV3R& decalage = {});

// Texts of point i (from 0); i must be a valid index.
[[nodiscard]] TTextesPoint AfficherPointFrontiere(const TMaillage& m, int i, const TV3R& decalage = {});

// "Valider": point i (from 0) takes the typed X and Y; a text that does not read keeps the coordinate.
// Returns the texts of the stored point, or nothing when i is not a point (no selection).
std::optional<TTextesPoint> ValiderPointFrontiere(TMaillage& m, int i, std::string_view texteX,
                                                  std::string_view texteY, const TV3R& decalage = {});

// "Définir frontière": empties the boundary (the window turns the input on).
void DefinirFrontiere(TMaillage& m);

// Points of the boundary that are not within 1 mm in X and Y of an earlier one: a boundary of fewer than
// three encloses nothing.
[[nodiscard]] std::size_t NbPointsDistincts(std::span<const TV3S> frontiere);
// The same for points in double (a far scan's true coordinates).
[[nodiscard]] std::size_t NbPointsDistincts(std::span<const TV3R> frontiere);

// Items of the point list: "1" .. n.
[[nodiscard]] std::vector<std::string> NumerosPointsFrontiere(const TMaillage& m);

} // namespace tessarc
