#include "Frontiere.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tessarc;

TEST(Frontiere, EachAddedPointTakesTheLowestHeightAndShowsTheUnprojectedCoordinates) {
    TMaillage m;
    const auto t = AjouterPointFrontiere(m, 1.234567, -0.005, -2.5f);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->X, "1.23");
    EXPECT_EQ(t->Y, "-0.01");
    ASSERT_TRUE(AjouterPointFrontiere(m, 3.0, 4.0, -2.5f).has_value());
    ASSERT_EQ(m.Frontiere.size(), 2u);
    EXPECT_EQ(m.Frontiere[0], FaireV3S(1.234567f, -0.005f, -2.5f));
    EXPECT_EQ(NumerosPointsFrontiere(m), (std::vector<std::string>{"1", "2"}));
}

TEST(Frontiere, AFailedUnprojectionAddsNothing) {
    TMaillage m;
    EXPECT_FALSE(AjouterPointFrontiere(m, std::nan(""), 1.0, 0.0f).has_value());
    EXPECT_FALSE(AjouterPointFrontiere(m, 1.0, 1e300, 0.0f).has_value());
    EXPECT_FALSE(AjouterPointFrontiere(m, std::numeric_limits<double>::infinity(), 0.0, 0.0f).has_value());
    EXPECT_TRUE(m.Frontiere.empty());
}

TEST(Frontiere, ValidateKeepsWhatDoesNotReadAndShowsTheStoredValues) {
    TMaillage m;
    m.Frontiere = {FaireV3S(1.0f, 2.0f, 0.5f), FaireV3S(3.0f, 4.0f, 0.5f)};

    auto t = ValiderPointFrontiere(m, 1, " 7.125 ", "abc");
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(m.Frontiere[1], FaireV3S(7.125f, 4.0f, 0.5f));
    EXPECT_EQ(t->X, "7.12"); // the stored single 7.125 is printed with halves to even
    EXPECT_EQ(t->Y, "4.00"); // the unparsable entry is visibly replaced by the old value

    // A decimal comma, an overflowing single and an empty box all keep the coordinate.
    t = ValiderPointFrontiere(m, 0, "1,5", "1e39");
    EXPECT_EQ(m.Frontiere[0], FaireV3S(1.0f, 2.0f, 0.5f));
    t = ValiderPointFrontiere(m, 0, "", "-2.5e-1");
    EXPECT_EQ(m.Frontiere[0], FaireV3S(1.0f, -0.25f, 0.5f));
    EXPECT_EQ(t->Y, "-0.25");
}

TEST(Frontiere, ValidateWithoutASelectedPointChangesNothing) {
    TMaillage m;
    m.Frontiere = {FaireV3S(1.0f, 2.0f, 0.0f)};
    EXPECT_FALSE(ValiderPointFrontiere(m, -1, "5", "5").has_value());
    EXPECT_FALSE(ValiderPointFrontiere(m, 1, "5", "5").has_value());
    EXPECT_EQ(m.Frontiere[0], FaireV3S(1.0f, 2.0f, 0.0f));
}

TEST(Frontiere, DefineStartsAgainFromAnEmptyBoundary) {
    TMaillage m;
    m.Frontiere = {FaireV3S(1.0f, 2.0f, 0.0f), FaireV3S(2.0f, 2.0f, 0.0f)};
    DefinirFrontiere(m);
    EXPECT_TRUE(m.Frontiere.empty());
    EXPECT_TRUE(NumerosPointsFrontiere(m).empty());
    ASSERT_TRUE(AjouterPointFrontiere(m, 0.5, 0.25, 0.0f).has_value());
    EXPECT_EQ(AfficherPointFrontiere(m, 0).Y, "0.25");
    EXPECT_EQ(NumerosPointsFrontiere(m), std::vector<std::string>{"1"});
}
