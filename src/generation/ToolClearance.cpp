#include "generation/ToolClearance.h"

#include "foundation/State.h"
#include "generation/MotionMap.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "output/DaneWyjsciowe.h"
#include "output/SegmentSweep.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

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
      lastY_(std::min(rasterSizeY, layer.rows() - 1)) {}

double ToolClearance::tipHeight(double x, double y) const {
    double best = -std::numeric_limits<double>::infinity();
    const double reach = profile_.reach();
    if (reach < 0) return best;
    const auto [x0, x1] = cellSpan(x - reach, x + reach, cell_, lastX_);
    const auto [y0, y1] = cellSpan(y - reach, y + reach, cell_, lastY_);
    for (int ix = x0; ix <= x1; ++ix) {
        const auto column = layer_[ix];
        const double dx = ix * cell_ - x;
        for (int iy = y0; iy <= y1; ++iy) {
            const double h = column[static_cast<std::size_t>(iy)];
            if (h <= best) continue; // the tool's surface is nowhere below its tip
            const double dy = iy * cell_ - y;
            best = std::max(best, h - profile_.heightAt(std::sqrt(dx * dx + dy * dy)));
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
        for (int iy = y0; iy <= y1; ++iy) {
            const double h = column[static_cast<std::size_t>(iy)];
            if (h <= s.lowest + deepest) continue; // no ring reaches below the tip
            // Nowhere along the move is the surface over the cell lower than
            // the lower end plus the surface at the cell's plan distance from
            // the move; for a level move that is exactly the lowest.
            const double cy = iy * cell_ - s.a.y;
            const double along = std::clamp(cx * s.ux + cy * s.uy, 0.0, s.length);
            const double floor =
                s.lowest + profile_.heightAt(std::hypot(cx - along * s.ux, cy - along * s.uy));
            if (h <= floor + deepest) continue;
            const double surface =
                s.slope == 0 ? floor : sweptHeight(profile_, s, ix * cell_, iy * cell_, h);
            deepest = std::max(deepest, h - surface);
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

void ToolClearance::split(const TrPkt3D& a, const TrPkt3D& b, std::vector<TrPkt3D>& out) const {
    const double plan = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
    if (cut(a, b) <= tolerance) {
        out.push_back(b);
        return;
    }
    // Below two steps of the file's grid a midpoint falls on an end.
    if (plan <= std::max(cell_ / 32, 2 * outputStep)) {
        // A short move up or down a face the tool's bound steps over, or past
        // a cell that only its middle brings within the tool's rim: across at
        // the higher end's height, raised by what a level move there still
        // cuts, straight up and down at the ends.
        const float top = std::max(a.z, b.z);
        const double rise = cut({a.x, a.y, top}, {b.x, b.y, top});
        const auto across = static_cast<float>(
            rise > 0 ? std::ceil((top + rise) / outputStep - 1e-6) * outputStep : top);
        if (a.z < across) out.push_back({a.x, a.y, across});
        if (b.z < across) out.push_back({b.x, b.y, across});
        out.push_back(b);
        return;
    }
    const TrPkt3D m = raised({static_cast<float>((double(a.x) + b.x) / 2),
                              static_cast<float>((double(a.y) + b.y) / 2),
                              static_cast<float>((double(a.z) + b.z) / 2)});
    split(a, m, out);
    split(m, b, out);
}

void ToolClearance::keepClear(tFigura& f) const {
    if (f.poz.empty()) return;
    for (TrPkt3D& p : f.poz) p = raised(p);
    std::vector<TrPkt3D> points{f.poz.front()};
    points.reserve(f.poz.size());
    for (std::size_t k = 1; k < f.poz.size(); ++k) split(f.poz[k - 1], f.poz[k], points);
    f.poz = std::move(points);
}

void keepToolClear(const TFrez& tool, int workers) {
    const ToolClearance clearance(tool, offsetHeights, pixelSize);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < figureList.size(); i = next++)
            clearance.keepClear(*figureList[i]);
    };
    std::vector<std::jthread> threads;
    for (int t = 1; t < workers; ++t) threads.emplace_back(work);
    work();
}

} // namespace korvane
