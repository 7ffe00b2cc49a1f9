// The DXF reader, the object-to-world conversion and the converter: faces,
// polyface meshes, inserts with their transforms, and damaged drawings.
#include "import/Dxf2RawConverter.h"

#include "DxfFiles.h"
#include "TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::test;

namespace {

std::vector<TTriangle3D> convert(const std::string& text, std::uint64_t walkLimit = 0) {
    auto c = TDxf2RawConverter::fromText(text);
    if (walkLimit) c.setWalkLimit(walkLimit);
    c.Convert();
    return c.triangles();
}

void expectPoint(const TPoint3D& p, float x, float y, float z) {
    EXPECT_NEAR(p.x, x, 1e-5);
    EXPECT_NEAR(p.y, y, 1e-5);
    EXPECT_NEAR(p.z, z, 1e-5);
}

const std::string unitFace = face3d({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});

} // namespace

TEST(DxfReader, PairsAreTrimmedAndTheEndIsReported) {
    const std::string text = "  0\r\nSECTION  \n\t2\nENTITIES\n999";
    auto r = TDxfReader::fromText(text);
    ASSERT_EQ(r.count(), 2); // a code line without its value at the end was cut off
    TDXFCommand cmd;
    ASSERT_TRUE(r.GetCmd(cmd));
    EXPECT_TRUE(cmd.is("0", "SECTION"));
    ASSERT_TRUE(r.GetCmd(1, cmd));
    EXPECT_TRUE(cmd.is("2", "ENTITIES"));
    EXPECT_FALSE(r.GetCmd(cmd));
    EXPECT_EQ(r.status(), dxfStatusPastEnd);
    EXPECT_TRUE(cmd.is("2", "ENTITIES"));                // left as it was
    EXPECT_EQ(TDxfReader::fromText("0\n\n").count(), 1); // an empty value line is a value

    TDxfReader missing("/nonexistent/drawing.dxf");
    EXPECT_EQ(missing.status(), dxfStatusNoFile);
    TDxf2RawConverter none("/nonexistent/drawing.dxf");
    EXPECT_FALSE(none.canRead());
    none.Convert();
    EXPECT_EQ(none.GetTriangleCount(), 0u);
}

TEST(DxfOcs, ArbitraryAxis) {
    TConvOCS2WCS conv;
    auto p = conv.Convert({1, 2, 3});
    EXPECT_DOUBLE_EQ(p.x, 1);
    EXPECT_DOUBLE_EQ(p.y, 2);
    EXPECT_DOUBLE_EQ(p.z, 3);

    conv.SetNormalVector(0, 0, -1); // (x, y, z) -> (-x, y, -z)
    p = conv.Convert({1, 2, 3});
    EXPECT_DOUBLE_EQ(p.x, -1);
    EXPECT_DOUBLE_EQ(p.y, 2);
    EXPECT_DOUBLE_EQ(p.z, -3);

    // Normal along world x: Ax = Wz x N = (0, 1, 0), Ay = N x Ax = (0, 0, 1).
    conv.SetNormalVector(5, 0, 0); // scaled to unit length
    p = conv.Convert({1, 2, 3});
    EXPECT_DOUBLE_EQ(p.x, 3);
    EXPECT_DOUBLE_EQ(p.y, 1);
    EXPECT_DOUBLE_EQ(p.z, 2);

    conv.SetNormalVector(0, 0, 0); // no direction: the identity
    p = conv.Convert({1, 2, 3});
    EXPECT_DOUBLE_EQ(p.x, 1);
    EXPECT_DOUBLE_EQ(p.z, 3);

    auto r = TConvOCS2WCS::Rotate({1, 0, 5}, 90);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 1);
    EXPECT_EQ(r.z, 5);
    r = TConvOCS2WCS::Rotate({1, 0, 0}, 30);
    EXPECT_NEAR(r.x, std::sqrt(3.0) / 2, 1e-12);
    EXPECT_NEAR(r.y, 0.5, 1e-12);
}

TEST(Dxf3dFace, ThreeOrFourCorners) {
    auto t = convert(drawing(face3d({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}})));
    ASSERT_EQ(t.size(), 1u);
    t = convert(drawing(face3d({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 2}})));
    ASSERT_EQ(t.size(), 2u);
    expectPoint(t[0].a, 0, 0, 0);
    expectPoint(t[0].b, 1, 0, 0);
    expectPoint(t[0].c, 1, 1, 0);
    expectPoint(t[1].a, 0, 0, 0); // (a, c, d)
    expectPoint(t[1].b, 1, 1, 0);
    expectPoint(t[1].c, 0, 1, 2);
    // Without a fourth corner, one triangle; corners not given are 0.
    t = convert(drawing(face3d({{5, 6, 7}})));
    ASSERT_EQ(t.size(), 1u);
    expectPoint(t[0].a, 5, 6, 7);
    expectPoint(t[0].c, 0, 0, 0);
}

TEST(DxfEntities, OtherEntitiesGiveNothing) {
    const std::string others =
        pairs({{"0", "LINE"},     {"8", "0"},   {"10", "0"},         {"20", "0"},      {"30", "0"},
               {"11", "5"},       {"21", "5"},  {"31", "5"},         {"0", "CIRCLE"},  {"10", "1"},
               {"20", "1"},       {"40", "3"},  {"0", "LWPOLYLINE"}, {"90", "2"},      {"10", "0"},
               {"20", "0"},       {"10", "1"},  {"20", "1"},         {"0", "3DSOLID"}, {"1", "AAA"},
               {"0", "POLYLINE"}, {"70", "8"},  {"0", "VERTEX"},     {"10", "1"},      {"20", "2"},
               {"30", "3"},       {"70", "32"}, {"0", "SEQEND"}});
    EXPECT_TRUE(convert(drawing(others)).empty());
    // Entities before them and after them still count.
    EXPECT_EQ(convert(drawing(unitFace + others + unitFace)).size(), 2u);
}

TEST(DxfPolyface, SquareOfTwoTriangles) {
    const std::vector<std::vector<double>> square = {
        {0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
    for (int first : {1, -1}) {
        auto t = convert(drawing(polyface(square, {{first, 2, 3, 4}})));
        ASSERT_EQ(t.size(), 2u);
        expectPoint(t[0].a, 0, 0, 0);
        expectPoint(t[0].b, 10, 0, 0);
        expectPoint(t[0].c, 10, 10, 0);
        expectPoint(t[1].a, 0, 0, 0);
        expectPoint(t[1].b, 10, 10, 0);
        expectPoint(t[1].c, 0, 10, 0);
    }
    // A fourth corner left out or equal to the third adds nothing.
    EXPECT_EQ(convert(drawing(polyface(square, {{1, 2, 3, 3}}))).size(), 1u);
    EXPECT_EQ(convert(drawing(polyface(square, {{1, 2, 3}}))).size(), 1u);
    // A record with fewer than three vertices is an edge: no triangle.
    EXPECT_EQ(convert(drawing(polyface(square, {{1, 2}}))).size(), 0u);
}

TEST(DxfErrors, MalformedNumbersUnknownBlocksAndFaceIndices) {
    const std::vector<std::vector<double>> tri = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::vector<std::string> bad = {
        drawing(pairs({{"0", "3DFACE"}, {"10", "1,5"}})),
        drawing(pairs({{"0", "3DFACE"}, {"31", "nan"}})),
        drawing(pairs({{"0", "3DFACE"}, {"31", "1e39"}})),
        drawing(insert("NOWHERE")),
        drawing(insert("B", {{"50", "ninety"}}), block("B", unitFace)),
        drawing(polyface(tri, {{1, 2, 4}})),
        drawing(polyface(tri, {{1, 2, 3, -9}})),
        // No vertex is numbered 0, in any corner: the mesh is damaged.
        drawing(polyface(tri, {{0, 2, 3}})),
        drawing(polyface(tri, {{1, 2, 0}})),
        drawing(polyface(tri, {{1, 2, 3, 0}})),
        drawing(pairs({{"0", "POLYLINE"}, {"0", "VERTEX"}, {"70", "128"}, {"71", "x"}})),
    };
    for (const auto& text : bad) {
        auto c = TDxf2RawConverter::fromText(text);
        EXPECT_THROW(c.Convert(), DxfError) << text;
    }
}

TEST(DxfInsert, TransformsOfTheBlock) {
    // Insertion point (10, 0, 0), scale 2, rotation 90: block corner (1, 0, 0)
    // lands at (10, 2, 0).
    const std::string b = block("B", face3d({{1, 0, 0}, {0, 0, 0}, {0, 0, 3}}));
    auto t = convert(drawing(insert("b", {{"10", "10"},
                                          {"20", "0"},
                                          {"30", "0"},
                                          {"41", "2"},
                                          {"42", "2"},
                                          {"43", "2"},
                                          {"50", "90"}}),
                             b));
    ASSERT_EQ(t.size(), 1u);
    expectPoint(t[0].a, 10, 2, 0);
    expectPoint(t[0].c, 10, 0, 6);

    // Extrusion (0, 0, -1): (x, y, z) -> (-x, y, -z).
    t = convert(drawing(insert("B", {{"210", "0"}, {"220", "0"}, {"230", "-1"}}),
                        block("B", face3d({{1, 2, 3}, {0, 0, 0}, {0, 0, 0}}))));
    ASSERT_EQ(t.size(), 1u);
    expectPoint(t[0].a, -1, 2, -3);

    // Non-uniform scale applies before the rotation: x scale 2, rotation 90.
    t = convert(drawing(insert("B", {{"41", "2"}, {"50", "90"}}), b));
    expectPoint(t[0].a, 0, 2, 0);

    // The block's base point goes to the insertion point.
    t = convert(drawing(insert("B", {{"10", "5"}, {"20", "5"}, {"30", "0"}}),
                        block("B", face3d({{1, 1, 1}, {0, 0, 0}, {0, 0, 0}}), {1, 1, 1})));
    expectPoint(t[0].a, 5, 5, 0);
}

TEST(DxfInsert, NestedInsertsAndEntitiesAfterThem) {
    // Outer moves by (100, 0, 0), inner block is inserted at (0, 10, 0) turned
    // 180 degrees inside it; a top-level face after an insert with its own
    // extrusion stays in world coordinates.
    const std::string inner = block("INNER", face3d({{1, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
    const std::string outer =
        block("OUTER", insert("INNER", {{"10", "0"}, {"20", "10"}, {"30", "0"}, {"50", "180"}}) +
                           face3d({{2, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
    auto t = convert(drawing(insert("OUTER", {{"10", "100"}, {"20", "0"}, {"30", "0"}}) +
                                 insert("INNER", {{"230", "-1"}}) +
                                 face3d({{7, 7, 7}, {0, 0, 0}, {0, 0, 0}}),
                             inner + outer));
    ASSERT_EQ(t.size(), 4u);
    expectPoint(t[0].a, 99, 10, 0); // INNER in OUTER
    expectPoint(t[1].a, 102, 0, 0); // OUTER's own face, after the nested insert
    expectPoint(t[2].a, -1, 0, 0);  // INNER extruded downwards
    expectPoint(t[3].a, 7, 7, 7);   // world coordinates again
}

TEST(DxfInsert, SelfInsertingBlocksEnd) {
    // Directly and through another block: each block is drawn once per chain.
    auto t = convert(drawing(insert("A"), block("A", unitFace + insert("A"))));
    EXPECT_EQ(t.size(), 1u);
    t = convert(drawing(insert("A"),
                        block("A", unitFace + insert("B")) + block("B", unitFace + insert("A"))));
    EXPECT_EQ(t.size(), 2u);
}

TEST(DxfInsert, NestingDeeperThanTenLevelsAddsNothing) {
    // L1 inserts L2 ... inserts L12, each holding one face.
    std::string blocks;
    for (int i = 1; i <= 12; ++i)
        blocks += block("L" + std::to_string(i),
                        unitFace + (i < 12 ? insert("L" + std::to_string(i + 1)) : ""));
    EXPECT_EQ(convert(drawing(insert("L1"), blocks)).size(), 10u);
}

TEST(DxfInsert, ExplodingInsertsAreRefused) {
    // Ten levels of ten inserts would repeat the face 10^10 times.
    std::string blocks = block("L10", unitFace);
    for (int i = 9; i >= 1; --i) {
        std::string body;
        for (int k = 0; k < 10; ++k) body += insert("L" + std::to_string(i + 1));
        blocks += block("L" + std::to_string(i), body);
    }
    const std::string text = drawing(insert("L1"), blocks); // the converter reads it in place
    auto c = TDxf2RawConverter::fromText(text);
    c.setWalkLimit(1'000'000);
    EXPECT_THROW(c.Convert(), DxfError);

    // At the default limit the refusal comes after a bounded count of pairs,
    // saying why.
    auto whole = TDxf2RawConverter::fromText(text);
    try {
        whole.Convert();
        ADD_FAILURE() << "converted " << whole.GetTriangleCount() << " triangles";
    } catch (const DxfError& e) {
        EXPECT_NE(std::string(e.what()).find("block inserts repeat more than 20000000"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_LT(whole.GetTriangleCount(), 20'000'000u / 12);
}

TEST(DxfInsert, TheLimitCountsOnlyWhatInsertsRepeat) {
    // Forty faces of the drawing itself pass a limit of 100 pairs; the same
    // faces in an inserted block do not.
    std::string faces;
    for (int i = 0; i < 40; ++i) faces += unitFace;
    EXPECT_EQ(convert(drawing(faces), 100).size(), 40u);
    const std::string inserted = drawing(insert("B"), block("B", faces)); // read in place
    auto c = TDxf2RawConverter::fromText(inserted);
    c.setWalkLimit(100);
    EXPECT_THROW(c.Convert(), DxfError);
}

TEST(DxfTruncated, KeepsWhatWasGathered) {
    const std::string whole =
        drawing(unitFace + unitFace + polyface({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{1, 2, 3}}));
    // Cut anywhere: never more than the whole, never an error, never a hang.
    size_t last = 0;
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        auto t = convert(whole.substr(0, cut));
        EXPECT_LE(t.size(), 3u);
        EXPECT_GE(t.size(), last) << cut;
        last = t.size();
    }
    EXPECT_EQ(last, 3u);
    // Without ENDSEC / EOF at all, and a block without ENDBLK.
    EXPECT_EQ(convert(pairs({{"0", "SECTION"}, {"2", "ENTITIES"}}) + unitFace).size(), 0u);
    EXPECT_EQ(
        convert(pairs({{"0", "SECTION"}, {"2", "ENTITIES"}}) + unitFace + pairs({{"0", "ENDSEC"}}))
            .size(),
        1u);
    const std::string noEnd =
        pairs({{"0", "SECTION"}, {"2", "BLOCKS"}, {"0", "BLOCK"}, {"2", "A"}}) + unitFace +
        pairs({{"0", "ENDSEC"}, {"0", "SECTION"}, {"2", "ENTITIES"}}) + insert("A") +
        pairs({{"0", "ENDSEC"}, {"0", "EOF"}});
    EXPECT_EQ(convert(noEnd).size(), 1u);
}

TEST(DxfSections, EntitiesOnlyFromTheEntitiesSection) {
    // Faces in a block that is never inserted, and in other sections, are not drawn.
    auto t = convert(drawing(unitFace, block("UNUSED", unitFace)));
    EXPECT_EQ(t.size(), 1u);
    const std::string tables = pairs({{"0", "SECTION"}, {"2", "TABLES"}}) + unitFace +
                               pairs({{"0", "ENDSEC"}, {"0", "EOF"}});
    EXPECT_TRUE(convert(tables).empty());
    // Nothing after EOF.
    EXPECT_EQ(convert(drawing(unitFace) + drawing(unitFace)).size(), 1u);
}
