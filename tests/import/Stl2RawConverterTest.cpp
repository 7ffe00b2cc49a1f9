// The STL converter: form detection, binary and text reading, the orientation
// rule, and every way a file can be short, cut or malformed.
#include "import/Stl2RawConverter.h"

#include "MeshFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace korvane;
using korvane::test::Facet;

namespace {

std::vector<TTriangle3D> convert(const std::string& bytes) {
    TStl2RawConverter c("memory.stl");
    c.convertBytes(bytes);
    return c.triangles();
}

bool same(const TPoint3D& p, const TPoint3D& q) {
    return p.x == q.x && p.y == q.y && p.z == q.z;
}

bool same(const TTriangle3D& t, const TTriangle3D& u) {
    return same(t.a, u.a) && same(t.b, u.b) && same(t.c, u.c);
}

const TTriangle3D ccw{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};      // winding normal +z
const TTriangle3D reversed{{0, 1, 0}, {1, 0, 0}, {0, 0, 0}}; // P3, P2, P1

std::string facetText(const std::string& normal, const std::string& body) {
    return "  facet normal " + normal + "\n    outer loop\n" + body + "    endloop\n  endfacet\n";
}

const std::string ccwVertices = "      vertex 0 0 0\n      vertex 1 0 0\n      vertex 0 1 0\n";

} // namespace

TEST(StlBinary, FacetsAreOrientedByTheFileNormal) {
    auto t = convert(test::binaryStl({{{0, 0, 1}, ccw}, {{0, 0, -1}, ccw}, {{0, 0, 0}, ccw}}));
    ASSERT_EQ(t.size(), 3u);
    EXPECT_TRUE(same(t[0], ccw));
    EXPECT_TRUE(same(t[1], reversed)); // normal against the winding
    EXPECT_TRUE(same(t[2], reversed)); // a zero normal is not "greater than 0"
}

TEST(StlBinary, CountsAndLengthsThatDoNotAgree) {
    const std::vector<Facet> two = {{{0, 0, 1}, ccw}, {{0, 0, 1}, ccw}};
    EXPECT_TRUE(convert(test::binaryStl(two, "x", 0)).empty());
    EXPECT_TRUE(convert(test::binaryStl(two, "x", -5)).empty());
    // A count larger than the file holds: the whole facets present are read,
    // a partial last facet is dropped.
    EXPECT_EQ(convert(test::binaryStl(two, "x", 1000000)).size(), 2u);
    std::string cut = test::binaryStl(two);
    cut.resize(cut.size() - 10);
    EXPECT_EQ(convert(cut).size(), 1u);
    EXPECT_EQ(convert(test::binaryStl(two, "x", 0x7fffffff)).size(), 2u);
    // A smaller count reads only that many.
    EXPECT_EQ(convert(test::binaryStl(two, "x", 1)).size(), 1u);
    // Shorter than the header: nothing, no error.
    EXPECT_TRUE(convert(std::string(83, '\0')).empty());
    EXPECT_TRUE(convert("").empty());
}

TEST(StlBinary, FacetsWithVerticesThatAreNotNumbersAreLeftOut) {
    TTriangle3D bad = ccw;
    bad.b.y = std::numeric_limits<float>::quiet_NaN();
    TTriangle3D huge = ccw;
    huge.c.z = std::numeric_limits<float>::infinity();
    auto t = convert(test::binaryStl({{{0, 0, 1}, bad}, {{0, 0, 1}, ccw}, {{0, 0, 1}, huge}}));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_TRUE(same(t[0], ccw));
}

TEST(StlBinary, SolidHeaderIsTextUnlessTheSizeMatchesTheCount) {
    // Many CAD programs start binary headers with "solid": when the file is
    // exactly as long as its facet count says, it is binary.
    const std::vector<Facet> one = {{{0, 0, 1}, ccw}};
    auto t = convert(test::binaryStl(one, "solid part made by CAD"));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_TRUE(same(t[0], ccw));
    // With a stray byte at the end it is taken for text and yields nothing.
    EXPECT_TRUE(convert(test::binaryStl(one, "SOLID part") + "x").empty());
    const std::string exact = test::binaryStl(one), none = test::binaryStl({}, "x");
    EXPECT_TRUE(isExactBinaryStl(exact, exact.size()));
    EXPECT_FALSE(isExactBinaryStl(exact, exact.size() + 1));
    EXPECT_FALSE(isExactBinaryStl(none, none.size()));
}

TEST(StlText, ReadsFacetsInAnyCaseAndLineEnding) {
    const std::string body = facetText("0 0 1", ccwVertices) + facetText("0 0 -1", ccwVertices);
    for (const std::string& text :
         {"solid a\n" + body + "endsolid a\n", "SoLiD\r\n" + body + "ENDSOLID",
          "solid\r" + body + "endsolid\r"}) {
        auto t = convert(text);
        ASSERT_EQ(t.size(), 2u) << text;
        EXPECT_TRUE(same(t[0], ccw));
        EXPECT_TRUE(same(t[1], reversed));
    }
    // Upper-case keywords, commas and exponents.
    auto t = convert("SOLID X\nFACET NORMAL 0,0,1E0\nOUTER LOOP\nVERTEX 0,0,0\n"
                     "VERTEX 1e0, 0, 0\nVERTEX 0 1.0E+0 0\nENDLOOP\nENDFACET\nENDSOLID X\n");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_TRUE(same(t[0], ccw));
}

TEST(StlText, MalformedFilesKeepTheFacetsBeforeTheFault) {
    const std::string good = facetText("0 0 1", ccwVertices);
    struct Case {
        std::string tail;
        size_t expected;
    };
    const std::vector<Case> cases = {
        {"\n" + good, 1},                                                    // empty line
        {facetText("0 0", ccwVertices), 1},                                  // Invalid Normal
        {facetText("0 0 1 1", ccwVertices), 1},                              // Invalid Normal
        {facetText("0 0 x", ccwVertices), 1},                                // not a number
        {facetText("0 0 1", "vertex 0 0\nvertex 1 0 0\nvertex 0 1 0\n"), 1}, // Invalid Vertex
        {facetText("0 0 1", "vertexx 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"), 1},
        {facetText("0 0 1", "vertex 0 0 1e39\nvertex 1 0 0\nvertex 0 1 0\n"), 1},
        {"  facet normal 0 0 1\n    outer loop\n" + ccwVertices + "  endfacet\n", 1},  // endloop
        {"  facet normal 0 0 1\n    outer loop\n" + ccwVertices + "    endloop\n", 2}, // cut
        {"  facet normal 0 0 1\n    outer loop\n      vertex 0 0 0\n", 1},             // cut
        {good + "endsolid\nsolid second\n" + good, 2}, // a second solid is not read
        {good + "junk\x01\x02\xff\n" + good, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convert("solid t\n" + good + c.tail).size(), c.expected) << c.tail;
    }
    // Not a text STL after all: the first line must begin with SOLID.
    EXPECT_TRUE(convert("solidity is not required\n").empty());
    EXPECT_TRUE(convert("sol").empty());
}

TEST(StlText, FacetWithoutItsLoopIsPassedOver) {
    const std::string good = facetText("0 0 1", ccwVertices);
    auto t =
        convert("solid t\n" + good + "facet normal 0 0 1\nendfacet\n" +
                "facet normal 0 0 1\n  something else\n  more\nendfacet\n" + good + "endsolid\n");
    EXPECT_EQ(t.size(), 2u);
}

TEST(StlFile, MissingFileIsAnError) {
    TStl2RawConverter c("/nonexistent/folder/model.stl");
    EXPECT_THROW(c.Convert(), std::runtime_error);
}

TEST(StlFile, BinaryAndTextOfTheSameMeshGiveTheSameTriangles) {
    test::TempDir dir;
    const auto mesh = test::pyramid(40, 20, 3.25f, -7.5f, 1.125f);
    test::writeFile(dir / "b.stl", test::binaryStl(mesh));
    test::writeFile(dir / "t.stl", test::textStl(mesh));
    TStl2RawConverter b(dir / "b.stl"), t(dir / "t.stl");
    b.Convert();
    t.Convert();
    ASSERT_EQ(b.GetTriangleCount(), mesh.size());
    ASSERT_EQ(t.GetTriangleCount(), mesh.size());
    for (size_t i = 0; i < mesh.size(); ++i) {
        EXPECT_TRUE(same(b.triangles()[i], mesh[i].t));
        EXPECT_TRUE(same(t.triangles()[i], mesh[i].t));
    }
}

TEST(StlFile, LargeBinaryFileReadInBlocksAsFromMemory) {
    // More facets than one block, a count one too high and a partial facet at
    // the end: the file and the same bytes in memory agree.
    test::TempDir dir;
    std::vector<Facet> mesh;
    for (int i = 0; i < 70000; ++i) {
        const float x = static_cast<float>(i);
        const TTriangle3D t{{x, 0, 0}, {x + 1, 0, 0}, {x, 1, static_cast<float>(i % 7)}};
        mesh.push_back({i % 3 ? test::windingNormal(t) : TPoint3D{0, 0, -1}, t});
    }
    std::string bytes = test::binaryStl(mesh, "binary", 70001) + std::string(20, 'z');
    test::writeFile(dir / "big.stl", bytes);
    TStl2RawConverter file(dir / "big.stl");
    file.Convert();
    const auto memory = convert(bytes);
    ASSERT_EQ(file.GetTriangleCount(), 70000u);
    ASSERT_EQ(memory.size(), 70000u);
    for (size_t i = 0; i < memory.size(); ++i) ASSERT_TRUE(same(file.triangles()[i], memory[i]));
    EXPECT_TRUE(same(memory[1], mesh[1].t));
    EXPECT_TRUE(same(memory[0], {mesh[0].t.c, mesh[0].t.b, mesh[0].t.a}));

    bytes = test::binaryStl(mesh, "solid exact");
    test::writeFile(dir / "exact.stl", bytes);
    TStl2RawConverter exact(dir / "exact.stl");
    exact.Convert();
    EXPECT_EQ(exact.GetTriangleCount(), 70000u);
}
