#pragma once

#include "foundation/Records.h"
#include "geometry/Typy.h"

#include <span>
#include <utility>
#include <vector>

// The tool sweep that turns offsetHeights into motionHeights, spread over
// worker threads by target columns: each worker writes only its own columns of
// motionHeights, so the result does not depend on timing.
namespace korvane {

class TFrez;

// Number of sweep workers for `processors` logical processors: all of them, one
// fewer above four, at most 31.
int motionWorkerCount(int processors);
// The same for this machine.
int motionWorkerCount();

// Column ranges (inclusive, disjoint, covering 0..lastColumn) of `workers` workers:
// worker i gets chunk = lastColumn div workers columns from i * chunk, the last
// one the rest.
std::vector<std::pair<int, int>> workerColumns(int lastColumn, int workers);

// The sweep itself: for every cell (x, y) of `source` within the raster and every
// profile point (dx, dy, dz) whose target (x + dx, y + dy) lies in the raster,
// target[x + dx][y + dy] := source[x][y] - dz when that is strictly greater.
// An empty profile sweeps as the single point (0, 0, 0).
void sweepProfile(const tpix2d& source, std::span<const TPkt3D> profile, tpix2d& target,
                  int workers);

// Sweeps `frez` over offsetHeights into motionHeights (cleared by the caller)
// with `workers` threads; returns when every worker has finished.
void sweepTool(const TFrez& frez, int workers);

} // namespace korvane
