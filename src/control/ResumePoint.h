#pragma once

#include "geometry/Figury.h"
#include "machine/JobFile.h"

#include <optional>
#include <vector>

// Where a job goes on after it was cut short: an echo lost or wrong, a fault
// of the machine, its stop button. A record whose echo did not come back
// right is never sent again: the machine may already hold it, and a repeated
// relative move spoils the part. Once the machine has stopped, only where the
// tool stands tells how far the job got.
namespace korvane {

// The point a job written with `marks` goes on from, the machine stopped with
// the tool at (x, y), mm from the work origin, holding at most the records up
// to `lastRecord`: the last point whose move is among those records and that
// lies where the tool stands, or whose segment from the point before (the
// machine stopped on it) the tool stands on: that segment is cut again whole.
// Between two figures, on the way to the next figure's first point or over
// it, its plunge not run: that point. On the way back to the work origin
// after the last point: that point, nothing left to cut. None when the tool
// stands on none of them: the machine ran no point of the job. `figures` are the output file's,
// as the marks count them.
std::optional<JobPoint> resumePointAfterStop(const std::vector<JobPointMark>& marks,
                                             long long lastRecord, const FigureList& figures,
                                             double x, double y);

} // namespace korvane
