#include "MachineTrace.h"

#include <fstream>

namespace korvane::test {

void PrintTo(const TracePoint& p, std::ostream* out) {
    *out << p.source << ' ' << p.x << ' ' << p.y << ' ' << p.z;
}

std::vector<TracePoint> readTrace(const std::filesystem::path& file) {
    std::vector<TracePoint> points;
    std::ifstream in(file);
    TracePoint p{};
    long long b = 0;
    while (in >> p.source >> p.x >> p.y >> p.z >> b) points.push_back(p);
    return points;
}

std::vector<TracePoint> readJobMoves(const std::filesystem::path& file) {
    std::vector<TracePoint> moves;
    for (const TracePoint& p : readTrace(file))
        if (p.source == 'a') moves.push_back(p);
    return moves;
}

std::vector<std::string> readLines(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace korvane::test
