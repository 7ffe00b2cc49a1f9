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

void sweepSegment(tpix2d& heights, double cell, RowBand rows, const ToolProfile& tool,
                  const Point3& a, const Point3& b) {
    const double reach = tool.reach();
    if (reach < 0) return;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    // A vertical move leaves what its lower end leaves.
    if (length < 1e-9) {
        stampTool(heights, cell, rows, tool, a.z < b.z ? a : b);
        return;
    }
    const double ux = dx / length, uy = dy / length;
    const double slope = (b.z - a.z) / length;
    const double lowest = std::min(a.z, b.z);
    const auto& rings = tool.rings();

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
        if (std::fabs(ux) > 1e-9) {
            // Across distance w = cx * uy - cy * ux must lie within +-reach.
            const double c0 = (cx * uy - reach) / ux, c1 = (cx * uy + reach) / ux;
            int b0, b1;
            cellRange(std::min(c0, c1) + a.y, std::max(c0, c1) + a.y, cell, heights.rows() - 1, b0,
                      b1);
            r0 = std::max(r0, b0);
            r1 = std::min(r1, b1);
        }
        for (int iy = r0; iy < r1; ++iy) {
            float& h = column[static_cast<std::size_t>(iy)];
            const double cy = iy * cell - a.y;
            const double along = cx * ux + cy * uy;
            const double across = std::fabs(cx * uy - cy * ux);
            double best = h;
            for (std::size_t i = tool.firstRingReaching(across); i < rings.size(); ++i) {
                const ToolRing& ring = rings[i];
                // Rings only climb: once the segment's lowest point cannot beat
                // the best, no wider ring can.
                if (lowest + ring.height >= best) break;
                const double half = std::sqrt(ring.radius * ring.radius - across * across);
                const double from = along - half, to = along + half;
                if (from > length || to < 0) continue;
                const double u = slope >= 0 ? std::max(from, 0.0) : std::min(to, length);
                best = std::min(best, a.z + slope * u + ring.height);
            }
            if (best < h) h = static_cast<float>(best);
        }
    }
}

} // namespace korvane
