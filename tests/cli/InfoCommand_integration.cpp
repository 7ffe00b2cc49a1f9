// korvane3d-cli info: a fresh data folder, and an older settings file converted.
#include "RunProgram.h"
#include "TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace korvane;

TEST(CliInfo, CreatesTheDataFolderAndReportsIt) {
    test::TempDir dir;
    const auto data = dir / "some" / "new" / "folder";
    auto r = test::runBuiltProgram("korvane3d-cli",
                                   {"dataDir='" + data.string() + "'", "info", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_directory(data / "Projects"));
    EXPECT_NE(r.out.find("\"dataFolder\": \"" + data.string() + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Projects\""), std::string::npos);
    EXPECT_NE(r.out.find("\"rozdzielczosc\": 5"), std::string::npos);
    EXPECT_NE(r.out.find("\"language\": \"US\""), std::string::npos);

    auto pl =
        test::runBuiltProgram("korvane3d-cli", {"PL", "dataDir='" + data.string() + "'", "info"});
    ASSERT_EQ(pl.exitCode, 0) << pl.err;
    EXPECT_NE(pl.out.find("PL (country 48)"), std::string::npos) << pl.out;
}

TEST(CliInfo, OldSettingsFileIsReplacedByTheCurrentOne) {
    test::TempDir data;
    std::string old(376, '\0');
    const double resolution = 8;
    std::memcpy(&old[264], &resolution, 8);
    old[4] = 3;
    std::memcpy(&old[5], "a/b", 3);
    old[339] = 4;
    std::memcpy(&old[340], "HOST", 4);
    std::memcpy(&old[371], "\x0A\x01\x02\x03", 4);
    test::writeFile(data / "Konfig.cfg", old);

    auto r = test::runBuiltProgram("korvane3d-cli",
                                   {"dataDir='" + data.path().string() + "'", "info", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::filesystem::file_size(data / "Konfig.cfg"), 368u);
    EXPECT_NE(r.out.find("\"rozdzielczosc\": 8"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"plikProjektu\": \"a/b\""), std::string::npos);
    EXPECT_NE(r.out.find("\"netSendOdbiorca\": \"HOST\""), std::string::npos);
    EXPECT_NE(r.out.find("\"adresIP\": \"10.1.2.3\""), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(data / "Output" / "b"));
}

TEST(CliInfo, EverySettingAndTheSurfacingFractionInBothForms) {
    test::TempDir data;
    const std::string dir = "dataDir='" + data.path().string() + "'";
    auto json =
        test::runBuiltProgram("korvane3d-cli", {dir, "SurfacingPercent='2,5'", "info", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NE(json.out.find("\"rightToLeft\": false, \"surfacingFraction\": 0.025, \"settings\": "
                            "{\"jednostkaMiary\": 0, \"plikProjektu\": \"\", \"rozdzielczosc\": 5, "
                            "\"modelKolor\": 0, \"modelSposobKreslenia\": 0, \"modelPolysk\": 0, "
                            "\"ukladWsp\": false, \"plytkaPomGrubosc\": 15.1, "
                            "\"plytkaPomPolozenie\": 0, \"zarezerwowane\": \"" +
                            std::string(56, '0') +
                            "\", \"powiadomKoniecGenWy\": false, \"powiadomKoniecObrobki\": false, "
                            "\"netSendOdbiorca\": \"\", \"sprzegNawigacyjny\": true, "
                            "\"adresIP\": \"0.0.0.0\", \"ethernetConnection\": false, "
                            "\"printer3D\": false}}\n"),
              std::string::npos)
        << json.out;

    auto text = test::runBuiltProgram("korvane3d-cli", {dir, "info"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("language:        US (country 1)\n"
                            "surfacing:       0.05\n"
                            "settings:\n"
                            "  jednostkaMiary         0\n"
                            "  plikProjektu           \n"
                            "  rozdzielczosc          5\n"
                            "  modelKolor             0\n"
                            "  modelSposobKreslenia   0\n"
                            "  modelPolysk            0\n"
                            "  ukladWsp               0\n"
                            "  plytkaPomGrubosc       15.1\n"
                            "  plytkaPomPolozenie     0\n"
                            "  zarezerwowane          " +
                            std::string(56, '0') +
                            "\n"
                            "  powiadomKoniecGenWy    0\n"
                            "  powiadomKoniecObrobki  0\n"
                            "  netSendOdbiorca        \n"
                            "  sprzegNawigacyjny      1\n"
                            "  adresIP                0.0.0.0\n"
                            "  ethernetConnection     0\n"
                            "  printer3D              0\n"),
              std::string::npos)
        << text.out;
}

TEST(CliInfo, UnknownCommandShowsUsage) {
    auto r = test::runBuiltProgram("korvane3d-cli", {"frobnicate"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("usage: korvane3d-cli"), std::string::npos);
    EXPECT_NE(r.err.find("info [--json]"), std::string::npos);
}
