// Rounding and the text form of numbers in files.
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.5000001), 3);
    EXPECT_EQ(roundHalfEven(-2.4999999), -2);
    EXPECT_EQ(roundHalfEven(3e9), 3000000000LL);
}

TEST(FormatReal, ShortestTextWithFifteenSignificantDigits) {
    EXPECT_EQ(formatReal(0), "0");
    EXPECT_EQ(formatReal(16000), "16000");
    EXPECT_EQ(formatReal(0.3), "0.3");
    EXPECT_EQ(formatReal(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatReal(-2.5), "-2.5");
    EXPECT_EQ(formatReal(15.1), "15.1");
    EXPECT_EQ(formatReal(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(formatReal(0.0001), "0.0001");
    EXPECT_EQ(formatReal(0.00001), "0.00001");
    EXPECT_EQ(formatReal(0.0000015), "1.5E-6");
    EXPECT_EQ(formatReal(123456789012345.0), "123456789012345");
    EXPECT_EQ(formatReal(1e15), "1E15");
    EXPECT_EQ(formatReal(-1.25e20), "-1.25E20");
    EXPECT_EQ(formatReal(static_cast<long double>(0.25)), "0.25");
}

TEST(ParseReal, AcceptsOnlyWholeDecimalNumbersWithPoint) {
    EXPECT_EQ(parseReal("1.5"), 1.5);
    EXPECT_EQ(parseReal("  -2 "), -2.0);
    EXPECT_EQ(parseReal("+3.25"), 3.25);
    EXPECT_EQ(parseReal("1E3"), 1000.0);
    EXPECT_EQ(parseReal("1,5"), std::nullopt);
    EXPECT_EQ(parseReal("12abc"), std::nullopt);
    EXPECT_EQ(parseReal(""), std::nullopt);
    EXPECT_EQ(parseReal("nan"), std::nullopt);
    EXPECT_EQ(parseReal("inf"), std::nullopt);
    for (double v : {0.3, 15.1, -1e-7, 123456.789, 1e300})
        EXPECT_EQ(parseReal(formatReal(v)), v) << v;
}

TEST(ParseInteger, DecimalAndHexadecimal) {
    EXPECT_EQ(parseInteger("42"), 42);
    EXPECT_EQ(parseInteger(" -7 "), -7);
    EXPECT_EQ(parseInteger("$1F"), 31);
    EXPECT_EQ(parseInteger("0x10"), 16);
    EXPECT_EQ(parseInteger("1.0"), std::nullopt);
    EXPECT_EQ(parseInteger("99999999999999999999"), std::nullopt);
    EXPECT_EQ(parseInteger("-"), std::nullopt);
}
