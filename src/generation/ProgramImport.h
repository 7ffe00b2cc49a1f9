#pragma once

#include "import/GCodeReader.h"

#include <filesystem>

// A G-code program from another CAM system made into an output of its own: the
// output path file of its figures and the feeds file beside it.
namespace korvane {

// Reads `program` and writes `outputFile` (an output path file) with its feeds
// file. A program without a cut writes nothing. Throws GCodeRefusal for a
// program it cannot run, before anything is written, and std::runtime_error
// when a file cannot be read or written.
GCodeProgram importGCodeProgram(const std::filesystem::path& program,
                                const std::filesystem::path& outputFile);

} // namespace korvane
