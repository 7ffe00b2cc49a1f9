#pragma once

#include "output/SegmentSweep.h"
#include "output/ToolProfile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

// The plain loops the program's ToolClearance must match to the last bit: every
// cell within the tool's reach read one by one.
namespace korvane::test {

class PlainToolClearance {
  public:
    PlainToolClearance(const ToolProfile& profile, const tpix2d& layer, double cell, int lastX,
                       int lastY)
        : profile_(profile), layer_(layer), cell_(cell), lastX_(lastX), lastY_(lastY) {}

    double tipHeight(double x, double y) const {
        double best = -std::numeric_limits<double>::infinity();
        const double reach = profile_.reach();
        if (reach < 0) return best;
        const auto [x0, x1] = span(x - reach, x + reach, lastX_);
        const auto [y0, y1] = span(y - reach, y + reach, lastY_);
        for (int ix = x0; ix <= x1; ++ix)
            for (int iy = y0; iy <= y1; ++iy) {
                const double h = layer_[ix][static_cast<std::size_t>(iy)];
                if (h <= best) continue;
                const double dx = ix * cell_ - x, dy = iy * cell_ - y;
                best = std::max(best, h - profile_.heightAt(std::sqrt(dx * dx + dy * dy)));
            }
        return best;
    }

    double cut(const TrPkt3D& a, const TrPkt3D& b) const {
        const double reach = profile_.reach();
        if (reach < 0) return 0;
        const SweptSegment s({a.x, a.y, a.z}, {b.x, b.y, b.z});
        if (s.length < 1e-9) return std::max(0.0, tipHeight(a.x, a.y) - s.lowest);
        const auto [x0, x1] = span(std::min(a.x, b.x) - reach, std::max(a.x, b.x) + reach, lastX_);
        const auto [y0, y1] = span(std::min(a.y, b.y) - reach, std::max(a.y, b.y) + reach, lastY_);
        double deepest = 0;
        for (int ix = x0; ix <= x1; ++ix)
            for (int iy = y0; iy <= y1; ++iy) {
                const double h = layer_[ix][static_cast<std::size_t>(iy)];
                if (h <= s.lowest + deepest) continue;
                const double cx = ix * cell_ - s.a.x, cy = iy * cell_ - s.a.y;
                const double along = std::clamp(cx * s.ux + cy * s.uy, 0.0, s.length);
                const double floor =
                    s.lowest + profile_.heightAt(std::hypot(cx - along * s.ux, cy - along * s.uy));
                if (h <= floor + deepest) continue;
                const double surface =
                    s.slope == 0 ? floor : sweptHeight(profile_, s, ix * cell_, iy * cell_, h);
                deepest = std::max(deepest, h - surface);
            }
        return deepest;
    }

  private:
    std::pair<int, int> span(double lo, double hi, int last) const {
        return {std::max(0, static_cast<int>(std::ceil(lo / cell_ - 1e-9))),
                std::min(last, static_cast<int>(std::floor(hi / cell_ + 1e-9)))};
    }

    const ToolProfile& profile_;
    const tpix2d& layer_;
    double cell_;
    int lastX_, lastY_;
};

} // namespace korvane::test
