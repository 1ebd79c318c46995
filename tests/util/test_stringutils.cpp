#include "StringUtils.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace tessarc;

TEST(ExtraireChamps, CutAtTheFirstSeparatorOrTakeEverything) {
    std::string s = "a::b::c";
    EXPECT_EQ(ExtraireJusqua(s, "::"), "a");
    EXPECT_EQ(s, "b::c");
    EXPECT_EQ(ExtraireJusqua(s, ';'), "b::c");
    EXPECT_TRUE(s.empty());
    s = ";x;";
    EXPECT_EQ(ExtraireJusqua(s, ';'), "");
    EXPECT_EQ(ExtraireJusqua(s, ';'), "x");
    EXPECT_TRUE(s.empty());
    s = "abc";
    EXPECT_EQ(ExtraireJusqua(s, ""), "abc"); // an empty separator never occurs
    EXPECT_TRUE(s.empty());
    s = "champ 1\tchamp 2";
    EXPECT_EQ(ExtraireChampTab(s), "champ 1");
    EXPECT_EQ(ExtraireChampTab(s), "champ 2");
    EXPECT_TRUE(s.empty());
}

TEST(ExtraireChamps, LinesEndAtCrLfOnly) {
    std::string s = "sans fin de ligne\n";
    EXPECT_EQ(ExtraireLigne(s), "sans fin de ligne\n");
    EXPECT_TRUE(s.empty());
    s = "a\r\n\r\nb";
    EXPECT_EQ(ExtraireLigne(s), "a");
    EXPECT_EQ(ExtraireLigne(s), "");
    EXPECT_EQ(ExtraireLigne(s), "b");
    EXPECT_TRUE(s.empty());
    s = "x\r\r\n";
    EXPECT_EQ(ExtraireLigne(s), "x\r");
    EXPECT_EQ(s, "");
}

TEST(ExtraireChamps, WordsAndNumbersFollowTheProgramSyntax) {
    std::string s = "1.5  2.5";
    EXPECT_EQ(ExtraireReel(s), 1.5);
    EXPECT_EQ(s, "2.5");
    s = " 2.5 3";
    EXPECT_EQ(ExtraireReel(s), 0.0); // the first word is empty
    EXPECT_EQ(s, "2.5 3");
    s = "x 2";
    EXPECT_EQ(ExtraireReel(s), 0.0);
    EXPECT_EQ(ExtraireEntier(s), 2);
    EXPECT_TRUE(s.empty());
    s = "1,5 255.0 \t\x01 -7 99999999999";
    EXPECT_EQ(ExtraireReel(s), 0.0); // no decimal comma
    EXPECT_EQ(ExtraireEntier(s), 0); // not an integer
    EXPECT_EQ(ExtraireEntier(s), -7);
    EXPECT_EQ(ExtraireEntier(s), 0); // beyond 32 bits
    EXPECT_TRUE(s.empty());
    s = "mot\t1  reste";
    EXPECT_EQ(ExtraireMot(s), "mot\t1");
    EXPECT_EQ(s, "reste");
}

TEST(ExtraireChamps, RealsIgnoreAFrenchLocale) {
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) GTEST_SKIP() << "locale fr_FR.UTF-8 absente";
    std::string s = "2.75 1,25";
    EXPECT_EQ(ExtraireReel(s), 2.75);
    EXPECT_EQ(ExtraireReel(s), 0.0);
    std::setlocale(LC_ALL, "C");
}

TEST(SansEspaces, RemovesSpacesAndNoBreakSpacesOnly) {
    EXPECT_EQ(SansEspaces(" 1 234\xC2\xA0"
                          "567,5 "),
              "1234567,5");
    // "à" is C3 A0 in UTF-8: its second byte is not a no-break space.
    EXPECT_EQ(SansEspaces("voilà là\t!"), "voilàlà\t!");
    EXPECT_EQ(SansEspaces(""), "");
}

TEST(Delimiter, ChoosesTheFirstLetterAbsentFromTheValue) {
    EXPECT_EQ(Delimiter("v", true), "< délimstr A >v< délimstr A >");
    EXPECT_EQ(Delimiter("v", false), "< délimstr A >\r\nv< délimstr A >\r\n");
    EXPECT_EQ(Delimiter("x< délimstr A >y", true), "< délimstr B >x< délimstr A >y< délimstr B >");
    std::string toutes;
    for (char l = 'A'; l <= 'Z'; ++l) toutes += std::string("< délimstr ") + l + " >";
    const std::string d = Delimiter(toutes, true);
    EXPECT_TRUE(d.starts_with("< délimstr _A >")) << d;
}

TEST(Delimiter, ValuesSurviveARoundTripInBothForms) {
    std::string toutes;
    for (char l = 'A'; l <= 'Z'; ++l) toutes += std::string("< délimstr ") + l + " >\r\n";
    const std::string valeurs[] = {"",
                                   "simple",
                                   "\r\n",
                                   "\r\n\r\n\r\n",
                                   "\n\r",
                                   "ligne 1\r\nligne 2\r\n",
                                   "contient < délimstr A > et < délimstr A >\r\n",
                                   "< délimstr ",
                                   ">",
                                   "fin < délimstr",
                                   toutes,
                                   toutes + "< délimstr _A >"};
    for (const bool uneLigne : {true, false}) {
        std::string source;
        for (const auto& v : valeurs) source += Delimiter(v, uneLigne);
        source += "suite";
        for (const auto& v : valeurs) EXPECT_EQ(ExtraireDelimite(source, uneLigne), v) << uneLigne;
        EXPECT_EQ(source, "suite");
    }
}

TEST(ExtraireDelimite, TakesTheFirstLineAsDelimiterOtherwise) {
    std::string source = "FIN\r\nvaleur\r\nsur deux lignesFIN\r\nreste";
    EXPECT_EQ(ExtraireDelimite(source, true), "valeur\r\nsur deux lignes");
    EXPECT_EQ(source, "reste");
    source = "< délimstr C >abc< délimstr C >\r\nreste";
    // The whole first line is the delimiter of the multi-line form, and it never comes again.
    EXPECT_EQ(ExtraireDelimite(source, false), "reste");
    EXPECT_TRUE(source.empty());
    source = "< délimstr sans fin";
    EXPECT_EQ(ExtraireDelimite(source, true), "");
    EXPECT_TRUE(source.empty());
}
