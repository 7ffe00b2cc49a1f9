#pragma once

#include "geometry/Figury.h"
#include "machine/JobFile.h"

#include <optional>
#include <vector>

// Where a job goes on after the echo of one of its records was lost. That
// record is never sent again: the machine may already hold it, and a repeated
// relative move spoils the part. Once the machine has stopped, only where the
// tool stands tells how far the job got.
namespace korvane {

// The point a job written with `marks` goes on from, the machine stopped with
// the tool at (x, y), mm from the work origin, after the echo of record
// `lostRecord` was lost: the last point whose move is among the records up to
// the lost one and that lies where the tool stands, or else the first point
// of the next figure when the tool already stands over it, its plunge not
// sent. None when the tool stands at none of them: the machine ran no point
// of the job. `figures` are the output file's, as the marks count them.
std::optional<JobPoint> resumePointAfterLostEcho(const std::vector<JobPointMark>& marks,
                                                 long long lostRecord, const FigureList& figures,
                                                 double x, double y);

} // namespace korvane
