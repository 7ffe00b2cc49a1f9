// korvane3d-cli tools, operations and project on a fresh data folder.
#include "RunProgram.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <regex>

using namespace korvane;

namespace {

// The values of one key in order of appearance.
std::vector<std::string> values(const std::string& json, const std::string& key) {
    std::vector<std::string> out;
    const std::regex pattern("\"" + key + "\": (\"[^\"]*\"|[^,}\\]]*)");
    for (std::sregex_iterator it(json.begin(), json.end(), pattern), end; it != end; ++it)
        out.push_back((*it)[1]);
    return out;
}

using Strings = std::vector<std::string>;

} // namespace

TEST(CliLibraries, FreshDataFolderListsTheDefaultLibrariesInOrder) {
    test::TempDir data;
    const std::string dir = "dataDir='" + data.path().string() + "'";
    auto tools = test::runBuiltProgram("korvane3d-cli", {dir, "tools", "--json"});
    ASSERT_EQ(tools.exitCode, 0) << tools.err;
    EXPECT_EQ(tools.out.front(), '[');
    EXPECT_EQ(values(tools.out, "nazwa"),
              (Strings{"\"Ball2\"", "\"Conical2\"", "\"Ball3\"", "\"EndSloting6\""}));
    EXPECT_NE(tools.out.find("{\"id\": \"{091B7CA7-59A0-4CF5-B281-7DC328BBEA71}\", \"nazwa\": "
                             "\"Conical2\", \"typ\": 2, \"d1\": 2, \"d2\": 4, \"d3\": 4, \"h\": 5, "
                             "\"hc\": 60}"),
              std::string::npos)
        << tools.out;

    auto ops = test::runBuiltProgram("korvane3d-cli", {dir, "operations", "--json"});
    ASSERT_EQ(ops.exitCode, 0) << ops.err;
    EXPECT_EQ(values(ops.out, "nazwa"),
              (Strings{"\"Roughing\"", "\"Layering\"", "\"Surfacing\"", "\"Lining\"",
                       "\"Lining_from_file\"", "\"Mixed\""}));
    EXPECT_EQ(values(ops.out, "idTyp"), (Strings{"0", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(values(ops.out, "obroty"), Strings(6, "18000"));
    EXPECT_EQ(values(ops.out, "plikPlt")[4], "\"C:\\\\PLT\\\\Tesmo.plt\"");
    EXPECT_EQ(values(ops.out, "opis").size(), 6u);
    EXPECT_EQ(values(ops.out, "poziomObrysu").size(), 6u);

    auto text = test::runBuiltProgram("korvane3d-cli", {dir, "operations"});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out.substr(0, 9), "Roughing\n");

    // A project with one operation that no longer exists.
    test::writeFile(data / "Projects" / "Wing.prj",
                    "[Model]\r\nplikModelu=/m/wing.stl\r\n\r\n[Material]\r\nmaterialZrodlo=1\r\n"
                    "materialGruboscPowloki=2.5\r\n\r\n[Proces]\r\nproces0=Lining\r\n"
                    "proces1=Gone\r\nproces2=mixed\r\n");
    auto prj = test::runBuiltProgram(
        "korvane3d-cli", {dir, "project", (data / "Projects" / "Wing.prj").string(), "--json"});
    ASSERT_EQ(prj.exitCode, 0) << prj.err;
    EXPECT_EQ(prj.out, "{\"plikModelu\": \"/m/wing.stl\", \"BMPwysBialego\": 0, "
                       "\"BMPwysCzarnego\": 0, \"BMPx\": 0, \"BMPy\": 0, \"material\": "
                       "{\"zrodlo\": 1, \"rozmX\": 0, \"rozmY\": 0, \"rozmZ\": 0, "
                       "\"plikMaterialu\": \"\", \"gruboscPowloki\": 2.5, \"gruboscPodkladki\": "
                       "0}, \"lProcesu\": [\"Lining\", \"mixed\"]}\n");

    auto missing = test::runBuiltProgram("korvane3d-cli", {dir, "project", "/no/such.prj"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("/no/such.prj"), std::string::npos);
}

TEST(CliLibraries, PolishDataFolderHasPolishNames) {
    test::TempDir data;
    auto tools = test::runBuiltProgram(
        "korvane3d-cli", {"PL", "dataDir='" + data.path().string() + "'", "tools", "--json"});
    ASSERT_EQ(tools.exitCode, 0) << tools.err;
    EXPECT_EQ(values(tools.out, "nazwa"),
              (Strings{"\"Kulowy2\"", "\"Stożkowy2\"", "\"Kulowy3\"", "\"Palcowy6\""}));
    auto ops = test::runBuiltProgram(
        "korvane3d-cli", {"PL", "dataDir='" + data.path().string() + "'", "operations", "--json"});
    EXPECT_EQ(values(ops.out, "nazwa")[2], "\"Płaszczyznowa\"");
}
