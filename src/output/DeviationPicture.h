#pragma once

#include "geometry/Typy.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The top view of a deviation map: one pixel per cell, north (larger y) up,
// coloured by what the cell holds and shaded by the remaining surface.
namespace korvane {

enum class DeviationClass { withinAllowance, materialLeft, gouge };

// Within allowance from a gouge of gougeThreshold up to `allowance` +
// gougeThreshold of material left.
DeviationClass classifyDeviation(double deviation, double allowance);

// The three colours, 0xRRGGBB: green within, amber for material left, red for a gouge.
std::uint32_t deviationColour(DeviationClass c);

// RGB bytes, rows top (largest y) first; `remaining` shades the colours with
// light from the north-west.
std::vector<std::uint8_t> deviationPixels(const tpix2d& deviation, const tpix2d& remaining,
                                          double cell, double allowance);

// The picture as a PNG file; throws std::runtime_error naming the file when it
// cannot be written.
void saveDeviationPicture(const tpix2d& deviation, const tpix2d& remaining, double cell,
                          double allowance, const std::filesystem::path& file);

} // namespace korvane
