// Names compared the way the user sees them: case does not count in any script.
#include "foundation/TextCompare.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(TextCompare, CaseDoesNotCountInAnyScript) {
    EXPECT_TRUE(sameText("\xC5\x81uk", "\xC5\x82uk")); // Łuk, łuk
    EXPECT_TRUE(sameText("\xC3\x89"
                         "CROU",
                         "\xC3\xA9"
                         "crou"));                                     // ÉCROU, écrou
    EXPECT_TRUE(sameText("\xD0\xA4\xD0\xA0\xD0\x95\xD0\x97\xD0\x90",   // ФРЕЗА
                         "\xD1\x84\xD1\x80\xD0\xB5\xD0\xB7\xD0\xB0")); // фреза
    EXPECT_TRUE(sameText("\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x9F\xCE\xA3",   // ΣΟΦΟΣ
                         "\xCF\x83\xCE\xBF\xCF\x86\xCE\xBF\xCF\x82")); // σοφος, final ς
    EXPECT_TRUE(sameText("Ball3", "BALL3"));
    EXPECT_FALSE(sameText("\xC5\x81uk", "Luk")); // Ł is not L
    EXPECT_FALSE(sameText("\xC3\xA9", "e"));
    EXPECT_FALSE(sameText("ab", "abc"));
    EXPECT_EQ(lowerText("Sto\xC5\xBBkowy2"), "sto\xC5\xBCkowy2"); // StoŻkowy2
}

TEST(TextCompare, OrderIsByCodePointAfterFolding) {
    EXPECT_EQ(compareText("\xC5\x81uk", "\xC5\x82UK"), 0);
    // Folded, łuk < łza although Ł (U+0141) sorts before ł (U+0142) unfolded.
    EXPECT_LT(compareText("\xC5\x82uk", "\xC5\x81ZA"), 0);
    EXPECT_GT(compareText("\xC3\x89TAU", "\xC3\xA9"
                                         "crou"),
              0);                                     // ÉTAU after écrou
    EXPECT_LT(compareText("\xD0\xB6\xD1\x83\xD0\xBA", // жук before ЖЯ
                          "\xD0\x96\xD0\xAF"),
              0);
    EXPECT_LT(compareText("zebra", "\xC3\x81"
                                   "bside"),
              0); // z (U+007A) before á (U+00E1)
    EXPECT_LT(compareText("ab", "ABC"), 0);
}
