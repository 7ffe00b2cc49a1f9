// korvane3d-cli job: a job file from an output file for a named operation
// (found as the program finds names, in any script and case), and every
// argument error with its message and exit code, writing nothing.
#include "RunProgram.h"
#include "TestSupport.h"

#include "output/DaneWyjsciowe.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class CliJob : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(data / "Operations");
        test::writeFile(data / "Operations" / "luk.opr",
                        "\xEF\xBB\xBF[Operacja]\r\nnazwa=\xC5\x82uk\r\nidTyp=3\r\nszybkosc=1000\r\n"
                        "szybkoscPrzestawcza=2000\r\nposuwWiercenia=300\r\n");
        FigureList figures;
        auto f = std::make_unique<tFigura>();
        f->poz = {{10, 10, 2}, {20, 10, 2}, {20, 20, 2}};
        figures.push_back(std::move(f));
        writeOutputFile(data / "cut.out", 3, figures);
    }

    test::ProgramResult job(std::vector<std::string> args) {
        args.insert(args.begin(), {"dataDir='" + data.path().string() + "'", "job"});
        return test::runBuiltProgram("korvane3d-cli", args);
    }

    test::TempDir data;
    const std::string out = (data / "out.bin").string();
    const std::string luk = "\xC5\x82uk";
};

} // namespace

TEST_F(CliJob, OperationNameMatchesInAnyCase) {
    auto r = job({(data / "cut.out").string(), "--operation", "\xC5\x81UK", "--machine", "XSE100",
                  "-o", out, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto bytes = std::filesystem::file_size(out);
    EXPECT_NE(r.out.find("\"bytes\": " + std::to_string(bytes) + "}, \"file\": \"" + out +
                         "\", \"machine\": \"XSE100\", \"safeHeight\": 10}\n"),
              std::string::npos)
        << r.out;
}

TEST_F(CliJob, ArgumentErrorsSayWhatIsWrong) {
    const std::string cut = (data / "cut.out").string();
    const struct {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{}, 2, "job: an output file is needed\n"},
        {{"--json"}, 2, "job: an output file is needed\n"},
        {{cut, "-o", out}, 2, "job: --operation NAME is needed\n"},
        {{cut, "--operation", luk}, 2, "job: -o FILE is needed\n"},
        {{cut, "--operation", luk, "-o"}, 2, "job: -o needs a value\n"},
        {{cut, "--operation", luk, "-o", out, "--safe-heigth", "20"},
         2,
         "job: unknown argument --safe-heigth\n"},
        {{cut, "--operation", luk, "-o", out, "--start-figure", "-1"},
         2,
         "job: --start-figure and --start-point take a number from 0\n"},
        {{cut, "--operation", luk, "-o", out, "--start-point", "two"},
         2,
         "job: --start-figure and --start-point take a number from 0\n"},
        {{cut, "--operation", luk, "-o", out, "--safe-height", "0"},
         2,
         "job: --safe-height: expected a positive number of millimetres\n"},
        {{cut, "--operation", luk, "-o", out, "--firmware", "5.9x"},
         2,
         "job: --firmware: expected X.Y.Z, got 5.9x\n"},
        {{cut, "--operation", luk, "-o", out, "--firmware", "5"},
         2,
         "job: --firmware: expected X.Y.Z, got 5\n"},
        {{cut, "--operation", "Nothing", "-o", out},
         1,
         "job: no operation named Nothing in the library\n"},
        {{(data / "none.out").string(), "--operation", luk, "-o", out},
         1,
         "job: " + (data / "none.out").string() + ": no such file\n"},
        {{cut, "--operation", luk, "-o", out, "--start-figure", "1"},
         1,
         "job: start figure 1 beyond the last figure 0\n"},
        {{cut, "--operation", luk, "-o", out, "--start-point", "3"},
         1,
         "job: start point 3 beyond the last point of figure 0 (2)\n"},
        // The paths reach 2 mm; the margin of an identified machine is 1 mm.
        {{cut, "--operation", luk, "-o", out, "--safe-height", "2.5"},
         1,
         "job: the safe height of 2.5 mm is below the paths (3 mm); give --safe-height\n"},
        {{cut, "--operation", luk, "-o", out, "--substrate", "-0.5"},
         2,
         "job: --substrate: expected millimetres from 0\n"},
        // The substrate raises the paths: 2 + 7.5 + 1.
        {{cut, "--operation", luk, "-o", out, "--substrate", "7.5"},
         1,
         "job: the safe height of 10 mm is below the paths (10.5 mm); give --safe-height\n"},
    };
    for (const auto& c : cases) {
        auto r = job(c.args);
        EXPECT_EQ(r.exitCode, c.code) << c.message;
        EXPECT_EQ(r.err, c.message);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.message;
    }
}
