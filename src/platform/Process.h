#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Runs a program found on PATH with these arguments (no shell) and waits for it
// at most `deadline`. The exit code; nullopt when it could not start or did not
// end in time (it is then left running).
std::optional<int> runProgram(const std::vector<std::string>& argv,
                              std::chrono::milliseconds deadline);

} // namespace korvane
