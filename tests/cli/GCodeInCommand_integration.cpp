// korvane3d-cli gcode-in and send PROGRAM.nc: the sample build's own G-code,
// in both dialects, read back to its points and feeds; a refused program
// writes nothing; a program runs on the simulated machine through its points.
#include "MachineTrace.h"
#include "RunProgram.h"
#include "TestSupport.h"
#include "foundation/MachineParams.h"
#include "foundation/Rounding.h"
#include "libraries/Operacje.h"
#include "machine/Identification.h"
#include "machine/MachineState.h"
#include "output/DaneWyjsciowe.h"
#include "output/ProgramFeedsFile.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korvane;

namespace {

const std::string sampleProject = std::string(KORVANE_EXE_DIR) + "/Samples/Sample.prj";
const char* const sampleOperations[] = {"Roughing", "Layering", "Surfacing", "Lining", "Mixed"};

test::ProgramResult cli(const test::TempDir& data, std::vector<std::string> args) {
    args.insert(args.begin(), "dataDir='" + data.path().string() + "'");
    return test::runBuiltProgram("korvane3d-cli", args);
}

// The feed the export gives the move from a to b: the plunge feed when it goes
// down more than sideways, else the working feed.
double exportedFeed(const TrPkt3D& a, const TrPkt3D& b, double feed, double plunge) {
    return double(a.z) - b.z > std::hypot(double(b.x) - a.x, double(b.y) - a.y) ? plunge : feed;
}

} // namespace

TEST(CliGCodeIn, TheSampleBuildsOwnGCodeReadsBackToItsPointsAndFeeds) {
    test::TempDir data;
    const auto built = cli(data, {"generate", "--project", sampleProject});
    ASSERT_EQ(built.exitCode, 0) << built.err << built.out;

    for (const char* name : sampleOperations) {
        const auto output = data.path() / "Output" / "Sample" / (std::string(name) + ".out");
        tWy original;
        original.wczytajPlik(output, -1);
        ASSERT_FALSE(original.ListaFigur.empty()) << name;
        TOperacjaDane op;
        ASSERT_TRUE(TOperacje::PobierzDaneOperacjiZpliku(
            data.path() / "Operations" / (std::string(name) + ".opr"), op));
        const double plunge = op.posuwWiercenia > 0 ? op.posuwWiercenia : op.szybkosc;
        for (const char* dialect : {"grbl", "linuxcnc"}) {
            const std::string what = std::string(name) + " " + dialect;
            const auto nc = data.path() / (std::string(name) + "-" + dialect + ".nc");
            const auto back = data.path() / (std::string(name) + "-" + dialect + ".out");
            ASSERT_EQ(cli(data, {"gcode", output.string(), "--operation", name, "--dialect",
                                 dialect, "-o", nc.string()})
                          .exitCode,
                      0);
            const auto r = cli(data, {"gcode-in", nc.string(), "-o", back.string()});
            ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
            tWy read;
            read.wczytajPlik(back, -1);
            const auto feeds = readFeedsFile(back);
            ASSERT_TRUE(feeds) << what;
            const FigureList &a = original.ListaFigur, &b = read.ListaFigur;
            ASSERT_EQ(a.size(), b.size()) << what;
            ASSERT_EQ(feeds->figures.size(), b.size()) << what;
            for (std::size_t f = 0; f < a.size(); ++f) {
                ASSERT_EQ(a[f]->poz.size(), b[f]->poz.size()) << what << " figure " << f;
                const FigureFeeds& ff = feeds->figures[f];
                EXPECT_EQ(ff.plungeFeed, plunge) << what << " figure " << f;
                EXPECT_NEAR(ff.approachZ, a[f]->poz[0].z + std::max(op.warstwaGrubosc, 0.0), 0.001);
                EXPECT_EQ(ff.spindle, op.obroty);
                for (std::size_t i = 0; i < a[f]->poz.size(); ++i) {
                    const TrPkt3D &p = a[f]->poz[i], &q = b[f]->poz[i];
                    ASSERT_NEAR(p.x, q.x, 0.001) << what << " figure " << f << " point " << i;
                    ASSERT_NEAR(p.y, q.y, 0.001) << what << " figure " << f << " point " << i;
                    ASSERT_NEAR(p.z, q.z, 0.001) << what << " figure " << f << " point " << i;
                    if (i == 0) continue;
                    ASSERT_EQ(ff.feeds[i], exportedFeed(a[f]->poz[i - 1], p, op.szybkosc, plunge))
                        << what << " figure " << f << " point " << i;
                }
                // The travel after each figure climbs to its transfer height;
                // after the last one to the program's safe height above all.
                if (f + 1 < a.size()) {
                    EXPECT_NEAR(b[f]->przestawczyZ, a[f]->przestawczyZ, 0.001) << what;
                } else {
                    EXPECT_GE(b[f]->przestawczyZ, a[f]->przestawczyZ) << what;
                }
            }
        }
    }
}

TEST(CliGCodeIn, ARefusedProgramSaysWhyAndWritesNothing) {
    test::TempDir data;
    const auto program = data / "comp.nc";
    test::writeFile(program, "%\nG21 G90\nG0 Z5\nG0 X0 Y0\nG41 D3 G1 X10 F100\nM30\n%\n");
    const auto out = data / "comp.out";
    test::writeFile(out, "kept");
    const auto r = cli(data, {"gcode-in", program.string(), "-o", out.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "gcode-in: " + program.string() +
                         ", line 5: G41: cutter compensation is not supported (\"G41 D3 G1 X10 "
                         "F100\")\n");
    EXPECT_EQ(test::readFile(out), "kept");
    EXPECT_FALSE(std::filesystem::exists(data / "comp.feeds"));

    const auto json = cli(data, {"gcode-in", program.string(), "-o", out.string(), "--json"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.out, "{\"program\": \"" + program.string() +
                            "\", \"refused\": {\"line\": 5, \"text\": \"G41 D3 G1 X10 F100\", "
                            "\"word\": \"G41\", \"reason\": \"cutter compensation is not "
                            "supported\"}}\n");
    const auto usage = cli(data, {"gcode-in", program.string()});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.err, "gcode-in: -o OUT.out is needed\n");
}

TEST(CliGCodeIn, AProgramRunsOnTheSimulatedMachineThroughItsPoints) {
    test::TempDir data;
    const auto program = data / "Pocket.ngc";
    test::writeFile(program, "G21 G90 G17\nG0 Z5\nS12000 M3\nG0 X10 Y10\nG1 Z-1 F200\n"
                             "G1 X30 F900\nG2 X30 Y30 I0 J10\nG1 X10 F600\nG0 Z5\n"
                             "G99 G81 X40 Y10 Z-2 R1 F150\nX45\nG80\nG0 Z5\nM5\nM30\n");
    const auto info =
        cli(data, {"gcode-in", program.string(), "-o", (data / "check.out").string(), "--json"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("\"moves\": {\"rapid\": "), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"feeds\": [150, 200, 600, 900]"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"holes\": 2"), std::string::npos) << info.out;

    const auto trace = data / "pocket.trace";
    const auto s = cli(data, {"send", program.string(), "--sim", "--machine", "XKC-3020",
                              "--firmware", "5.9.0", "--time-scale", "1000", "--trace",
                              trace.string(), "--safe-height", "20", "--json"});
    ASSERT_EQ(s.exitCode, 0) << s.out << s.err;
    EXPECT_NE(s.out.find("\"result\": \"done\""), std::string::npos) << s.out;

    // Every point of the program's output file, in order, among the job's moves.
    tWy reader;
    reader.wczytajPlik(data / "Output" / "Pocket.out", -1);
    ASSERT_EQ(reader.ListaFigur.size(), 3u);
    plotstate.info1 = "XKC-3020";
    IdentifyMachine();
    const TMachineParams& p = machineParams;
    const auto moves = test::readJobMoves(trace);
    ASSERT_FALSE(moves.empty());
    std::size_t at = 0;
    long long ox = 0, oy = 0, oz = 0;
    // The job's first move is the rapid over the first point at the safe height.
    const TrPkt3D& first = reader.ListaFigur[0]->poz[0];
    ox = moves[0].x - roundHalfEven(first.x * 100 * p.stepsX);
    oy = moves[0].y - roundHalfEven(first.y * 100 * p.stepsY);
    oz = moves[0].z - roundHalfEven(20 * 100 * p.stepsZ);
    for (const auto& f : reader.ListaFigur)
        for (const TrPkt3D& q : f->poz) {
            const long long x = ox + roundHalfEven(q.x * 100 * p.stepsX);
            const long long y = oy + roundHalfEven(q.y * 100 * p.stepsY);
            const long long z = oz + roundHalfEven(q.z * 100 * p.stepsZ);
            while (at < moves.size() &&
                   !(std::llabs(moves[at].x - x) <= 1 && std::llabs(moves[at].y - y) <= 1 &&
                     std::llabs(moves[at].z - z) <= 1))
                ++at;
            ASSERT_LT(at, moves.size()) << "(" << q.x << ", " << q.y << ", " << q.z << ")";
        }
}
