#pragma once

#include <string>
#include <vector>

namespace korvane::test {

struct ProgramResult {
    int exitCode = -1;
    std::string out; // standard output
    std::string err; // standard error
};

// Runs one of the built programs (build/bin/<name>) with these arguments and no
// standard input, and collects what it prints.
ProgramResult runBuiltProgram(const std::string& name, const std::vector<std::string>& args);

} // namespace korvane::test
