#include "TestSupport.h"
#include "foundation/Messages.h"
#include "foundation/State.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace korvane {
namespace {

// The report and the machining log are written into the data folder only:
// without one they are refused, never written into the working directory.
TEST(ReportFiles, RefusedWithoutDataFolder) {
    test::TempDir work;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    loggerOn = true;
    dataFolder.clear();
    EXPECT_FALSE(writeReportLine("Start"));
    EXPECT_FALSE(writeLogValue("Korvane3D", "start", "1"));
    EXPECT_TRUE(std::filesystem::is_empty(work.path()));
    std::filesystem::current_path(previous);

    dataFolder = work.path();
    EXPECT_TRUE(writeReportLine("Start"));
    EXPECT_TRUE(writeLogValue("Korvane3D", "start", "1"));
    EXPECT_TRUE(std::filesystem::exists(work / "Raport.txt"));
    EXPECT_EQ(test::readFile(work / "Korvane3D.log"), "[Korvane3D]\r\nstart=1\r\n");
}

} // namespace
} // namespace korvane
