#include "Nombres.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace tessarc;

TEST(LireReel, AcceptsTheProgramSyntax) {
    EXPECT_EQ(LireReel("1.5"), 1.5);
    EXPECT_EQ(LireReel("1."), 1.0);
    EXPECT_EQ(LireReel(".5"), 0.5);
    EXPECT_EQ(LireReel("+2.25"), 2.25);
    EXPECT_EQ(LireReel("-3"), -3.0);
    EXPECT_EQ(LireReel("1e3"), 1000.0);
    EXPECT_EQ(LireReel("2.5E-1"), 0.25);
    EXPECT_EQ(LireReel("-1e+2"), -100.0);
    EXPECT_EQ(LireReel("1e-400"), 0.0); // underflow reads as zero
}

TEST(LireReel, RefusesEverythingElse) {
    for (const char* t :
         {"",     ".",     "+",  "-",  "e5",    "1e",    "1e+", "1,5", "nan",   "NaN",    "inf", "-inf",
          "0x10", "1 000", " 1", "1 ", "1.5.2", "1e5.0", "--1", "+-1", "1e400", "-1e309", "1\t"})
        EXPECT_FALSE(LireReel(t).has_value()) << '"' << t << '"';
}

TEST(LireEntier, ReadsSignedDigitsWithin32Bits) {
    EXPECT_EQ(LireEntier("255"), 255);
    EXPECT_EQ(LireEntier("+7"), 7);
    EXPECT_EQ(LireEntier("-2147483648"), INT32_MIN);
    EXPECT_EQ(LireEntier("2147483647"), INT32_MAX);
    for (const char* t :
         {"", "-", "255.0", "2147483648", "-2147483649", "99999999999999999999", "1e3", "0x1f", " 3"})
        EXPECT_FALSE(LireEntier(t).has_value()) << '"' << t << '"';
}

TEST(FormatC, UsesAPointUnderAFrenchLocale) {
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) GTEST_SKIP() << "locale fr_FR.UTF-8 absente";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(FormatC("%.3f %3.3d", 1.25, 7), "1.250 007");
    EXPECT_EQ(LireReel("1.25"), 1.25);
    std::setlocale(LC_ALL, "C");
}

TEST(ExtraireVue, CutsSpaceSeparatedFieldsLikeTheTextReaders) {
    std::string_view s = "1.5  2.5";
    EXPECT_EQ(ExtraireReelVue(s), 1.5);
    EXPECT_EQ(s, "2.5");
    s = " 7 8";
    EXPECT_EQ(ExtraireReelVue(s), 0.0); // the first word is empty
    EXPECT_EQ(s, "7 8");
    s = "x 2";
    EXPECT_EQ(ExtraireReelVue(s), 0.0);
    EXPECT_EQ(s, "2");
    s = "1\t2\t3";
    EXPECT_EQ(ExtraireReelVue(s), 0.0); // tabs do not separate fields
    EXPECT_TRUE(s.empty());
    s = "300 255.0 \t\t-4";
    EXPECT_EQ(ExtraireEntierVue(s), 300);
    EXPECT_EQ(ExtraireEntierVue(s), 0);
    EXPECT_EQ(ExtraireEntierVue(s), -4);
    EXPECT_TRUE(s.empty());
}
