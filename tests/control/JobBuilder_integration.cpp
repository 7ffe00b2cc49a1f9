// Building job files through the control unit: the record count and size it
// reports, and every failure with its message, leaving an older job file as it
// was.
#include "JobFixture.h"

#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/RecordLengths.h"
#include "machine/Usb.h"

namespace korvane::test {
namespace {

// The number of records of a job file, split by the record-length table.
long long recordCount(const std::string& job) {
    long long count = 0;
    for (std::size_t at = 0; at < job.size(); ++count)
        at += static_cast<std::size_t>(recordLength(static_cast<std::uint8_t>(job[at])));
    return count;
}

TEST_F(ControlEndToEnd, ReportsTheRecordsAndBytesWritten) {
    for (const auto& [figure, point] : {std::pair<std::size_t, std::size_t>{0, 0}, {1, 3}}) {
        const JobBuildResult r = buildJob(request("out.bin", figure, point));
        ASSERT_TRUE(r.ok()) << r.message;
        EXPECT_EQ(r.modelCode, "XSE100");
        const std::string job = readFile(dir / "out.bin");
        EXPECT_EQ(r.bytes, static_cast<long long>(job.size()));
        EXPECT_EQ(r.records, recordCount(job));
    }
    // Nothing but the output file and the job file in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator{}),
              2);
}

TEST_F(ControlEndToEnd, FailuresSayWhyAndKeepTheOlderJob) {
    writeFile(dir / "out.bin", "older job");
    auto fails = [&](JobRequest r, JobBuildFailure failure, const std::string& message) {
        const JobBuildResult result = buildJob(r);
        EXPECT_EQ(result.failure, failure) << result.message;
        EXPECT_EQ(result.message, message);
        EXPECT_EQ(readFile(dir / "out.bin"), "older job");
    };
    fails(request("out.bin", 2, 0), JobBuildFailure::startOutside,
          "start figure 2 beyond the last figure 1");
    fails(request("out.bin", 1, 4), JobBuildFailure::startOutside,
          "start point 4 beyond the last point of figure 1 (3)");

    JobRequest missing = request("out.bin");
    missing.outputFile = dir / "none.out";
    fails(missing, JobBuildFailure::missingOutput, (dir / "none.out").string() + ": no such file");

    writeFile(dir / "bad.out", "Operation type=3\r\nObject0\r\nTransfer Z=x\r\n");
    JobRequest bad = request("out.bin");
    bad.outputFile = dir / "bad.out";
    EXPECT_EQ(buildJob(bad).failure, JobBuildFailure::unreadableOutput);

    writeFile(dir / "empty.out", "Operation type=3\r\n");
    JobRequest empty = request("out.bin");
    empty.outputFile = dir / "empty.out";
    fails(empty, JobBuildFailure::noFigures, "no figures in " + (dir / "empty.out").string());

    // Paths up to 3 mm and the margin of 1 mm of an identified machine.
    FigureList high;
    high.push_back(jobTestFigure({{0, 0, 3}, {5, 0, 3}}));
    writeOutputFile(dir / "high.out", opHatching, high);
    JobRequest low = request("out.bin");
    low.outputFile = dir / "high.out";
    low.safeHeight = 3.5;
    fails(low, JobBuildFailure::belowPaths, "the safe height of 3.5 mm is below the paths (4 mm)");
    low.safeHeight = 4;
    EXPECT_TRUE(buildJob(low).ok());
    writeFile(dir / "out.bin", "older job");

    // The classic controller of the XSE100 has no 32-bit speeds for printing.
    settings.printer3D = true;
    const JobBuildResult printing = buildJob(request("out.bin"));
    EXPECT_EQ(printing.failure, JobBuildFailure::writeFailed);
    EXPECT_EQ(printing.message.rfind((dir / "out.bin").string() + ": ", 0), 0u) << printing.message;
    EXPECT_EQ(readFile(dir / "out.bin"), "older job");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(ControlEndToEnd, SubstrateAndStartPointReachTheJob) {
    // The XSE100 moves 300 steps per mm: a substrate of 2 mm puts the
    // approach over the first point 600 steps higher.
    const auto dz = [](const std::string& move) {
        const long long v = static_cast<unsigned char>(move[11]) |
                            static_cast<unsigned char>(move[12]) << 8 |
                            static_cast<unsigned char>(move[13]) << 16;
        return move[1] & 4 ? -v : v;
    };
    const auto split = [](const std::string& job) {
        std::vector<std::string> out;
        for (std::size_t at = 0; at < job.size();) {
            const auto length =
                static_cast<std::size_t>(recordLength(static_cast<std::uint8_t>(job[at])));
            out.push_back(job.substr(at, length));
            at += length;
        }
        return out;
    };
    const JobBuildResult plain = buildJob(request("plain.bin"));
    JobRequest raised = request("raised.bin");
    raised.gruboscPodkladki = 2;
    const JobBuildResult lifted = buildJob(raised);
    ASSERT_TRUE(plain.ok() && lifted.ok()) << plain.message << lifted.message;
    const auto p = split(readFile(dir / "plain.bin"));
    const auto l = split(readFile(dir / "raised.bin"));
    ASSERT_FALSE(plain.marks.empty());
    const auto approach = static_cast<std::size_t>(plain.marks[0].record) - 5;
    ASSERT_EQ(p[approach][0], 'a');
    EXPECT_EQ(dz(l[approach]) - dz(p[approach]), 600);

    // The substrate raises the paths the safe height must clear: z -1 + 12 + 1.
    raised.gruboscPodkladki = 12;
    const JobBuildResult below = buildJob(raised);
    EXPECT_EQ(below.failure, JobBuildFailure::belowPaths);
    EXPECT_EQ(below.message, "the safe height of 10 mm is below the paths (12 mm)");

    // A job resumed at figure 1, point 3: its points are named as in the file.
    const JobBuildResult resumed = buildJob(request("resumed.bin", 1, 3));
    ASSERT_TRUE(resumed.ok()) << resumed.message;
    ASSERT_EQ(resumed.marks.size(), 1u);
    EXPECT_EQ(resumed.marks[0].at.figure, 1u);
    EXPECT_EQ(resumed.marks[0].at.point, 3u);
}

TEST_F(ControlEndToEnd, PrintJobHeatsTheHeadToTheOperationsTemperature) {
    sim::SimConfig c;
    c.product = "GPR-0100";
    c.heatingRate = 0;
    auto printer = std::make_shared<sim::SimMachine>(c);
    usbLink = std::make_unique<TfUsb>(std::make_unique<sim::SimHidBackend>(printer));
    settings.printer3D = true;
    operation.tempRobocza = 205;
    JobRequest r = request("print.bin");
    r.machine = {"GPR-0100", {6, 12, 0}};
    const JobBuildResult built = buildJob(r);
    ASSERT_TRUE(built.ok()) << built.message;
    // The machine holds the "s3t" record; run, it sets the head's temperature.
    EXPECT_EQ(printer->snapshot().buffered, 1u);
    EXPECT_EQ(SendCommand("G"), 0);
    EXPECT_FLOAT_EQ(printer->snapshot().headSetTemperature, 205);
    EXPECT_FLOAT_EQ(headTemperatureSet[0], 205);
    usbLink.reset();
}

} // namespace
} // namespace korvane::test
