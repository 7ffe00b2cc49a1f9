#pragma once

#include "foundation/Records.h"

#include <cstdint>
#include <vector>

// Speed limits of the points of a figure: the machine speed value (larger is
// slower) not to be exceeded at each point, or the stop marker 65535.
namespace korvane {

inline constexpr std::uint16_t stopMarker = 65535;

// One cell per point; s0 is the point the job enters the figure at. Uses
// machineParams, sharpCornerAngle and the selected ramp.
std::vector<std::uint16_t> ComputeSpeedLimits(const std::vector<TrPkt3D>& points, int s0,
                                              bool pathSmoothing);

// The slowest allowed value `distance` steps before a point whose cell is
// `nextLimit`.
std::uint16_t DecelerationLimit(long long distance, std::uint16_t nextLimit, bool pathSmoothing);

// The same by scanning the ramp entry by entry, as the machine maker defined it;
// kept to check the lookup against.
std::uint16_t DecelerationLimitLinear(long long distance, std::uint16_t nextLimit,
                                      bool pathSmoothing);

} // namespace korvane

namespace korvane {

// ComputeSpeedLimits with the linear ramp scan; for checks and benchmarks.
std::vector<std::uint16_t> ComputeSpeedLimitsLinear(const std::vector<TrPkt3D>& points, int s0,
                                                    bool pathSmoothing);

} // namespace korvane
