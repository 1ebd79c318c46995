#pragma once
// The "Modèle" page: the nodes and triangles numbered from the chosen bases in order of height, moved,
// turned about Z and grouped by height slices, written as the three texts pasted into the analysis
// program (general text, node table "tblnds", element table "tblelfis"). Every line ends with CR LF.

#include "Maillage.h"

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

struct TResultatModele {
    bool Calcule = false; // false: refused, nothing changed
    std::string Message;  // why it was refused
    std::string ResulGen;
    std::string ResulNds;
    std::string ResulElts;
};

// Writes NumPt of every node and Z of every triangle, and returns the three texts.
TResultatModele CalculerModele(TMaillage& m, const TSaisieModele& saisie);

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
