// The loading thread: reading by extension, the move to x = y = 0, the model
// record and size, the sorting, the plane coefficients, the end handler, and
// loads that end in an empty model.
#include "import/RAWodczytWatek.h"

#include "DxfFiles.h"
#include "MeshFiles.h"
#include "TestSupport.h"

#include "foundation/State.h"
#include "platform/MainLoop.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

struct Load {
    TriangleList list;
    TModel record;
    TrPkt3D size{-1, -1, -1};
    std::string error;
    bool ended = false;
};

// Loads `file` on the thread and waits for its end handler on the main loop.
Load load(const std::filesystem::path& file, int unit = unitMillimetre) {
    settings.jednostkaMiary = unit;
    Load l;
    l.record.typPliku = 7; // not touched by the load
    TRAWodczytWatek loader;
    loader.Inicjuj(&l.list, file, &l.record, &l.size);
    settings.jednostkaMiary = unitMillimetre; // taken at Inicjuj
    loader.start([&] { l.ended = true; });
    EXPECT_TRUE(queueMainLoop().runUntil([&] { return l.ended; }, std::chrono::seconds(30)));
    l.error = loader.errorText();
    return l;
}

void expectPoint(const TrPkt3D& p, float x, float y, float z) {
    EXPECT_FLOAT_EQ(p.x, x);
    EXPECT_FLOAT_EQ(p.y, y);
    EXPECT_FLOAT_EQ(p.z, z);
}

class LoadingThread : public ::testing::Test {
  protected:
    void SetUp() override { settings = TUstawienia{}; }
    void TearDown() override { settings = TUstawienia{}; }
    test::TempDir dir;
};

} // namespace

TEST_F(LoadingThread, RawTriangleIsMovedToTheOriginAndMeasured) {
    test::writeFile(dir / "one.raw", "10 20 5 30 20 5 10 40 7\r\n");
    Load l = load(dir / "one.raw");
    ASSERT_TRUE(l.ended);
    ASSERT_EQ(l.list.size(), 1u);
    expectPoint(l.list[0].a, 0, 0, 5);
    expectPoint(l.list[0].b, 20, 0, 5);
    expectPoint(l.list[0].c, 0, 20, 7);
    EXPECT_EQ(l.record.plik_RAW, (dir / "one.raw").string());
    EXPECT_EQ(l.record.typPliku, 7);
    EXPECT_EQ(l.record.minX, 0);
    EXPECT_EQ(l.record.minY, 0);
    EXPECT_EQ(l.record.minZ, 5);
    EXPECT_EQ(l.record.maxX, 20);
    EXPECT_EQ(l.record.maxY, 20);
    EXPECT_EQ(l.record.maxZ, 7);
    expectPoint(l.size, 20, 20, 7);
    // The plane through them: 2y - 20z + 100 = 0, scaled by the determinants.
    const TTrojkat& t = l.list[0];
    EXPECT_FLOAT_EQ(t.A, 0);
    EXPECT_FLOAT_EQ(t.B, -40);
    EXPECT_FLOAT_EQ(t.C, 400);
    EXPECT_FLOAT_EQ(t.D, -2000);
}

TEST_F(LoadingThread, SizeZIsTheTopNotTheSpan) {
    test::writeFile(dir / "m.raw", "0 0 -3 1 0 12 0 1 0\n");
    Load l = load(dir / "m.raw");
    ASSERT_EQ(l.list.size(), 1u);
    EXPECT_FLOAT_EQ(l.size.z, 12);
    EXPECT_EQ(l.record.minZ, -3);
    EXPECT_EQ(l.record.maxZ, 12);
}

TEST_F(LoadingThread, VerticesAndTrianglesAreSortedByHeight) {
    // (0,0,9), (1,0,1), (0,1,5) becomes a = (1,0,1), b = (0,1,5), c = (0,0,9).
    test::writeFile(dir / "s.raw", "label\n"
                                   "0 0 9 1 0 1 0 1 5\n"
                                   "0 0 4 1 0 4 0 1 4\n"
                                   "5 5 2 5 6 2 6 5 0\n"
                                   "9 9 3 9 9 3 9 9 -1\n");
    Load l = load(dir / "s.raw");
    ASSERT_EQ(l.list.size(), 4u);
    for (size_t i = 1; i < l.list.size(); ++i) EXPECT_LE(l.list[i - 1].a.z, l.list[i].a.z);
    for (const auto& t : l.list) {
        EXPECT_LE(t.a.z, t.b.z);
        EXPECT_LE(t.b.z, t.c.z);
    }
    const TTrojkat* t = nullptr;
    for (const auto& c : l.list)
        if (c.c.z == 9) t = &c;
    ASSERT_NE(t, nullptr);
    expectPoint(t->a, 1, 0, 1);
    expectPoint(t->b, 0, 1, 5);
    expectPoint(t->c, 0, 0, 9);
    // Equal heights keep their order; the degenerate triangle has a zero plane.
    const TTrojkat& flat = l.list[3];
    expectPoint(flat.a, 0, 0, 4);
    expectPoint(flat.b, 1, 0, 4);
    expectPoint(flat.c, 0, 1, 4);
    const TTrojkat& point = l.list[0];
    EXPECT_EQ(point.a.z, -1);
    EXPECT_EQ(point.A, 0);
    EXPECT_EQ(point.B, 0);
    EXPECT_EQ(point.C, 0);
    EXPECT_EQ(point.D, 0);
}

TEST_F(LoadingThread, PlaneCoefficientsHoldForEveryVertex) {
    test::writeFile(dir / "p.raw", "1.5 -2 3 4 1 -1 -3 2.25 7\n");
    Load l = load(dir / "p.raw");
    ASSERT_EQ(l.list.size(), 1u);
    const TTrojkat& t = l.list[0];
    for (const TrPkt3D& p : {t.a, t.b, t.c})
        EXPECT_NEAR(t.A * p.x + t.B * p.y + t.C * p.z + t.D, 0, 1e-3);
    // (A, B, C) is the normal of the sorted winding a -> b -> c.
    const double ux = t.b.x - t.a.x, uy = t.b.y - t.a.y, uz = t.b.z - t.a.z;
    const double vx = t.c.x - t.a.x, vy = t.c.y - t.a.y, vz = t.c.z - t.a.z;
    EXPECT_NEAR(t.A, uy * vz - uz * vy, 1e-3);
    EXPECT_NEAR(t.B, uz * vx - ux * vz, 1e-3);
    EXPECT_NEAR(t.C, ux * vy - uy * vx, 1e-3);
}

TEST_F(LoadingThread, ExtensionChoosesTheReaderInAnyCase) {
    const auto mesh = test::pyramid(40, 20, 10, 10, 2);
    test::writeFile(dir / "a.stl", test::binaryStl(mesh));
    test::writeFile(dir / "b.STL", test::textStl(mesh));
    test::writeFile(dir / "c.Stl", test::textStl(mesh, "\n"));
    const std::string face = test::face3d({{10, 10, 2}, {50, 10, 2}, {30, 30, 22}});
    test::writeFile(dir / "d.Dxf", test::drawing(face));
    test::writeFile(dir / "e.RaW", "10 10 2 50 10 2 30 30 22\n");
    const Load ref = load(dir / "a.stl");
    ASSERT_EQ(ref.list.size(), 6u);
    expectPoint(ref.size, 40, 40, 22);
    for (const char* name : {"b.STL", "c.Stl"}) {
        Load l = load(dir / name);
        ASSERT_EQ(l.list.size(), 6u) << name;
        for (size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(std::memcmp(&l.list[i], &ref.list[i], sizeof(TTrojkat)), 0) << name << i;
        }
        EXPECT_EQ(l.record.maxZ, ref.record.maxZ);
    }
    for (const char* name : {"d.Dxf", "e.RaW"}) {
        Load l = load(dir / name);
        ASSERT_EQ(l.list.size(), 1u) << name;
        expectPoint(l.size, 40, 20, 22);
        expectPoint(l.list[0].c, 20, 20, 22);
    }
    test::writeFile(dir / "f.txt", "10 10 2 50 10 2 30 30 22\n");
    Load none = load(dir / "f.txt");
    EXPECT_TRUE(none.list.empty());
    EXPECT_TRUE(none.error.empty());
}

TEST_F(LoadingThread, UnitOfMeasureAppliesToEveryFormat) {
    test::writeFile(dir / "u.raw", "1 0 0 0 1 0 0 0 1\n");
    test::writeFile(dir / "u.stl",
                    test::binaryStl({{{1, 1, 1}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}}));
    test::writeFile(dir / "u.dxf", test::drawing(test::face3d({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}})));
    for (const char* name : {"u.raw", "u.stl", "u.dxf"}) {
        Load inch = load(dir / name, unitInch);
        ASSERT_EQ(inch.list.size(), 1u) << name;
        expectPoint(inch.size, 25.4f, 25.4f, 25.4f);
        Load foot = load(dir / name, unitFoot);
        expectPoint(foot.size, 304.8f, 304.8f, 304.8f);
        // An unknown unit (a damaged settings file) reads as millimetres.
        Load odd = load(dir / name, 17);
        expectPoint(odd.size, 1, 1, 1);
    }
}

TEST_F(LoadingThread, EmptyModelsKeepInfiniteExtents) {
    test::writeFile(dir / "empty.raw", "");
    test::writeFile(dir / "words.raw", "solid nothing\n# 1 2 3\n");
    for (const char* name : {"empty.raw", "words.raw"}) {
        Load l = load(dir / name);
        ASSERT_TRUE(l.ended);
        EXPECT_TRUE(l.list.empty());
        EXPECT_TRUE(l.error.empty());
        EXPECT_EQ(l.record.plik_RAW, (dir / name).string());
        EXPECT_EQ(l.record.minX, 0);
        EXPECT_TRUE(std::isinf(l.record.minZ) && l.record.minZ > 0);
        EXPECT_TRUE(std::isinf(l.record.maxZ) && l.record.maxZ < 0);
    }
}

TEST_F(LoadingThread, FailedLoadsLeaveTheCallersVariablesAlone) {
    test::writeFile(dir / "bad.dxf", test::drawing(test::insert("MISSING")));
    std::filesystem::create_directory(dir / "folder.stl");
    for (const auto& file : {dir / "missing.raw", dir / "missing.stl", dir / "missing.dxf",
                             dir / "bad.dxf", dir / "folder.stl"}) {
        Load l = load(file);
        ASSERT_TRUE(l.ended) << file; // the end handler runs all the same
        EXPECT_TRUE(l.list.empty());
        EXPECT_FALSE(l.error.empty()) << file;
        EXPECT_TRUE(l.record.plik_RAW.empty());
        EXPECT_EQ(l.record.typPliku, 7);
        EXPECT_FLOAT_EQ(l.size.x, -1);
    }
}

TEST_F(LoadingThread, TrianglesOutOfSingleRangeAreLeftOutAndModelsOutOfReachRefused) {
    // A number too large for a Single after the unit factor would poison the
    // extents and the sort of the whole model.
    test::writeFile(dir / "big.raw", "1 2 3 4 5 6 7 8 9\n"
                                     "300000000000000000000000000000000000000 0 0 0 0 0 0 0 0\n"
                                     "1 2 3 4 5 6 7 8 999999999999999999999999999999999999999\n");
    // 3e38 mm still fits a Single, but no machine reaches it: the model is
    // refused with the reason (it was taken, and its raster ate the memory).
    Load l = load(dir / "big.raw");
    EXPECT_TRUE(l.list.empty());
    EXPECT_NE(l.error.find("beyond the 10000 mm"), std::string::npos) << l.error;
    EXPECT_FLOAT_EQ(l.size.x, -1);
    test::writeFile(dir / "wide.raw", "-9999 0 0 9999 0 0 0 9999 10\n");
    Load wide = load(dir / "wide.raw");
    ASSERT_EQ(wide.list.size(), 1u) << wide.error;
    EXPECT_FLOAT_EQ(wide.size.x, 19998);
    Load foot = load(dir / "big.raw", unitFoot);
    ASSERT_EQ(foot.list.size(), 1u); // 3e38 feet do not
    EXPECT_FLOAT_EQ(foot.size.z, 9 * 304.8f);
}

TEST_F(LoadingThread, ProgramStateListsAreReplacedByTheLoad) {
    test::writeFile(dir / "one.raw", "0 0 0 1 0 0 0 1 0\n");
    modelTriangles.clear(); // the caller empties the list before it starts a load
    TRAWodczytWatek loader;
    loader.Inicjuj(&modelTriangles, dir / "one.raw", &modelExtents, &modelSize);
    bool ended = false;
    loader.start([&] { ended = true; });
    ASSERT_TRUE(queueMainLoop().runUntil([&] { return ended; }, std::chrono::seconds(30)));
    EXPECT_EQ(modelTriangles.size(), 1u);
    EXPECT_FLOAT_EQ(modelSize.x, 1);
    modelTriangles.clear();
    modelExtents = TModel{};
    modelSize = TrPkt3D{};
}

TEST(TriangleSort, OrdersAnyHeightsAndKeepsEveryRecord) {
    // Negative, zero of both signs, tiny and huge heights, many repeats.
    const std::vector<float> heights = {3.5f, -0.0f, 0.0f,    -1e30f, 1e-30f, -2.25f,
                                        7.0f, 3.5f,  -1e-30f, 1e30f,  -7.0f,  0.5f};
    TriangleList list;
    for (int i = 0; i < 5000; ++i) {
        TTrojkat t;
        t.a.z =
            heights[static_cast<size_t>(i * 7919 % 12)] + (i % 3 == 0 ? 0.0f : 0.125f * (i % 5));
        t.a.x = static_cast<float>(i); // identifies the record
        t.b.z = t.c.z = 1e31f;
        list.push_back(t);
    }
    TriangleList sorted = list;
    sortByLowestZ(sorted);
    ASSERT_EQ(sorted.size(), list.size());
    std::vector<bool> seen(list.size());
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (i) {
            EXPECT_LE(sorted[i - 1].a.z, sorted[i].a.z) << i;
        }
        const auto id = static_cast<size_t>(sorted[i].a.x);
        ASSERT_LT(id, list.size());
        EXPECT_FALSE(seen[id]);
        seen[id] = true;
        EXPECT_EQ(sorted[i].a.z, list[id].a.z);
    }
    TriangleList one(1), none;
    sortByLowestZ(one);
    sortByLowestZ(none);
    EXPECT_EQ(one.size(), 1u);
}
