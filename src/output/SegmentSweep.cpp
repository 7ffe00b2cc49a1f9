#include "output/SegmentSweep.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// The cells whose centres lie in [lo, hi] (mm) along one axis, clipped to [0, last].
// The bounds are clipped before they become whole numbers: a move nearly along
// an axis puts them far beyond any int.
void cellRange(double lo, double hi, double cell, int last, int& first, int& end) {
    const double limit = last + 1.0;
    first = static_cast<int>(std::clamp(std::ceil(lo / cell - 1e-9), 0.0, limit));
    end = static_cast<int>(std::clamp(std::floor(hi / cell + 1e-9) + 1, 0.0, limit));
}

} // namespace

void stampTool(tpix2d& heights, double cell, RowBand rows, const ToolProfile& tool,
               const Point3& p) {
    const double reach = tool.reach();
    if (reach < 0) return;
    int x0, x1, y0, y1;
    cellRange(p.x - reach, p.x + reach, cell, heights.columns() - 1, x0, x1);
    cellRange(p.y - reach, p.y + reach, cell, heights.rows() - 1, y0, y1);
    y0 = std::max(y0, rows.firstRow);
    y1 = std::min(y1, rows.endRow);
    for (int ix = x0; ix < x1; ++ix) {
        auto column = heights[ix];
        const double dx = ix * cell - p.x;
        for (int iy = y0; iy < y1; ++iy) {
            const double dy = iy * cell - p.y;
            const double h = p.z + tool.heightAt(std::sqrt(dx * dx + dy * dy));
            if (h < column[static_cast<std::size_t>(iy)])
                column[static_cast<std::size_t>(iy)] = static_cast<float>(h);
        }
    }
}

SweptSegment::SweptSegment(const Point3& from, const Point3& to) : a(from) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    length = std::hypot(dx, dy);
    if (length > 0) ux = dx / length, uy = dy / length, slope = (to.z - from.z) / length;
    lowest = std::min(from.z, to.z);
}

double sweptHeight(const ToolProfile& tool, const SweptSegment& s, double x, double y,
                   double ceiling) {
    const double cx = x - s.a.x, cy = y - s.a.y;
    const double along = cx * s.ux + cy * s.uy;
    const double across = std::fabs(cx * s.uy - cy * s.ux);
    // No ring narrower than the point's distance to the segment passes over
    // it. The search starts a micrometre short of that distance, so that a
    // ring at the very edge still meets the exact test below.
    const double beyond = along < 0 ? -along : std::max(0.0, along - s.length);
    const double squared = across * across + beyond * beyond;
    // (d - 1e-6)² is at least d² - 2e-6 * reach: no ring the search below
    // looks at is lower than this floor.
    if (s.lowest + tool.heightFloor(squared - 2e-6 * tool.reach()) >= ceiling) return ceiling;
    const double distance = std::sqrt(squared);
    const auto& rings = tool.rings();
    double best = ceiling;
    for (std::size_t i = tool.firstRingReaching(distance - 1e-6); i < rings.size(); ++i) {
        const ToolRing& ring = rings[i];
        // Rings only climb: once the segment's lowest point cannot beat the
        // best, no wider ring can.
        if (s.lowest + ring.height >= best) break;
        const double half = std::sqrt(ring.radius * ring.radius - across * across);
        const double from = along - half, to = along + half;
        if (from > s.length || to < 0) continue;
        const double u = s.slope >= 0 ? std::max(from, 0.0) : std::min(to, s.length);
        best = std::min(best, s.a.z + s.slope * u + ring.height);
    }
    return best;
}

void sweepSegment(tpix2d& heights, double cell, RowBand rows, const ToolProfile& tool,
                  const Point3& a, const Point3& b) {
    const double reach = tool.reach();
    if (reach < 0) return;
    const SweptSegment s(a, b);
    // A vertical move leaves what its lower end leaves.
    if (s.length < 1e-9) {
        stampTool(heights, cell, rows, tool, a.z < b.z ? a : b);
        return;
    }
    int x0, x1, y0, y1;
    cellRange(std::min(a.x, b.x) - reach, std::max(a.x, b.x) + reach, cell, heights.columns() - 1,
              x0, x1);
    cellRange(std::min(a.y, b.y) - reach, std::max(a.y, b.y) + reach, cell, heights.rows() - 1, y0,
              y1);
    y0 = std::max(y0, rows.firstRow);
    y1 = std::min(y1, rows.endRow);
    for (int ix = x0; ix < x1; ++ix) {
        auto column = heights[ix];
        const double cx = ix * cell - a.x;
        // The rows this column shares with the band of width 2 * reach around
        // the segment's line (the whole band when the segment runs along x).
        int r0 = y0, r1 = y1;
        if (std::fabs(s.ux) > 1e-9) {
            // Across distance w = cx * uy - cy * ux must lie within +-reach.
            const double c0 = (cx * s.uy - reach) / s.ux, c1 = (cx * s.uy + reach) / s.ux;
            int b0, b1;
            cellRange(std::min(c0, c1) + a.y, std::max(c0, c1) + a.y, cell, heights.rows() - 1, b0,
                      b1);
            r0 = std::max(r0, b0);
            r1 = std::min(r1, b1);
        }
        for (int iy = r0; iy < r1; ++iy) {
            float& h = column[static_cast<std::size_t>(iy)];
            const double best = sweptHeight(tool, s, ix * cell, iy * cell, h);
            if (best < h) h = static_cast<float>(best);
        }
    }
}

} // namespace korvane
