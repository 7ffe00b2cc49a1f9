#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace korvane::test {

// One move of the simulated machine's trace: who moved it ('a' the job, 'A' a
// command) and where it ended, in steps.
struct TracePoint {
    char source;
    long long x, y, z;
    bool operator==(const TracePoint&) const = default;
};

void PrintTo(const TracePoint& p, std::ostream* out);

// Every move of a trace file, in order.
std::vector<TracePoint> readTrace(const std::filesystem::path& file);

// The job's moves of a trace file ('a'), in order.
std::vector<TracePoint> readJobMoves(const std::filesystem::path& file);

// The lines of a text file as written, without their line ends.
std::vector<std::string> readLines(const std::filesystem::path& file);

} // namespace korvane::test
