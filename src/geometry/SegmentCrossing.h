#pragma once

#include "foundation/Records.h"

// Whether two segments cross in the plane (z is ignored).
namespace korvane {

// The segments a1-a2 and b1-b2 cross when their lines meet at a point within
// both segments' x ranges (the y range for a vertical one), ends included;
// parallel segments on different lines never cross, segments on one line
// cross at the middle of their overlap. The crossing point goes to x, y.
bool segmentsCross(const TrPkt3D& a1, const TrPkt3D& a2, const TrPkt3D& b1, const TrPkt3D& b2,
                   double& x, double& y);

} // namespace korvane
