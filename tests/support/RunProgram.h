#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace korvane::test {

struct ProgramResult {
    int exitCode = -1; // 128 + the signal number when a signal ended the program
    std::string out;   // standard output
    std::string err;   // standard error
};

// How long one run of a built program may take before the test fails: generous
// for a loaded machine and the sanitizers, yet well inside ctest's limit.
inline constexpr std::chrono::seconds programDeadline{120};

// Runs one of the built programs (build/bin/<name>) with these arguments and no
// standard input, and collects what it prints. A program that cannot start or
// does not end by the deadline fails the test with its standard error shown
// (and is stopped); the exit code is then -1.
ProgramResult runBuiltProgram(const std::string& name, const std::vector<std::string>& args,
                              std::chrono::seconds deadline = programDeadline);

} // namespace korvane::test
