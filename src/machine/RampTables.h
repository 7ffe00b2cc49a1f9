#pragma once

#include <cstdint>
#include <vector>

// Acceleration ramps: machine speed values (larger is slower), non-increasing
// with the index, built once on first use.
namespace korvane {

// 16 000 entries, for machines without newSpeedEncoding.
const std::vector<std::uint16_t>& classicRamp();
// 65 536 entries each: the standard ramp of newSpeedEncoding and the
// 40920/sqrt(i) ramp of the newer controllers.
const std::vector<std::uint16_t>& standardRamp();
const std::vector<std::uint16_t>& alternativeRampTable();

} // namespace korvane
