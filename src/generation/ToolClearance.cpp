#include "generation/ToolClearance.h"

#include "foundation/State.h"
#include "generation/ClearPath.h"
#include "generation/MotionMap.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "output/DaneWyjsciowe.h"
#include "output/SegmentSweep.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

// The cells whose centres lie in [lo, hi] (mm), clipped to [0, last].
std::pair<int, int> cellSpan(double lo, double hi, double cell, int last) {
    return {std::max(0, static_cast<int>(std::ceil(lo / cell - 1e-9))),
            std::min(last, static_cast<int>(std::floor(hi / cell + 1e-9)))};
}

} // namespace

ToolClearance::ToolClearance(const TFrez& tool, const tpix2d& layer, double cell)
    : profile_(tool, profileStep), layer_(layer), cell_(cell),
      lastX_(std::min(rasterSizeX, layer.columns() - 1)),
      lastY_(std::min(rasterSizeY, layer.rows() - 1)) {
    if (lastX_ < 0 || lastY_ < 0) return;
    chunksPerColumn_ = static_cast<std::size_t>(lastY_ / chunkRows + 1);
    chunkTops_.assign(static_cast<std::size_t>(lastX_ + 1) * chunksPerColumn_,
                      -std::numeric_limits<float>::infinity());
    for (int ix = 0; ix <= lastX_; ++ix) {
        const auto column = layer_[ix];
        float* tops = chunkTops_.data() + static_cast<std::size_t>(ix) * chunksPerColumn_;
        for (int iy = 0; iy <= lastY_; ++iy)
            tops[iy / chunkRows] = std::max(tops[iy / chunkRows], column[std::size_t(iy)]);
    }
    blockTops_.assign(static_cast<std::size_t>(lastX_ / chunkRows + 1) * chunksPerColumn_,
                      -std::numeric_limits<float>::infinity());
    for (int ix = 0; ix <= lastX_; ++ix)
        for (std::size_t k = 0; k < chunksPerColumn_; ++k) {
            float& top =
                blockTops_[static_cast<std::size_t>(ix / chunkRows) * chunksPerColumn_ + k];
            top = std::max(top, chunkTops_[static_cast<std::size_t>(ix) * chunksPerColumn_ + k]);
        }
}

double ToolClearance::tipHeight(double x, double y) const {
    double best = -std::numeric_limits<double>::infinity();
    const double reach = profile_.reach();
    if (reach < 0) return best;
    const auto [x0, x1] = cellSpan(x - reach, x + reach, cell_, lastX_);
    const auto [y0, y1] = cellSpan(y - reach, y + reach, cell_, lastY_);
    if (x0 > x1 || y0 > y1) return best;
    // The answer is the highest of the cells' own bounds whatever the order
    // they are read in: the cell under the point first makes a high start,
    // then blocks of chunkRows by chunkRows cells whose highest cell could
    // raise it, read cell by cell.
    auto bound = [&](int ix, int iy) {
        const double h = layer_[ix][static_cast<std::size_t>(iy)];
        if (h <= best) return; // the tool's surface is nowhere below its tip
        const double dx = ix * cell_ - x, dy = iy * cell_ - y;
        best = std::max(best, h - profile_.heightAt(std::sqrt(dx * dx + dy * dy)));
    };
    bound(std::clamp(static_cast<int>(std::lround(x / cell_)), x0, x1),
          std::clamp(static_cast<int>(std::lround(y / cell_)), y0, y1));
    // Of cells first..last along an axis, the offset from v of the one
    // nearest it: the others' offsets are no shorter, so the tool stands no
    // higher over them.
    auto nearest = [&](int first, int last, double v) {
        const double low = first * cell_ - v, high = last * cell_ - v;
        return low > 0 ? low : high < 0 ? high : 0.0;
    };
    for (int bx = x0 / chunkRows; bx <= x1 / chunkRows; ++bx) {
        const int c0 = std::max(x0, bx * chunkRows),
                  c1 = std::min(x1, bx * chunkRows + chunkRows - 1);
        const double dx = nearest(c0, c1, x);
        for (int by = y0 / chunkRows; by <= y1 / chunkRows; ++by) {
            const double top = blockTops_[static_cast<std::size_t>(bx) * chunksPerColumn_ +
                                          static_cast<std::size_t>(by)];
            if (top <= best) continue;
            const int r0 = std::max(y0, by * chunkRows),
                      r1 = std::min(y1, by * chunkRows + chunkRows - 1);
            const double dy = nearest(r0, r1, y);
            if (top - profile_.heightAt(std::sqrt(dx * dx + dy * dy)) <= best) continue;
            for (int ix = c0; ix <= c1; ++ix)
                for (int iy = r0; iy <= r1; ++iy) bound(ix, iy);
        }
    }
    return best;
}

double ToolClearance::cut(const TrPkt3D& a, const TrPkt3D& b) const {
    const double reach = profile_.reach();
    if (reach < 0) return 0;
    const SweptSegment s({a.x, a.y, a.z}, {b.x, b.y, b.z});
    if (s.length < 1e-9) return std::max(0.0, tipHeight(a.x, a.y) - s.lowest);
    const auto [x0, x1] =
        cellSpan(std::min(a.x, b.x) - reach, std::max(a.x, b.x) + reach, cell_, lastX_);
    const auto [y0, y1] =
        cellSpan(std::min(a.y, b.y) - reach, std::max(a.y, b.y) + reach, cell_, lastY_);
    double deepest = 0;
    for (int ix = x0; ix <= x1; ++ix) {
        const auto column = layer_[ix];
        const double cx = ix * cell_ - s.a.x;
        for (int c0 = y0; c0 <= y1; c0 = (c0 / chunkRows + 1) * chunkRows) {
            const int c1 = std::min(y1, (c0 / chunkRows + 1) * chunkRows - 1);
            // A chunk is passed over when none of its cells would pass the
            // tests below: its highest height against the floor at the
            // distance of its middle less its half length (kept a nanometre
            // short of every cell's own distance), the cells being read in the
            // same order as one by one, so that the answer is the same.
            const double top = chunkTop(ix, c0);
            if (top <= s.lowest + deepest) continue;
            const double half = (c1 - c0) * cell_ / 2;
            const double my = (c0 * cell_ + half) - s.a.y;
            const double along = std::clamp(cx * s.ux + my * s.uy, 0.0, s.length);
            const double ex = cx - along * s.ux, ey = my - along * s.uy;
            const double near = std::max(0.0, std::sqrt(ex * ex + ey * ey) - half - 1e-6);
            if (top <= s.lowest + profile_.heightAt(near) + deepest) continue;
            for (int iy = c0; iy <= c1; ++iy) {
                const double h = column[static_cast<std::size_t>(iy)];
                if (h <= s.lowest + deepest) continue; // no ring reaches below the tip
                // Nowhere along the move is the surface over the cell lower
                // than the lower end plus the surface at the cell's plan
                // distance from the move; for a level move that is exactly
                // the lowest.
                const double cy = iy * cell_ - s.a.y;
                const double at = std::clamp(cx * s.ux + cy * s.uy, 0.0, s.length);
                const double ex = cx - at * s.ux, ey = cy - at * s.uy;
                // First against the floor a nanometre nearer, without the
                // slower hypot; the floor itself only where that does not do.
                const double nearer = std::max(0.0, std::sqrt(ex * ex + ey * ey) - 1e-6);
                const double nearerHeight = profile_.heightAt(nearer);
                auto belowFloor = [&](double& floor) {
                    floor = s.lowest + profile_.heightAt(std::hypot(ex, ey));
                    return h <= floor + deepest;
                };
                double floor = 0;
                if (s.slope == 0) {
                    if (h <= s.lowest + nearerHeight + deepest || belowFloor(floor)) continue;
                    deepest = std::max(deepest, h - floor);
                    continue;
                }
                // The tip passes over the cell only within the tool's reach
                // of it along the move, and stands there no lower than the
                // lowest end of that stretch (less a nanometre): a floor for
                // climbing and falling moves, and the lowest the sweep's
                // rings are measured from, so that it stops at the first ring
                // that cannot come lower, with the same heights of the rings.
                const double u = cx * s.ux + cy * s.uy;
                const double lowU =
                    s.slope > 0 ? std::max(0.0, u - reach) : std::min(s.length, u + reach);
                SweptSegment stretch = s;
                stretch.lowest = std::max(s.lowest, s.a.z + s.slope * lowU - 1e-6);
                if (h <= stretch.lowest + nearerHeight + deepest || belowFloor(floor)) continue;
                deepest = std::max(deepest,
                                   h - sweptHeight(profile_, stretch, ix * cell_, iy * cell_, h));
            }
        }
    }
    return deepest;
}

TrPkt3D ToolClearance::raised(TrPkt3D p) const {
    // The point is checked where the output file puts it: half a step in plan
    // brings a cell just beyond the tool's rim under the shank, which may
    // stand far higher.
    p.x = static_cast<float>(onOutputGrid(p.x));
    p.y = static_cast<float>(onOutputGrid(p.y));
    const double tip = std::max(tipHeight(p.x, p.y), motionHeightInterpolated(p));
    double z = onOutputGrid(p.z);
    // Rounded up to the grid where the nearest step lies below the bound (the
    // slack only absorbs the error of the division).
    if (z < tip) z = std::ceil(tip / outputStep - 1e-6) * outputStep;
    p.z = static_cast<float>(z);
    return p;
}

void ToolClearance::keepClear(tFigura& f) const {
    PathClearing(*this, cell_ / 32, tolerance).keepClear(f);
}

void keepToolClear(const TFrez& tool, int workers) {
    const ToolClearance clearance(tool, offsetHeights, pixelSize);
    clearFigures(PathClearing(clearance, pixelSize / 32, ToolClearance::tolerance), figureList,
                 workers);
}

} // namespace korvane
