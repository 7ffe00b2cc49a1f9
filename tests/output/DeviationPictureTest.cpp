// The deviation picture: the class limits, the colours and the orientation of
// the rows, north first.
#include "output/DeviationPicture.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(DeviationPicture, ClassLimits) {
    EXPECT_EQ(classifyDeviation(-0.01, 0), DeviationClass::withinAllowance);
    EXPECT_EQ(classifyDeviation(-0.0101, 0), DeviationClass::gouge);
    EXPECT_EQ(classifyDeviation(1.01, 1), DeviationClass::withinAllowance);
    EXPECT_EQ(classifyDeviation(1.0101, 1), DeviationClass::materialLeft);
    EXPECT_EQ(classifyDeviation(0.0101, 0), DeviationClass::materialLeft);
}

TEST(DeviationPicture, PixelsNorthFirstShadedByTheSurface) {
    tpix2d deviation(2, 2), remaining(2, 2);
    deviation[0][0] = -0.5f;  // gouge, south-west
    deviation[0][1] = 0;      // within, north-west
    deviation[1][0] = 0.3f;   // material left over an allowance of 0.1, south-east
    deviation[1][1] = 0.105f; // within, north-east
    remaining.fill(4);
    // A level surface: 0.35 + 0.65 * 0.7071 of each colour, cut to a byte.
    const std::vector<std::uint8_t> expected = {38,  142, 51, 38,  142, 51,
                                                181, 25,  25, 194, 142, 25};
    EXPECT_EQ(deviationPixels(deviation, remaining, 0.5, 0.1), expected);
}
