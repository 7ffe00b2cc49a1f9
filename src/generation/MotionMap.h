#pragma once

#include "foundation/Records.h"

#include <vector>

// The motion map of one operation: offsetHeights (the model raised by the
// allowance) and the reads of motionHeights at real coordinates.
namespace korvane {

// Builds offsetHeights from modelHeights: every cell raised by `allowance` mm
// through a half sphere, so that neighbouring walls also lift a cell. An
// allowance under half a cell copies modelHeights unchanged.
void applyAllowance(double allowance);

// The upper half of a sphere of radius `allowance` mm as cell offsets with the
// height of its surface above the centre; a repeated offset keeps the highest z.
std::vector<TPkt3D> allowanceSphere(double allowance);

// The motion height at P's x and y (mm), interpolated inside its cell; never below 0.
double motionHeightInterpolated(const TrPkt3D& p);

// The largest interpolated motion height (rounded to single) along the plan
// segment from P to Q, sampled about once per cell.
float maxMotionHeightAlong(const TrPkt3D& p, const TrPkt3D& q);

} // namespace korvane
