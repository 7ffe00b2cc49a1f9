// korvane3d-cli model: every format loaded as the program loads it, the unit of
// the settings, and empty or missing models.
#include "../import/DxfFiles.h"
#include "../import/MeshFiles.h"
#include "RunProgram.h"
#include "TestSupport.h"

#include "foundation/Settings.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

test::ProgramResult model(const test::TempDir& data, const std::filesystem::path& file,
                          bool json = true) {
    std::vector<std::string> args = {"dataDir='" + data.path().string() + "'", "model",
                                     file.string()};
    if (json) args.push_back("--json");
    return test::runBuiltProgram("korvane3d-cli", args);
}

} // namespace

TEST(CliModel, StlInBothFormsAndAnyExtensionCase) {
    test::TempDir dir;
    const auto mesh = test::pyramid(40, 20, -5, 12.5f, 3);
    test::writeFile(dir / "b.STL", test::binaryStl(mesh, "solid but binary"));
    test::writeFile(dir / "t.stl", test::textStl(mesh));
    for (const char* name : {"b.STL", "t.stl"}) {
        auto r = model(dir, dir / name);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "{\"file\": \"" + (dir / name).string() +
                             "\", \"triangles\": 6, \"minX\": 0, \"minY\": 0, \"minZ\": 3, "
                             "\"maxX\": 40, \"maxY\": 40, \"maxZ\": 23, \"size\": [40, 40, 23]}\n");
    }
    auto text = model(dir, dir / "t.stl", false);
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out, "file:       " + (dir / "t.stl").string() +
                            "\ntriangles:  6\n"
                            "min x y z:  0 0 3\n"
                            "max x y z:  40 40 23\n"
                            "size:       40 40 23\n");
}

TEST(CliModel, RawAndDxfAndTheShippedSample) {
    test::TempDir dir;
    test::writeFile(dir / "m.raw", "10 20 5 30 20 5 10 40 7\r\n0 0 -1 0 0 -1 0 0 -1 0 0 -1\r\n");
    auto r = model(dir, dir / "m.raw");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"triangles\": 3, \"minX\": 0, \"minY\": 0, \"minZ\": -1, \"maxX\": 30, "
                         "\"maxY\": 40, \"maxZ\": 7, \"size\": [30, 40, 7]"),
              std::string::npos)
        << r.out;

    test::writeFile(
        dir / "d.dxf",
        test::drawing(
            test::insert("B", {{"10", "100"}, {"20", "0"}, {"30", "0"}}),
            test::block("B",
                        test::face3d({{0, 0, 0}, {2.5, 0, 0}, {2.5, 1.5, 0.75}, {0, 1.5, 0.75}}))));
    r = model(dir, dir / "d.dxf");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"triangles\": 2, \"minX\": 0, \"minY\": 0, \"minZ\": 0, \"maxX\": 2.5, "
                         "\"maxY\": 1.5, \"maxZ\": 0.75, \"size\": [2.5, 1.5, 0.75]"),
              std::string::npos)
        << r.out;

    r = model(dir, std::filesystem::path(KORVANE_SOURCE_DIR) / "samples" / "Pyramid.stl");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"triangles\": 6"), std::string::npos) << r.out;
}

TEST(CliModel, UnitOfTheSettingsApplies) {
    test::TempDir dir;
    TUstawienia s;
    applySettingsDefaults(s);
    s.jednostkaMiary = 1; // inch
    const auto bytes = encodeSettings(s);
    test::writeFile(dir / "Konfig.cfg", std::string(bytes.begin(), bytes.end()));
    test::writeFile(dir / "i.raw", "0 0 0 1 0 0 0 2 0.5\n");
    auto r = model(dir, dir / "i.raw");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"maxX\": 25.399999618530273, \"maxY\": 50.79999923706055, "
                         "\"maxZ\": 12.699999809265137"),
              std::string::npos)
        << r.out;
}

TEST(CliModel, EmptyAndMissingModelsFail) {
    test::TempDir dir;
    test::writeFile(dir / "e.raw", "no triangles here\n");
    test::writeFile(dir / "e.txt", "1 2 3 4 5 6 7 8 9\n");
    test::writeFile(dir / "cut.stl", std::string(83, 'x'));
    for (const char* name : {"e.raw", "e.txt", "cut.stl"}) {
        auto r = model(dir, dir / name);
        EXPECT_EQ(r.exitCode, 1) << name;
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find("The file holds no triangles: the model is empty."), std::string::npos)
            << r.err;
    }
    test::writeFile(dir / "bad.dxf", test::drawing(test::insert("NOWHERE")));
    auto bad = model(dir, dir / "bad.dxf");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("unknown block \"NOWHERE\""), std::string::npos) << bad.err;
    // The reason once, and not that the file holds nothing.
    EXPECT_EQ(bad.err.find("unknown block"), bad.err.rfind("unknown block")) << bad.err;
    EXPECT_EQ(bad.err.find("holds no triangles"), std::string::npos) << bad.err;

    auto missing = model(dir, dir / "nothing.stl");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("File not found:"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find((dir / "nothing.stl").string()), std::string::npos);

    auto usage = test::runBuiltProgram("korvane3d-cli", {"model"});
    EXPECT_EQ(usage.exitCode, 2);
}
