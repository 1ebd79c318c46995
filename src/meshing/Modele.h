#pragma once
// The "Modèle" page: the nodes and triangles numbered from the chosen bases in order of height, moved,
// turned about Z and grouped by height slices, written as the three texts pasted into the analysis
// program (general text, node table "tblnds", element table "tblelfis"). Every line ends with CR LF.

#include "Maillage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessarc {

// Texts of the five edit boxes, with the page's initial texts.
struct TSaisieModele {
    std::string Noeuds = "1";      // first node number
    std::string Elements = "1";    // first element number
    std::string ZBas = "0.00";     // height given to the lowest node (m)
    std::string Rotation = "0.00"; // about Z, degrees
    std::string Tranches = "50";   // slice height of the groups (cm)
};

// A node as the node table writes it, in table order: its number, its coordinates moved and turned
// (the very singles the table formats) and its boundary segment (-1 inside).
struct TNoeudNumerote {
    std::int32_t Numero = 0;
    float X = 0.0f, Y = 0.0f, Z = 0.0f;
    std::int32_t Segment = -1;
};

// An element as the element table writes it, in table order.
struct TElementNumerote {
    std::int32_t Numero = 0;
    std::array<std::size_t, 3> Noeuds{}; // positions in TModeleNumerote::Noeuds
    std::int32_t Tranche = 0;            // its group's slice top in cm, as in "GROUPE TRI_TR50"
};

// What the exports and the picture draw from: the two tables, and the boundary turned like the nodes.
struct TModeleNumerote {
    std::vector<TNoeudNumerote> Noeuds;
    std::vector<TElementNumerote> Elements;
    std::vector<std::array<float, 2>> Frontiere;
};

struct TResultatModele {
    bool Calcule = false;                    // false: refused, nothing changed
    std::string Message;                     // why it was refused
    ECauseRefus Cause = ECauseRefus::Aucune; // the box whose value was refused
    std::string ResulGen;
    std::string ResulNds;
    std::string ResulElts;
    TModeleNumerote Modele;
};

// Writes NumPt of every node and Z of every triangle, and returns the three texts. The tables stay in the
// scan's stored frame; a far scan's shift (whole metres) is said in a comment line of the general text.
TResultatModele CalculerModele(TMaillage& m, const TSaisieModele& saisie, const TV3R& decalageScan = {});

// Heights equal within max(1e-4, 1e-4 min(|a|, |b|)) compare equal; otherwise the smaller first.
[[nodiscard]] int ComparerHauteurs(float a, float b);

// Quicksort of a list of pointers whose pivot follows its element through the swaps. The order it gives
// to equal heights decides node and element numbers, so it is kept exactly; the left part goes on a
// work list instead of the call stack (parts are disjoint, so the order of their sorting changes
// nothing).
template <typename T, typename Comparer> void TrierPointeurs(std::vector<T*>& liste, Comparer compare) {
    if (liste.empty()) return;
    std::vector<std::pair<std::ptrdiff_t, std::ptrdiff_t>> parts{
        {0, static_cast<std::ptrdiff_t>(liste.size()) - 1}};
    const auto at = [&](std::ptrdiff_t k) -> T*& { return liste[static_cast<std::size_t>(k)]; };
    while (!parts.empty()) {
        auto [L, R] = parts.back();
        parts.pop_back();
        std::ptrdiff_t I = 0;
        do {
            I = L;
            std::ptrdiff_t J = R;
            std::ptrdiff_t P = (L + R) / 2;
            do {
                if (I != P)
                    while (compare(at(I), at(P)) < 0) ++I;
                if (J != P)
                    while (compare(at(J), at(P)) > 0) --J;
                if (I <= J) {
                    std::swap(at(I), at(J));
                    if (P == I)
                        P = J;
                    else if (P == J)
                        P = I;
                    ++I;
                    --J;
                }
            } while (I <= J);
            if (L < J) parts.emplace_back(L, J);
            L = I;
        } while (I < R);
    }
}

} // namespace tessarc
