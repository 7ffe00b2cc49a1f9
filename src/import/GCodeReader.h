#pragma once

#include "geometry/Figury.h"
#include "geometry/ProgramFeeds.h"
#include "import/GCodePath.h"
#include "import/GCodeRefusal.h"

#include <filesystem>
#include <string_view>

// A G-code program from another CAM system read into figures and the feeds
// and spindle speeds they are cut at.
namespace korvane {

struct GCodeProgram {
    FigureList figures;
    ProgramFeeds feeds; // one entry per figure
    GCodeStats stats;
};

// The most points the figures of a program may hold: 1.6 GB of points and feeds.
inline constexpr long long maxProgramPoints = 100'000'000;

// Reads the program's text. The tool stands at the origin before the first
// move. Lines between two "%" lines, or up to M2 or M30, are the program.
// Throws GCodeRefusal naming the first line it cannot run, or the line past
// `maxPoints` points; nothing is returned then.
GCodeProgram readGCode(std::string_view text, long long maxPoints = maxProgramPoints);

// The same for a file; throws std::runtime_error when it cannot be read.
GCodeProgram readGCodeFile(const std::filesystem::path& file);

// The extensions of G-code programs: ".nc", ".ngc", ".gcode", ".tap", ".cnc",
// any case.
bool isGCodeFile(const std::filesystem::path& file);

} // namespace korvane
