#pragma once
// Window placement as text ("WinLTWH": an optional state letter, then left, top, width and height) and
// the rule that brings a window back onto its screen. Rectangles are in screen pixels.

#include <optional>
#include <string>
#include <string_view>

namespace tessarc {

struct LTWH {
    int gauche = 0, haut = 0, largeur = 0, hauteur = 0;
    friend bool operator==(const LTWH&, const LTWH&) = default;
};

// 'A' maximised, 'I' minimised, '\0' normal.
struct WinLTWH {
    char etat = '\0';
    std::string rectangle; // the text after the state letter
};

// The state letter, folded to upper case, is taken off the front when it is "A" or "I".
[[nodiscard]] WinLTWH LireWinLTWH(std::string_view texte);
[[nodiscard]] std::string EcrireWinLTWH(char etat, const LTWH& rectangle);

// Up to four integers, each the longest prefix of the rest that reads as one, blanks before it allowed;
// a negative left or top becomes 0. Nothing unless all four were read.
[[nodiscard]] std::optional<LTWH> LireLTWH(std::string_view texte);

// The window's new left and top so that it stays reachable on the screen's rectangle: a window beyond
// 50 pixels from the right or bottom edge is moved back by its own size, one ending within 50 pixels of
// the left edge starts 50 pixels in, one above the top starts at the top.
[[nodiscard]] LTWH RamenerDansEcran(const LTWH& fenetre, const LTWH& ecran);

} // namespace tessarc
