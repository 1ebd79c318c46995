#include "Placement.h"

#include <gtest/gtest.h>

using namespace tessarc;

namespace tessarc {
void PrintTo(const LTWH& r, std::ostream* os) {
    *os << r.gauche << ' ' << r.haut << ' ' << r.largeur << ' ' << r.hauteur;
}
} // namespace tessarc

TEST(WinLTWH, StateLetterThenFourIntegers) {
    EXPECT_EQ(LireWinLTWH("A10 20 933 472").etat, 'A');
    EXPECT_EQ(LireWinLTWH("a10 20 933 472").rectangle, "10 20 933 472");
    EXPECT_EQ(LireWinLTWH("i1 2 3 4").etat, 'I');
    EXPECT_EQ(LireWinLTWH("x1 2 3 4").etat, '\0');
    EXPECT_EQ(LireWinLTWH("x1 2 3 4").rectangle, "x1 2 3 4");
    EXPECT_EQ(LireWinLTWH("").etat, '\0');
    EXPECT_EQ(EcrireWinLTWH('A', {10, 20, 933, 472}), "A10 20 933 472");
    EXPECT_EQ(EcrireWinLTWH('\0', {-8, -8, 1936, 1056}), "-8 -8 1936 1056");
}

TEST(WinLTWH, RectangleNeedsFourIntegers) {
    EXPECT_EQ(LireLTWH("10 20 800 600"), (LTWH{10, 20, 800, 600}));
    EXPECT_EQ(LireLTWH("-30 -40 800 600"), (LTWH{0, 0, 800, 600}));
    EXPECT_EQ(LireLTWH("  +5\t6 7 8 trailing"), (LTWH{5, 6, 7, 8}));
    EXPECT_EQ(LireLTWH("1 2 3 4x"), (LTWH{1, 2, 3, 4}));
    EXPECT_EQ(LireLTWH("1-2-3-4"), (LTWH{1, 0, -3, -4}));
    EXPECT_FALSE(LireLTWH("10 20 800"));
    EXPECT_FALSE(LireLTWH("10 20 x 800 600"));
    EXPECT_FALSE(LireLTWH(""));
    EXPECT_FALSE(LireLTWH("1.5 2 3 4"));
    // The longest prefix that reads as a 32-bit integer.
    EXPECT_EQ(LireLTWH("99999999999 1 2"), (LTWH{999999999, 99, 1, 2}));
}

TEST(RamenerDansEcran, KeepsWindowsReachable) {
    const LTWH ecran{0, 0, 1920, 1080};
    EXPECT_EQ(RamenerDansEcran({0, 0, 800, 600}, ecran), (LTWH{0, 0, 800, 600}));
    EXPECT_EQ(RamenerDansEcran({5000, 20, 800, 600}, ecran), (LTWH{1070, 20, 800, 600}));
    EXPECT_EQ(RamenerDansEcran({100, 1500, 800, 600}, ecran), (LTWH{100, 430, 800, 600}));
    EXPECT_EQ(RamenerDansEcran({-900, -5, 800, 600}, ecran), (LTWH{50, 0, 800, 600}));
    EXPECT_EQ(RamenerDansEcran({1870, 1030, 800, 600}, ecran), (LTWH{1870, 1030, 800, 600}));
    // Taller than the screen: the top wins.
    EXPECT_EQ(RamenerDansEcran({0, 2000, 800, 3000}, ecran), (LTWH{0, 0, 800, 3000}));
    // A screen that does not start at 0 (a second monitor, a panel on the left).
    EXPECT_EQ(RamenerDansEcran({5000, 0, 800, 600}, {1920, 0, 1280, 1024}), (LTWH{2350, 0, 800, 600}));
    EXPECT_EQ(RamenerDansEcran({0, 0, 800, 600}, {64, 32, 1856, 1048}), (LTWH{0, 32, 800, 600}));
    // Extreme stored values do not overflow.
    EXPECT_EQ(RamenerDansEcran({2147483647, 2147483647, 2147483647, 2147483647}, ecran),
              (LTWH{-2147481777, 0, 2147483647, 2147483647}));
}
