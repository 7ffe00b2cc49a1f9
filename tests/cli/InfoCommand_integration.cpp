// korvane3d-cli info: a fresh data folder, and an older settings file converted.
#include "RunProgram.h"
#include "TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace korvane;

TEST(CliInfo, CreatesTheDataFolderAndReportsIt) {
    test::TempDir dir;
    const auto data = dir / "some" / "new" / "folder";
    auto r = test::runBuiltProgram("korvane3d-cli", {"dataDir=" + data.string(), "info", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_directory(data / "Projects"));
    EXPECT_NE(r.out.find("\"dataFolder\": \"" + data.string() + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Projects\""), std::string::npos);
    EXPECT_NE(r.out.find("\"rozdzielczosc\": 5"), std::string::npos);
    EXPECT_NE(r.out.find("\"language\": \"US\""), std::string::npos);

    auto pl = test::runBuiltProgram("korvane3d-cli", {"PL", "dataDir=" + data.string(), "info"});
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
                                   {"dataDir=" + data.path().string(), "info", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::filesystem::file_size(data / "Konfig.cfg"), 368u);
    EXPECT_NE(r.out.find("\"rozdzielczosc\": 8"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"plikProjektu\": \"a/b\""), std::string::npos);
    EXPECT_NE(r.out.find("\"netSendOdbiorca\": \"HOST\""), std::string::npos);
    EXPECT_NE(r.out.find("\"adresIP\": \"10.1.2.3\""), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(data / "Output" / "b"));
}

TEST(CliInfo, UnknownCommandShowsUsage) {
    auto r = test::runBuiltProgram("korvane3d-cli", {"frobnicate"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("usage: korvane3d-cli"), std::string::npos);
    EXPECT_NE(r.err.find("info [--json]"), std::string::npos);
}
