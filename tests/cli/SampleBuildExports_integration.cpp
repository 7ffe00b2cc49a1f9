// The sample project built by korvane3d-cli, then every output file exported
// as G-code in both dialects and read back to the same points, and the build
// simulated against the model: no gouge, the figures as JSON and a picture.
#include "GCodeReader.h"
#include "RunProgram.h"
#include "TestSupport.h"
#include "libraries/Operacje.h"
#include "output/DaneWyjsciowe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

using namespace korvane;

namespace {

const std::string sampleProject = std::string(KORVANE_EXE_DIR) + "/Samples/Sample.prj";
const char* const sampleOperations[] = {"Roughing", "Layering", "Surfacing", "Lining", "Mixed"};

test::ProgramResult cli(const test::TempDir& data, std::vector<std::string> args) {
    args.insert(args.begin(), "dataDir='" + data.path().string() + "'");
    return test::runBuiltProgram("korvane3d-cli", args);
}

double jsonNumber(const std::string& json, const std::string& key) {
    std::smatch m;
    if (!std::regex_search(json, m, std::regex("\"" + key + "\": (-?[0-9.e+-]+)"))) return NAN;
    return std::stod(m[1]);
}

// The program's cuts, run by run (a run ends at a rapid), against the
// figures' points; the rapid after each run climbs to the figure's transfer height.
void expectSamePoints(const test::GCodeProgram& program, const FigureList& figures,
                      const std::string& what) {
    std::vector<const tFigura*> shown;
    for (const auto& f : figures)
        if (!f->poz.empty()) shown.push_back(f.get());
    std::size_t run = 0, point = 0;
    bool inRun = false;
    for (const test::GCodeMove& m : program.moves) {
        if (m.rapid) {
            if (inRun) {
                ASSERT_EQ(point, shown[run]->poz.size()) << what << " figure " << run;
                const TrPkt3D& last = shown[run]->poz.back();
                EXPECT_NEAR(m.x, last.x, 0.001) << what;
                EXPECT_NEAR(m.y, last.y, 0.001) << what;
                EXPECT_NEAR(m.z, shown[run]->przestawczyZ, 0.001) << what;
                ++run;
                point = 0;
                inRun = false;
            }
            continue;
        }
        inRun = true;
        ASSERT_LT(run, shown.size()) << what;
        ASSERT_LT(point, shown[run]->poz.size()) << what << " figure " << run;
        const TrPkt3D& p = shown[run]->poz[point++];
        ASSERT_NEAR(m.x, p.x, 0.001) << what << " figure " << run << " point " << point - 1;
        ASSERT_NEAR(m.y, p.y, 0.001) << what << " figure " << run << " point " << point - 1;
        ASSERT_NEAR(m.z, p.z, 0.001) << what << " figure " << run << " point " << point - 1;
    }
    EXPECT_EQ(run, shown.size()) << what;
}

} // namespace

TEST(CliSampleBuild, GCodeOfEveryOutputReadsBackToItsPoints) {
    test::TempDir data;
    const auto built = cli(data, {"generate", "--project", sampleProject, "--json"});
    ASSERT_EQ(built.exitCode, 0) << built.err << built.out;

    for (const char* name : sampleOperations) {
        const auto output = data.path() / "Output" / "Sample" / (std::string(name) + ".out");
        tWy reader;
        reader.wczytajPlik(output, -1);
        ASSERT_FALSE(reader.ListaFigur.empty()) << name;
        TOperacjaDane op;
        ASSERT_TRUE(TOperacje::PobierzDaneOperacjiZpliku(
            data.path() / "Operations" / (std::string(name) + ".opr"), op));
        for (const char* dialect : {"grbl", "linuxcnc"}) {
            const auto nc = data.path() / (std::string(name) + "-" + dialect + ".nc");
            const auto r = cli(data, {"gcode", output.string(), "--operation", name, "--dialect",
                                      dialect, "-o", nc.string()});
            ASSERT_EQ(r.exitCode, 0) << r.err;
            const test::GCodeProgram program = test::readGCode(test::readFile(nc));
            expectSamePoints(program, reader.ListaFigur, std::string(name) + " " + dialect);
            // The operation's spindle speed and its two feeds, nothing else.
            EXPECT_EQ(program.words[program.words.size() - 3], "M3") << name;
            EXPECT_EQ(program.words[program.words.size() - 4], "S18000.000") << name;
            for (const auto& m : program.moves) {
                if (!m.rapid) {
                    ASSERT_TRUE(m.feed == op.szybkosc || m.feed == op.posuwWiercenia);
                }
            }
        }
    }
    const auto missing = cli(data, {"gcode", "nowhere.out", "--operation", "Lining", "--dialect",
                                    "grbl", "-o", (data.path() / "x.nc").string()});
    EXPECT_EQ(missing.exitCode, 1);
    const auto badDialect =
        cli(data, {"gcode", "a.out", "--operation", "Lining", "--dialect", "fanuc", "-o", "x.nc"});
    EXPECT_EQ(badDialect.exitCode, 2);
}

TEST(CliSampleBuild, SimulationGivesItsFiguresAndPicture) {
    test::TempDir data;
    const auto built = cli(data, {"generate", "--project", sampleProject, "--json"});
    ASSERT_EQ(built.exitCode, 0) << built.err << built.out;
    const auto picture = data.path() / "deviation.png";
    const auto sim =
        cli(data, {"simulate", "--project", sampleProject, "--json", "--image", picture.string()});
    ASSERT_EQ(sim.exitCode, 0) << sim.err << sim.out;
    EXPECT_NE(sim.out.find("\"operations\": [\"Roughing\", \"Layering\", \"Surfacing\", "
                           "\"Lining\", \"Mixed\"]"),
              std::string::npos)
        << sim.out;
    EXPECT_GE(jsonNumber(sim.out, "largestGouge"), 0) << sim.out;
    EXPECT_GE(jsonNumber(sim.out, "largestMaterialLeftAboveReachable"), 0) << sim.out;
    EXPECT_NE(sim.out.find("\"materialLeftAboveReachablePosition\": ["), std::string::npos);
    EXPECT_GT(jsonNumber(sim.out, "volumeRemoved"), 1000) << sim.out;
    EXPECT_EQ(test::readFile(picture).substr(0, 8), "\x89PNG\r\n\x1a\n");
}

// The whole sample build, swept over the material as written, cuts nowhere
// deeper than 0.01 mm below the model.
TEST(CliSampleBuild, SampleBuildDoesNotGouge) {
    test::TempDir data;
    ASSERT_EQ(cli(data, {"generate", "--project", sampleProject}).exitCode, 0);
    const auto sim = cli(data, {"simulate", "--project", sampleProject, "--json"});
    ASSERT_EQ(sim.exitCode, 0) << sim.err;
    EXPECT_LE(jsonNumber(sim.out, "largestGouge"), 0.01) << sim.out;
    EXPECT_EQ(jsonNumber(sim.out, "gougedArea"), 0) << sim.out;
}

// The finishing passes (the 3 mm ball, allowance 0) leave on the lowest
// surface their tools can reach no more than the scallops of their step-overs,
// square to that surface, where scallops stand: the mixed pass's 1 mm leaves
// 1.5 - sqrt(1.5² - 0.5²) = 0.0858 mm, the hatching's 0.3 mm 0.0075 mm, and
// the layered pass's 2 mm levels on a vertical wall 1.5 - sqrt(1.25) = 0.382 mm,
// the bound, plus 0.01 mm that the tool's profile, sampled every 0.01 mm of
// height, may stand above the tool. (Heights above that surface grow with its
// slope, without bound at a wall: the 0.382 mm stand about 1 mm high on a wall of 68°.)
TEST(CliSampleBuild, SampleBuildLeavesNoMoreThanItsScallops) {
    test::TempDir data;
    ASSERT_EQ(cli(data, {"generate", "--project", sampleProject}).exitCode, 0);
    const auto sim = cli(data, {"simulate", "--project", sampleProject, "--json"});
    ASSERT_EQ(sim.exitCode, 0) << sim.err;
    EXPECT_LE(jsonNumber(sim.out, "largestThicknessLeftOnReachable"), 0.382 + 0.01) << sim.out;
}

// The mixed pass alone, the 3 mm ball a 1 mm step apart, runs its contours into
// the inner corners of the sample's stepped walls: kept sharp, they leave at
// most 1 mm above the surface the ball can reach there (smoothed round, their
// tips stood off the corners and left 2 mm).
TEST(CliSampleBuild, MixedAloneReachesIntoInnerCorners) {
    test::TempDir data;
    const auto project = data.path() / "Mixed.prj";
    test::writeFile(project, "[Model]\nplikModelu=" + std::string(KORVANE_EXE_DIR) +
                                 "/Samples/Sample.stl\n\n[Material]\nmaterialZrodlo=0\n"
                                 "materialRozmiarX=100\nmaterialRozmiarY=80\nmaterialRozmiarZ=25\n"
                                 "materialGruboscPodkladki=0\n\n[Proces]\nproces0=Mixed\n");
    ASSERT_EQ(cli(data, {"generate", "--project", project.string()}).exitCode, 0);
    const auto sim = cli(data, {"simulate", "--project", project.string(), "--json"});
    ASSERT_EQ(sim.exitCode, 0) << sim.err;
    EXPECT_NE(sim.out.find("\"operations\": [\"Mixed\"]"), std::string::npos) << sim.out;
    EXPECT_LE(jsonNumber(sim.out, "largestMaterialLeftAboveReachable"), 1.0) << sim.out;
    EXPECT_LE(jsonNumber(sim.out, "largestGouge"), 0.01) << sim.out;
}
