#include "platform/Process.h"

#include <gtest/gtest.h>

#include <csignal>

namespace korvane {
namespace {

using namespace std::chrono_literals;

// Deadlines for children that end by themselves: generous, they are never reached.
constexpr auto generous = 60s;

TEST(Process, ExitCodeAndBothOutputs) {
    const ProgramRun run =
        runProgram({"sh", "-c", "printf 'a\\nb'; printf oops >&2; exit 3"}, generous);
    ASSERT_EQ(run.exitCode, 3);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.out, "a\nb");
    EXPECT_EQ(run.err, "oops");

    // Ended by a signal: 128 + its number, as a shell reports it.
    EXPECT_EQ(runProgram({"sh", "-c", "kill -9 $$"}, generous).exitCode, 128 + SIGKILL);
    // Standard input is empty, not the test's own.
    EXPECT_EQ(runProgram({"cat"}, generous).exitCode, 0);
}

TEST(Process, ProgramThatCannotStart) {
    const ProgramRun run = runProgram({"/nonexistent/korvane-program", "x"}, generous);
    EXPECT_FALSE(run.exitCode);
    EXPECT_FALSE(run.timedOut);
    EXPECT_NE(run.err.find("/nonexistent/korvane-program"), std::string::npos) << run.err;
    EXPECT_FALSE(runProgram({}, generous).exitCode);
}

TEST(Process, HungProgramIsStoppedAtItsDeadlineWithItsStandardError) {
    const ProgramRun run = runProgram({"sh", "-c", "echo stuck >&2; exec sleep 600"}, 200ms);
    EXPECT_TRUE(run.timedOut);
    EXPECT_FALSE(run.exitCode);
    EXPECT_EQ(run.err, "stuck\n");
}

TEST(Process, LinesOfARunningChild) {
    ChildProcess child({"sh", "-c", "echo first; echo second; printf tail; exit 0"});
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.readLine(generous), "first");
    EXPECT_EQ(child.readLine(generous), "second");
    EXPECT_EQ(child.readLine(generous), std::nullopt); // the output ends without a newline
    EXPECT_EQ(child.wait(generous), 0);
    EXPECT_EQ(child.out(), "tail");

    // A child that writes nothing: the line does not come before the deadline.
    ChildProcess silent({"sleep", "600"});
    EXPECT_EQ(silent.readLine(100ms), std::nullopt);
    EXPECT_EQ(silent.wait(0ms), std::nullopt);
    silent.stop();
    EXPECT_EQ(silent.wait(0ms), 128 + SIGTERM);
}

TEST(Process, DescendantHoldingTheOutputDoesNotHoldTheWait) {
    ChildProcess child({"sh", "-c", "sleep 600 & echo $!; echo done >&2"});
    const auto descendant = child.readLine(generous);
    ASSERT_TRUE(descendant);
    EXPECT_EQ(child.wait(generous), 0);
    EXPECT_EQ(child.err(), "done\n");
    kill(std::stoi(*descendant), SIGKILL);
}

} // namespace
} // namespace korvane
