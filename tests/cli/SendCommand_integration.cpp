// korvane3d-cli send: every argument error with its message and exit code,
// before the machine is reached; a job file that is not there leaves the
// (simulated) machine untouched.
#include "RunProgram.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

test::ProgramResult send(const test::TempDir& data, std::vector<std::string> args) {
    args.insert(args.begin(), {"dataDir='" + data.path().string() + "'", "send"});
    return test::runBuiltProgram("korvane3d-cli", args);
}

} // namespace

TEST(CliSend, ArgumentErrorsSayWhatIsWrong) {
    test::TempDir data;
    const std::string job = (data / "out.bin").string();
    test::writeFile(data / "out.bin", "p\x01");
    const struct {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{}, 2, "send: a job file (.bin), an output file (.out) or a G-code program is needed\n"},
        {{"--sim"},
         2,
         "send: a job file (.bin), an output file (.out) or a G-code program is needed\n"},
        {{job}, 2, "send: give either --host HOST or --sim\n"},
        {{job, "--sim", "--host", "127.0.0.1"}, 2, "send: give either --host HOST or --sim\n"},
        {{job, "--host"}, 2, "send: --host needs a value\n"},
        {{job, "--sim", "--bogus"}, 2, "send: unknown argument --bogus\n"},
        {{job, "--sim", "--port", "9999"}, 2, "send: --port and --info-port go with --host\n"},
        {{job, "--host", "h", "--firmware", "5.9.0"},
         2,
         "send: --machine, --firmware, --time-scale and --trace go with --sim\n"},
        {{job, "--sim", "--timeout", "0"}, 2, "send: --timeout takes seconds\n"},
        {{job, "--sim", "--timeout", "ten"}, 2, "send: --timeout takes seconds\n"},
        {{job, "--sim", "--safe-height", "-1"},
         2,
         "send: --safe-height: expected a positive number of millimetres\n"},
        {{job, "--sim", "--firmware", "5.9.0.1"},
         2,
         "send: --firmware: expected X.Y.Z, got 5.9.0.1\n"},
        {{job, "--sim", "--time-scale", "0"}, 2, "send: --time-scale takes a positive number\n"},
        {{job, "--host", "h", "--port", "70000"}, 2, "send: --port takes a port number\n"},
        {{job, "--host", "h", "--info-port", "x"}, 2, "send: --info-port takes a port number\n"},
        {{job, "--sim", "--operation", "Nothing"},
         1,
         "send: no operation named Nothing in the library\n"},
        {{job, "--sim", "--substrate", "x"}, 2, "send: --substrate: expected millimetres from 0\n"},
        {{job, "--sim", "--substrate", "2"}, 2, "send: --substrate goes with an output file\n"},
        // An output file is machined with the operation of its name.
        {{(data / "Nothing.OUT").string(), "--sim"},
         1,
         "send: no operation named Nothing in the library\n"},
    };
    for (const auto& c : cases) {
        auto r = send(data, c.args);
        EXPECT_EQ(r.exitCode, c.code) << c.message;
        EXPECT_EQ(r.err, c.message);
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

TEST(CliSend, MissingJobFileLeavesTheMachineAlone) {
    test::TempDir data;
    const std::string missing = (data / "none.bin").string();
    auto r = send(data, {missing, "--sim", "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.out.find("\"records\": 0, "), std::string::npos) << r.out;
    // The machine was never asked where it stands: no position.
    EXPECT_NE(r.out.find("\"result\": \"cannot open " + missing + "\"}}\n"), std::string::npos)
        << r.out;
}

TEST(CliSend, EmptyJobIsRefusedBeforeTheMachineMoves) {
    test::TempDir data;
    test::writeFile(data / "empty.bin", "");
    const auto trace = data / "empty.trace";
    auto r = send(data, {(data / "empty.bin").string(), "--sim", "--trace", trace.string()});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, "0 records in " + r.out.substr(13, 4) +
                         " s: not started: the job holds 0 records, the machine starts one from "
                         "17 on\n");
    EXPECT_EQ(test::readFile(trace), ""); // not a move
}
