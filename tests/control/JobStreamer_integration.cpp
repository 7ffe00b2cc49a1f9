// Streaming through the control unit to the simulated machine in process: a
// job resumed at a point of its second figure runs to its end, checked against
// the simulator's trace; a machine preparation that fails sends nothing; a
// drive error while the job runs, or a wrong echo over the network, stops it
// on the machine; a job that takes longer to send than the timeout is no lost
// connection while the machine takes its records.
#include "JobFixture.h"
#include "MachineTrace.h"
#include "SimServer.h"

#include "machine/MachineState.h"

namespace korvane::test {
namespace {

const std::chrono::seconds generous{60};

TEST_F(ControlEndToEnd, ResumedJobRunsFromItsStartPointToTheEnd) {
    const JobBuildResult whole = buildJob(request("whole.bin"));
    const JobBuildResult resumed = buildJob(request("resumed.bin", 1, 2));
    ASSERT_TRUE(whole.ok()) << whole.message;
    ASSERT_TRUE(resumed.ok()) << resumed.message;
    EXPECT_LT(resumed.records, whole.records);

    const auto m = machine("resumed.trace");
    long long lastReported = -1;
    bool allSentReported = false;
    const StreamOutcome outcome = stream(m, "resumed.bin", generous, [&](const StreamProgress& p) {
        EXPECT_GE(p.records, lastReported);
        lastReported = p.records;
        allSentReported = allSentReported || p.allSent;
    });
    ASSERT_TRUE(outcome.ok()) << outcome.text;
    EXPECT_EQ(outcome.text, "done");
    EXPECT_EQ(outcome.records, resumed.records);
    EXPECT_TRUE(allSentReported);
    EXPECT_EQ(lastReported, resumed.records);
    // Back over the work origin at the safe height of 10 mm.
    ASSERT_TRUE(outcome.position);
    EXPECT_NEAR(outcome.position->x, 0, 0.01);
    EXPECT_NEAR(outcome.position->y, 0, 0.01);
    EXPECT_NEAR(outcome.position->z, 10, 0.01);

    // Job moves in absolute steps: the work origin lies at (50, 50) mm and
    // 100 mm below the top, i.e. x 15000, y 15000, z -30000.
    m->flushTrace();
    const auto points = readTrace(dir / "resumed.trace");
    // Below the work origin the tool only goes down over (40, 40) and along
    // to (30, 40): nothing of the first figure, nothing of the points before
    // the start point.
    std::vector<TracePoint> cuts; // 2 mm deep
    for (const TracePoint& p : points) {
        if (p.source != 'a' || p.z >= -30000) continue;
        EXPECT_EQ(p.y, 27000) << p.x << " " << p.z;
        EXPECT_TRUE(p.x >= 24000 && p.x <= 27000) << p.x;
        if (p.z == -30600) cuts.push_back(p);
    }
    ASSERT_FALSE(cuts.empty());
    EXPECT_EQ(cuts.front(), (TracePoint{'a', 27000, 27000, -30600}));
    EXPECT_EQ(cuts.back(), (TracePoint{'a', 24000, 27000, -30600}));
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.back(), (TracePoint{'a', 15000, 15000, -27000}));
}

TEST_F(ControlEndToEnd, PreparationFailureSendsNoRecord) {
    ASSERT_TRUE(buildJob(request("out.bin")).ok());
    const auto m = machine();
    m->setFaults([](sim::SimFaults& f) { f.busyForever = true; });
    // The timeout limits each wait for the machine to settle.
    const StreamOutcome outcome = stream(m, "out.bin", std::chrono::seconds(2));
    EXPECT_EQ(outcome.result, StreamResult::notAtStartPoint);
    EXPECT_EQ(outcome.text, "not at the start point");
    EXPECT_EQ(outcome.records, 0);
    const auto s = m->snapshot();
    EXPECT_EQ(s.buffered, 0u);
    EXPECT_EQ(s.executedRecords, 0);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "No communication with the machine.");
}

TEST_F(ControlEndToEnd, DriveErrorStopsTheJobOnTheMachine) {
    ASSERT_TRUE(buildJob(request("out.bin")).ok());
    const auto m = machine();
    bool raised = false;
    const StreamOutcome outcome = stream(m, "out.bin", generous, [&](const StreamProgress& p) {
        if (!raised && p.records >= 17) {
            m->driveError(3, 5);
            raised = true;
        }
    });
    EXPECT_EQ(outcome.result, StreamResult::driveError);
    EXPECT_EQ(outcome.text, "drive error 3 X Z ");
    EXPECT_EQ(m->snapshot().status & stateJobRunning, 0u);
}

TEST_F(ControlEndToEnd, MissingJobFileLeavesTheMachineAlone) {
    const auto m = machine();
    const StreamOutcome outcome = stream(m, "none.bin", generous);
    EXPECT_EQ(outcome.result, StreamResult::cannotOpen);
    EXPECT_EQ(outcome.text, "cannot open " + (dir / "none.bin").string());
    EXPECT_EQ(m->snapshot().position, (std::array<long long, 4>{0, 0, 0, 0}));
}

TEST_F(ControlEndToEnd, WrongEchoOverTheNetworkStopsTheMachine) {
    ASSERT_TRUE(buildJob(request("out.bin")).ok());
    const auto m = machine();
    sim::SimServer server(m, sim::SimPorts{0, 0, 0, false});
    // The 20th record is echoed wrongly: the machine runs the job by then.
    long long sent = 0;
    MachineLink link;
    auto unplugged = std::make_unique<sim::SimHidBackend>(machine());
    unplugged->setPlugged(false);
    link.usb = std::move(unplugged);
    link.host = "127.0.0.1";
    link.ports = {server.commandPort(), server.infoPort()};
    StreamRequest r;
    r.jobFile = dir / "out.bin";
    r.operation = operation;
    r.progress = [&](const StreamProgress& p) {
        if (sent == 0 && p.records >= 17)
            m->setFaults([](sim::SimFaults& f) { f.wrongEchoIn = 2; });
        sent = p.records;
    };
    const StreamOutcome outcome = streamJob(std::move(link), r);
    EXPECT_EQ(outcome.result, StreamResult::echoMismatch);
    EXPECT_EQ(outcome.text, "echo mismatch (103)");
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "The machine echoed a record wrongly: it may hold a damaged "
                                       "record, so nothing more is sent and the machine is "
                                       "stopped.");
    EXPECT_EQ(ui.messages.back().caption, "103");
    const auto s = m->snapshot();
    EXPECT_EQ(s.status & stateJobRunning, 0u);
    EXPECT_GT(s.executedRecords, 0);
}

TEST_F(ControlEndToEnd, JobLongerThanTheTimeoutIsNoLostConnection) {
    // Ten rows of twenty points 1 mm apart: 200 mm at 1000 mm/min, 6 s at
    // twice the machine's speed; its buffer full from 36 records on, so the
    // records go out as the machine works, for longer than the timeout of 2 s.
    FigureList figures;
    std::vector<TrPkt3D> rows;
    for (int row = 0; row < 10; ++row)
        for (int i = 0; i < 20; ++i)
            rows.push_back({float(10 + (row % 2 ? 19 - i : i)), float(10 + row), -1});
    figures.push_back(jobTestFigure(std::move(rows)));
    writeOutputFile(dir / "Cut.out", opHatching, figures);
    const JobBuildResult built = buildJob(request("long.bin"));
    ASSERT_TRUE(built.ok()) << built.message;
    sim::SimConfig c;
    c.product = jobTestProduct;
    c.timeScale = 2;
    c.bufferCapacity = 100;
    const auto m = std::make_shared<sim::SimMachine>(c);
    const auto begin = std::chrono::steady_clock::now();
    const StreamOutcome outcome = stream(m, "long.bin", std::chrono::seconds(2));
    EXPECT_EQ(outcome.text, "done");
    EXPECT_EQ(outcome.records, built.records);
    EXPECT_GT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(3));
}

} // namespace
} // namespace korvane::test
