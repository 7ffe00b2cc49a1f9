#pragma once

#include "app/Records.h"
#include "generation/Typy.h"

// Building a height layer from triangles: every triangle is swept by segments
// and every segment by samples about half a cell apart; each sample raises the
// cell it falls in to its own height.
namespace korvane {

// Samples the segment from p to q (mm) into `layer`: Round(|pq| / pixelSize) + 1
// steps, twice as many with the setting printer3D. Samples outside the layer
// are dropped.
void rasteriseSegment(tpix2d& layer, const TrPkt3D& p, const TrPkt3D& q);

// Sweeps the triangle from its lowest vertex with segments between its two
// other edges.
void rasteriseTriangle(tpix2d& layer, TrPkt3D a, TrPkt3D b, TrPkt3D c);

} // namespace korvane
