// The STL converter: form detection, binary and text reading, the orientation
// rule, and every way a file can be short, cut or malformed.
#include "import/Stl2RawConverter.h"

#include "MeshFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>

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
    // A count larger than the file holds: the whole facets present are read,
    // a partial last facet is dropped. The count is unsigned: 0xFFFFFFFB is no
    // different from ten million (it was read as -5 and gave nothing).
    EXPECT_EQ(convert(test::binaryStl(two, "x", 1000000)).size(), 2u);
    EXPECT_EQ(convert(test::binaryStl(two, "x", -5)).size(), 2u);
    EXPECT_EQ(convert(test::binaryStl(two, "x", -1)).size(), 2u);
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

TEST(StlText, NumberForms) {
    // The number is the first vertex's z; a zero normal stores the facet
    // reversed, so it lands in the last vertex.
    auto zOf = [](const std::string& number) -> std::optional<float> {
        auto t = convert("solid\nfacet normal 0 0 0\nouter loop\nvertex 0 0 " + number +
                         "\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\nendsolid\n");
        if (t.empty()) return std::nullopt;
        return t[0].c.z;
    };
    const std::vector<std::pair<std::string, float>> accepted = {
        {"2.5E+1", 25.0f},
        {"2.5e-1", 0.25f},
        {"250E-2", 2.5f},
        {"+2.5", 2.5f},
        {"+-2.5", -2.5f}, // one '+' is dropped before any number
        {".5", 0.5f},
        {"5.", 5.0f},
        {"-0.125", -0.125f},
        {"1e-50", 0.0f}, // below the smallest float: zero
        {"3.40282346e38", 3.40282347e38f},
        {"-3.40282346e38", -3.40282347e38f},
        {"\"  7 \"", 7.0f}, // a quoted word may hold spaces and tabs around the number
        {"\"\t+7\t\"", 7.0f},
    };
    for (const auto& [text, value] : accepted) {
        const auto z = zOf(text);
        ASSERT_TRUE(z) << text;
        EXPECT_EQ(*z, value) << text;
    }
    for (const std::string text :
         {"3.4028235e38", "-3.4028235e38", "1e39", "1e400", "1e-400", "nan", "inf",
          "-infinity",    "0x1",           "1e",   "e5",    ".",      "+",   "-",
          "++1",          "-+1",           "1..2", "1-",    "1,,",    "1 2", "\"\"",
          "\"7 x\"",      "7\"",           "1,5"}) {
        EXPECT_FALSE(zOf(text)) << text;
    }
}

TEST(StlText, TabsCaseAndSeparatorsAroundKeywords) {
    // Tabs and control characters at the ends of lines and between numbers,
    // keywords in mixed case, commas between the numbers.
    auto t =
        convert("solid\t\r\n\tFaCeT NoRmAl 0\t0\t1\t\r\n\x01OuTeR LoOp\r\n\tvertex\t0\t0\t0\r\n"
                "\tVeRtEx 1 , 0 ,0\r\n\"vertex\" 0 1 0\r\n\tEndLoop\r\n\tEndFacet\r\nEndSolid\r\n");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_TRUE(same(t[0], ccw));

    const std::string good = facetText("0 0 1", ccwVertices);
    // Between "facet" and "normal", and after "normal", only a space will do:
    // otherwise the line is no facet and the next one is not its end.
    for (const std::string head :
         {"facet\tnormal 0 0 1", "facet normal\t0 0 1", "facet  normal 0 0 1", "facet normal"}) {
        const std::string bad = head + "\nouter loop\n" + ccwVertices + "endloop\nendfacet\n";
        EXPECT_EQ(convert("solid\n" + good + bad + good).size(), 1u) << head;
    }
    // "outer" and "loop" apart by a tab: a facet without its loop, passed over.
    const std::string noLoop =
        "facet normal 0 0 1\nouter\tloop\n" + ccwVertices + "endloop\nendfacet\n";
    EXPECT_EQ(convert("solid\n" + good + noLoop + good).size(), 2u);
    // A vertex keyword must be the word "vertex" alone.
    for (const std::string vertex : {"vertex0 0 0", "vertex, 0 0", "\"vertex 0\" 0 0"}) {
        const std::string bad = facetText("0 0 1", vertex + "\nvertex 1 0 0\nvertex 0 1 0\n");
        EXPECT_EQ(convert("solid\n" + good + bad).size(), 1u) << vertex;
    }
    EXPECT_EQ(
        convert("solid\n" + good + facetText("0 0 1", "vertex,0,0,0\nvertex 1 0 0\nvertex 0 1 0\n"))
            .size(),
        2u);
}

TEST(StlText, FileCutInTheMiddleOfAFacet) {
    const std::string whole =
        "solid\n" + facetText("0 0 1", ccwVertices) + facetText("0 0 -1", ccwVertices);
    // Cut anywhere before the second facet's "endloop" is complete: one facet.
    // From there on the second is whole, an end of facet or not.
    const std::size_t endloop = whole.rfind("endloop");
    test::TempDir dir;
    for (std::size_t size = whole.find("endfacet"); size <= whole.size(); ++size) {
        const std::string cut = whole.substr(0, size);
        const std::size_t expected = size < endloop + 7 ? 1 : 2;
        EXPECT_EQ(convert(cut).size(), expected) << cut;
        test::writeFile(dir / "cut.stl", cut);
        TStl2RawConverter file(dir / "cut.stl");
        file.Convert();
        EXPECT_EQ(file.GetTriangleCount(), expected) << cut;
    }
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

TEST(StlFile, LargeTextFileReadInBlocksAsFromMemory) {
    // Far more text than one block of the reader, with lines of all endings.
    test::TempDir dir;
    std::vector<Facet> mesh;
    for (int i = 0; i < 10000; ++i) {
        const float x = static_cast<float>(i) * 0.25f;
        const TTriangle3D t{{x, 0, 0}, {x + 1, 0, 0}, {x, 1, static_cast<float>(i % 5)}};
        mesh.push_back({i % 4 ? test::windingNormal(t) : TPoint3D{0, 0, -1}, t});
    }
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        const std::string text = test::textStl(mesh, eol);
        ASSERT_GT(text.size(), 1'000'000u);
        test::writeFile(dir / "big.stl", text);
        TStl2RawConverter file(dir / "big.stl");
        file.Convert();
        const auto memory = convert(text);
        ASSERT_EQ(file.GetTriangleCount(), mesh.size());
        ASSERT_EQ(memory.size(), mesh.size());
        for (size_t i = 0; i < memory.size(); ++i)
            ASSERT_TRUE(same(file.triangles()[i], memory[i]));
        EXPECT_TRUE(same(memory[9999], mesh[9999].t));
        EXPECT_TRUE(same(memory[4000], {mesh[4000].t.c, mesh[4000].t.b, mesh[4000].t.a}));
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
