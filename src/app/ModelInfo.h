#pragma once

#include "foundation/Records.h"

#include <array>
#include <string>

// What the model information dialog shows: the file, its size on disk, the
// model's size and extents in the unit of measure.
namespace korvane {

struct ModelInfoText {
    std::string fileName; // the file's name
    std::string path;     // in full, as the hint
    std::string fileSize;
    std::array<std::string, 3> size;    // X, Y, Z: max − min
    std::array<std::string, 6> extents; // minX, maxX, minY, maxY, minZ, maxZ
};

// Lengths in `unit`, fixed with 3 decimals (4 in feet), each followed by " ".
ModelInfoText modelInfoText(const TModel& model, int unit);

} // namespace korvane
