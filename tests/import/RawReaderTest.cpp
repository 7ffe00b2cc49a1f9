// One line of a RAW file: fields counted by spaces, the character check, quads,
// missing fields, the unit factor, and the lines that are not records.
#include "import/RawReader.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

void expectPoint(const TPoint3D& p, float x, float y, float z) {
    EXPECT_FLOAT_EQ(p.x, x);
    EXPECT_FLOAT_EQ(p.y, y);
    EXPECT_FLOAT_EQ(p.z, z);
}

void expectTriangle(const TTriangle3D& t, std::array<float, 9> v) {
    expectPoint(t.a, v[0], v[1], v[2]);
    expectPoint(t.b, v[3], v[4], v[5]);
    expectPoint(t.c, v[6], v[7], v[8]);
}

} // namespace

TEST(RawLine, NineNumbersAreOneTriangle) {
    auto r = readRawLine("1 2 3 4 5 6 7 8 9", 1);
    ASSERT_EQ(r.count, 1);
    expectTriangle(r.triangles[0], {1, 2, 3, 4, 5, 6, 7, 8, 9});

    r = readRawLine("0.000000 0.000000 0.000000 1.500000 0.000000 0.000000 0.000000 -2.000000 "
                    "0.250000",
                    1);
    ASSERT_EQ(r.count, 1);
    expectTriangle(r.triangles[0], {0, 0, 0, 1.5f, 0, 0, 0, -2, 0.25f});
}

TEST(RawLine, TwelveNumbersAreAQuadSplitIntoTwoTriangles) {
    auto r = readRawLine("0 0 0 10 0 0 10 10 0 0 10 5", 1);
    ASSERT_EQ(r.count, 2);
    expectTriangle(r.triangles[0], {0, 0, 0, 10, 0, 0, 10, 10, 0});
    expectTriangle(r.triangles[1], {10, 10, 0, 0, 10, 5, 0, 0, 0});
}

TEST(RawLine, FieldsAreCountedBySpaces) {
    // Trimmed first, then each space closes a field; missing fields read 0.
    auto r = readRawLine("   1 2 3   ", 1);
    ASSERT_EQ(r.count, 1);
    expectTriangle(r.triangles[0], {1, 2, 3, 0, 0, 0, 0, 0, 0});

    // Two spaces make an empty field: ten fields, the tenth ignored.
    r = readRawLine("1  2 3 4 5 6 7 8 9", 1);
    ASSERT_EQ(r.count, 1);
    expectTriangle(r.triangles[0], {1, 0, 2, 3, 4, 5, 6, 7, 8});

    // Eleven fields are still one triangle.
    r = readRawLine("1 2 3 4 5 6 7 8 9 10 11", 1);
    ASSERT_EQ(r.count, 1);
    expectTriangle(r.triangles[0], {1, 2, 3, 4, 5, 6, 7, 8, 9});

    // Control characters around the text go with the trimming (CR of CR LF files).
    r = readRawLine("\t1 2 3 4 5 6 7 8 9\r", 1);
    EXPECT_EQ(r.count, 1);
}

TEST(RawLine, LinesThatAreNotRecords) {
    for (const char* line :
         {"", "   ", "solid cube", "# comment", "1 2 3 4 5 6 7 8 x", "1\t2\t3\t4\t5\t6\t7\t8\t9",
          "1.5e3 0 0 0 0 0 0 0 0", "+1 2 3 4 5 6 7 8 9", "1 2 3 4 5 6 7 8 9 10 11 12 13",
          "1-2 3 4 5 6 7 8 9 10", "1.2.3 0 0 0 0 0 0 0 0", "- 1 2 3", "1 2 . 4 5 6 7 8 9",
          "1,5,5 0 0"}) {
        EXPECT_EQ(readRawLine(line, 1).count, 0) << line;
    }
}

TEST(RawLine, CommaIsADecimalPoint) {
    auto r = readRawLine("1,5 -0,25 3 4 5 6 7 8 9", 1);
    ASSERT_EQ(r.count, 1);
    expectPoint(r.triangles[0].a, 1.5f, -0.25f, 3);
}

TEST(RawLine, LongFieldsAndLinesAreReadWhole) {
    // Fields far beyond the 255th character of the line still count.
    const std::string zeros(1000, '0');
    const std::string line = "0." + zeros + "1 2 3 4 5 6 7 8 " + zeros + "9";
    auto r = readRawLine(line, 1);
    ASSERT_EQ(r.count, 1);
    EXPECT_FLOAT_EQ(r.triangles[0].a.x, 0);
    EXPECT_FLOAT_EQ(r.triangles[0].c.z, 9);
    // A number beyond any double is not a number.
    EXPECT_EQ(readRawLine("1" + zeros + " 0 0", 1).count, 0);
}

TEST(RawLine, UnitFactorConvertsToMillimetres) {
    auto r = readRawLine("1 0 0 0 1 0 0 0 1", 25.4);
    ASSERT_EQ(r.count, 1);
    expectTriangle(r.triangles[0], {25.4f, 0, 0, 0, 25.4f, 0, 0, 0, 25.4f});
    r = readRawLine("0.5 0 0 0 0 0 0 0 -1", 304.8);
    expectPoint(r.triangles[0].a, 152.4f, 0, 0);
    expectPoint(r.triangles[0].c, 0, 0, -304.8f);
}
