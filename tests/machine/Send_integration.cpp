// End to end: the sample project's hatching output -> job file -> the
// simulator, over TCP (the simulator program) and over the simulated USB link
// (in the batch program), checked against the simulator's trace of moves.
#include "MachineTestSupport.h"
#include "MachineTrace.h"
#include "RunProgram.h"
#include "SimulatorProgram.h"

#include "foundation/Rounding.h"
#include "output/DaneWyjsciowe.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace korvane::test {
namespace {

const std::string exe = KORVANE_EXE_DIR;

// A run of the batch program: its exit code, its standard output (the JSON)
// and its standard error.
ProgramResult cli(const std::vector<std::string>& args) {
    return runBuiltProgram("korvane3d-cli", args);
}

std::string jsonField(const std::string& json, const std::string& name) {
    std::smatch m;
    if (std::regex_search(json, m, std::regex("\"" + name + "\": *(\"[^\"]*\"|[-0-9.eE+]+)"))) {
        std::string v = m[1];
        return v.front() == '"' ? v.substr(1, v.size() - 2) : v;
    }
    return {};
}

class SendEndToEnd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        data = new TempDir;
        const ProgramResult g = cli({"dataDir='" + data->path().string() + "'", "generate",
                                     "--project", exe + "/Samples/Relief.prj", "--json"});
        ASSERT_EQ(g.exitCode, 0) << g.out << g.err;
        outputFile = jsonField(g.out, "output");
        ASSERT_FALSE(outputFile.empty()) << g.out;
        const ProgramResult j = cli({"dataDir='" + data->path().string() + "'", "job", outputFile,
                                     "--operation", "Lining", "--machine", "XKC-3020", "--firmware",
                                     "5.9.0", "-o", (data->path() / "out.bin").string(), "--json"});
        ASSERT_EQ(j.exitCode, 0) << j.out << j.err;
        records = std::stoll(jsonField(j.out, "records"));
        EXPECT_EQ(std::stoll(jsonField(j.out, "bytes")),
                  static_cast<long long>(std::filesystem::file_size(data->path() / "out.bin")));
    }
    static void TearDownTestSuite() { delete data; }

    void SetUp() override {
        resetState(ui);
        resetMachine();
    }

    // Every point of the output file from figure `figure`, point `point` on, in
    // order, among the job's moves of the trace after its first `skip` lines,
    // each within one step; the machine ends at the work origin at the safe
    // height.
    void checkTrace(const std::filesystem::path& trace, std::size_t skip = 0,
                    std::size_t figure = 0, std::size_t point = 0) {
        tWy reader;
        reader.wczytajPlik(outputFile, -1);
        const TMachineParams& p = machineParams; // XKC-3020, as the job was written for
        auto points = readTrace(trace);
        ASSERT_GT(points.size(), skip);
        points.erase(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(skip));
        const long long ox = roundHalfEven(50 * 100 * p.stepsX),
                        oy = roundHalfEven(50 * 100 * p.stepsY),
                        oz = roundHalfEven(100 * 100 * p.stepsZ);
        std::size_t at = 0, visited = 0;
        for (std::size_t f = figure; f < reader.ListaFigur.size(); ++f) {
            const auto& poz = reader.ListaFigur[f]->poz;
            for (std::size_t i = f == figure ? point : 0; i < poz.size(); ++i) {
                const TrPkt3D& q = poz[i];
                const long long x = ox + roundHalfEven(q.x * 100 * p.stepsX);
                const long long y = oy + roundHalfEven(q.y * 100 * p.stepsY);
                const long long z = roundHalfEven(q.z * 100 * p.stepsZ) - oz;
                while (at < points.size() &&
                       !(points[at].source == 'a' && std::llabs(points[at].x - x) <= 1 &&
                         std::llabs(points[at].y - y) <= 1 && std::llabs(points[at].z - z) <= 1))
                    ++at;
                ASSERT_LT(at, points.size()) << "point " << visited << " (" << q.x << ", " << q.y
                                             << ", " << q.z << ") not reached in order";
                ++visited;
            }
        }
        const TracePoint& last = points.back();
        EXPECT_LE(std::llabs(last.x - ox), 1);
        EXPECT_LE(std::llabs(last.y - oy), 1);
        EXPECT_LE(std::llabs(last.z - (roundHalfEven(10 * 100 * p.stepsZ) - oz)), 1);
    }

    RecordingUserInterface ui;
    static TempDir* data;
    static std::string outputFile;
    static long long records;
};

TempDir* SendEndToEnd::data = nullptr;
std::string SendEndToEnd::outputFile;
long long SendEndToEnd::records = 0;

// The simulated XKC-3020 with firmware 5.9.0 at a thousand times its speed,
// tracing to `trace`; its ports as the command line takes them.
struct Simulator : SimulatorProgram {
    explicit Simulator(const std::filesystem::path& trace)
        : SimulatorProgram({"--product", "XKC-3020", "--firmware", "5.9.0", "--time-scale", "1000",
                            "--trace", trace.string()}),
          command(std::to_string(ports.command)), info(std::to_string(ports.info)) {}
    std::string command, info;
};

TEST_F(SendEndToEnd, OverTcpToTheSimulatorProgram) {
    const auto trace = data->path() / "tcp.trace";
    Simulator sim(trace);
    ASSERT_NE(sim.ports.command, 0);
    const ProgramResult s =
        cli({"dataDir='" + data->path().string() + "'", "send", (data->path() / "out.bin").string(),
             "--host", "127.0.0.1", "--port", sim.command, "--info-port", sim.info, "--json"});
    ASSERT_EQ(s.exitCode, 0) << s.out << s.err;
    EXPECT_EQ(jsonField(s.out, "result"), "done");
    EXPECT_EQ(std::stoll(jsonField(s.out, "records")), records);
    EXPECT_NEAR(std::stod(jsonField(s.out, "z")), 10, 0.02);
    EXPECT_NEAR(std::stod(jsonField(s.out, "x")), 0, 0.02);
    EXPECT_EQ(sim.ask("flush"), "ok");
    plotstate.info1 = "XKC-3020";
    IdentifyMachine();
    checkTrace(trace);
}

TEST_F(SendEndToEnd, OverTheSimulatedUsbLink) {
    const auto trace = data->path() / "usb.trace";
    const ProgramResult s =
        cli({"dataDir='" + data->path().string() + "'", "send", (data->path() / "out.bin").string(),
             "--sim", "--machine", "XKC-3020", "--firmware", "5.9.0", "--time-scale", "1000",
             "--trace", trace.string(), "--json"});
    ASSERT_EQ(s.exitCode, 0) << s.out << s.err;
    EXPECT_EQ(jsonField(s.out, "result"), "done");
    plotstate.info1 = "XKC-3020";
    IdentifyMachine();
    checkTrace(trace);
}

// The records the simulated machine has taken: executed and still buffered.
long long recordsTaken(const std::string& status) {
    std::smatch m;
    if (!std::regex_search(status, m, std::regex("buffered (\\d+) executed (\\d+)"))) return -1;
    return std::stoll(m[1]) + std::stoll(m[2]);
}

TEST_F(SendEndToEnd, DroppedConnectionEndsTheJobWithoutSendingARecordTwice) {
    // The connection drops before a record reaches the machine: the program
    // cannot tell, so the record is not sent again and the machine is stopped.
    Simulator sim(data->path() / "drop.trace");
    EXPECT_EQ(sim.ask("drop-after " + std::to_string(std::min<long long>(records / 2, 3000))),
              "ok");
    const ProgramResult s =
        cli({"dataDir='" + data->path().string() + "'", "send", (data->path() / "out.bin").string(),
             "--host", "127.0.0.1", "--port", sim.command, "--info-port", sim.info, "--json"});
    EXPECT_EQ(s.exitCode, 1) << s.out << s.err;
    const std::string confirmed = jsonField(s.out, "confirmed");
    ASSERT_FALSE(confirmed.empty()) << s.out;
    EXPECT_EQ(jsonField(s.out, "result"), "echo lost (101) after record " + confirmed);
    EXPECT_EQ(recordsTaken(sim.ask("status")), std::stoll(confirmed));
    EXPECT_EQ(jsonField(s.out, "figure"), ""); // a job file alone names no point
}

TEST_F(SendEndToEnd, LostEchoNamesThePointWhereTheToolStandsAndSendGoesOnFromIt) {
    // The machine takes a record and the connection drops before its echo.
    const auto trace = data->path() / "lost.trace";
    Simulator sim(trace);
    EXPECT_EQ(sim.ask("drop-echo " + std::to_string(std::min<long long>(records / 2, 1500))), "ok");
    const ProgramResult s =
        cli({"dataDir='" + data->path().string() + "'", "send", outputFile, "--host", "127.0.0.1",
             "--port", sim.command, "--info-port", sim.info, "--json"});
    EXPECT_EQ(s.exitCode, 1) << s.out << s.err;
    const std::string confirmed = jsonField(s.out, "confirmed");
    ASSERT_FALSE(confirmed.empty()) << s.out;
    EXPECT_EQ(recordsTaken(sim.ask("status")), std::stoll(confirmed) + 1); // taken once
    const std::string figure = jsonField(s.out, "figure"), point = jsonField(s.out, "point");
    ASSERT_FALSE(figure.empty()) << s.out;
    ASSERT_FALSE(point.empty()) << s.out;
    sim.ask("flush");
    const auto firstRun = readTrace(trace);
    ASSERT_FALSE(firstRun.empty());

    // The point named is where the tool stands: the last move of the run
    // reached it, so going on from it cuts nothing twice and leaves nothing out.
    tWy reader;
    reader.wczytajPlik(outputFile, -1);
    const TrPkt3D& q = reader.ListaFigur[std::stoul(figure)]->poz[std::stoul(point)];
    EXPECT_NEAR(std::stod(jsonField(s.out, "x")), q.x, 0.01) << s.out;
    EXPECT_NEAR(std::stod(jsonField(s.out, "y")), q.y, 0.01) << s.out;
    plotstate.info1 = "XKC-3020";
    IdentifyMachine();
    const TMachineParams& p = machineParams;
    auto lastMove = std::find_if(firstRun.rbegin(), firstRun.rend(),
                                 [](const TracePoint& t) { return t.source == 'a'; });
    ASSERT_NE(lastMove, firstRun.rend());
    EXPECT_LE(std::llabs(lastMove->x - roundHalfEven((50 + q.x) * 100 * p.stepsX)), 1);
    EXPECT_LE(std::llabs(lastMove->y - roundHalfEven((50 + q.y) * 100 * p.stepsY)), 1);

    // send goes on from that point.
    const ProgramResult told = cli({"dataDir='" + data->path().string() + "'", "send", outputFile,
                                    "--host", "127.0.0.1", "--port", sim.command, "--info-port",
                                    sim.info, "--start-figure", figure, "--start-point", point});
    ASSERT_EQ(told.exitCode, 0) << told.out << told.err;
    sim.ask("flush");
    checkTrace(trace, firstRun.size(), std::stoul(figure), std::stoul(point));
}

TEST_F(SendEndToEnd, StartPointGoesWithAnOutputFile) {
    const ProgramResult s =
        cli({"dataDir='" + data->path().string() + "'", "send", (data->path() / "out.bin").string(),
             "--sim", "--start-figure", "1", "--start-point", "0"});
    EXPECT_EQ(s.exitCode, 2);
    EXPECT_NE(s.err.find("--start-figure and --start-point go with an output file"),
              std::string::npos)
        << s.err;
}

TEST_F(SendEndToEnd, JobForAnotherMachineIsRefusedBeforeAnythingIsSent) {
    // out.bin was written for the classic XKC-3020; the KWA-2000 has 15-byte
    // moves and 32-bit speeds, and would split it wrongly.
    const auto trace = data->path() / "refused.trace";
    const ProgramResult s =
        cli({"dataDir='" + data->path().string() + "'", "send", (data->path() / "out.bin").string(),
             "--sim", "--machine", "KWA-2000", "--firmware", "6.40.0", "--trace", trace.string(),
             "--json"});
    EXPECT_EQ(s.exitCode, 1) << s.out << s.err;
    EXPECT_EQ(jsonField(s.out, "result").rfind("not a job for this machine (KWA): record 0", 0), 0u)
        << s.out;
    EXPECT_EQ(jsonField(s.out, "records"), "0");
    EXPECT_TRUE(readTrace(trace).empty()); // the machine never moved

    // The output file instead: written for the machine just identified.
    const ProgramResult o =
        cli({"dataDir='" + data->path().string() + "'", "send", outputFile, "--sim", "--machine",
             "KWA-2000", "--firmware", "6.40.0", "--time-scale", "1000", "--json"});
    EXPECT_EQ(o.exitCode, 0) << o.out << o.err;
    EXPECT_EQ(jsonField(o.out, "result"), "done");
    EXPECT_GT(std::stoll(jsonField(o.out, "records")), records / 2);
}

TEST_F(SendEndToEnd, WrongEchoBusyMachineAndDriveErrorEndDefined) {
    const auto trace = data->path() / "faults.trace";
    Simulator sim(trace);
    auto send = [&](const char* timeout) {
        return cli({"dataDir='" + data->path().string() + "'", "send",
                    (data->path() / "out.bin").string(), "--host", "127.0.0.1", "--port",
                    sim.command, "--info-port", sim.info, "--json", "--timeout", timeout});
    };
    sim.ask("wrong-echo 200");
    ProgramResult s = send("60");
    EXPECT_EQ(s.exitCode, 1) << s.out << s.err;
    EXPECT_EQ(jsonField(s.out, "result"), "echo mismatch (103)");

    // Over the network too the drive error names its code and axes.
    sim.ask("drive-error 3 9");
    s = send("60");
    EXPECT_EQ(s.exitCode, 1) << s.out << s.err;
    EXPECT_EQ(jsonField(s.out, "result"), "drive error 3 X Y2 ") << s.out;

    // A machine that never comes to rest: the wait for it is what ends the run.
    sim.ask("clear");
    sim.ask("busy on");
    s = send("3");
    EXPECT_EQ(s.exitCode, 1) << s.out << s.err;
    EXPECT_EQ(jsonField(s.out, "result"), "not at the start point");

    // Restarted on a healthy machine, the job runs through.
    sim.ask("busy off");
    s = send("60");
    EXPECT_EQ(jsonField(s.out, "result"), "done") << s.out << s.err;
}

} // namespace
} // namespace korvane::test
