#include "output/ToolProfile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

ToolProfile::ToolProfile(const TFrez& tool, double step) {
    const TFrezDane& t = tool.Parametry;
    const double top = std::max({t.h, t.hc, t.typ == toolBallNose ? t.d1 / 2 : 0.0});
    const int steps = step > 0 ? static_cast<int>(std::ceil(top / step)) : 0;
    // A ring at height z takes the radius the tool has there; between two
    // samples the surface is taken at the upper one, so that the profile never
    // reaches below the tool.
    for (int i = 0; i <= steps; ++i) {
        const double z = std::min(i * step, top);
        rings_.push_back({tool.PromienNaWysokosci(static_cast<float>(z)), z});
    }
    keepWidening();
}

ToolProfile::ToolProfile(std::vector<ToolRing> rings) : rings_(std::move(rings)) {
    std::stable_sort(rings_.begin(), rings_.end(),
                     [](const ToolRing& a, const ToolRing& b) { return a.height < b.height; });
    keepWidening();
}

void ToolProfile::keepWidening() {
    // A ring no wider than one below it adds nothing to the solid.
    std::vector<ToolRing> kept;
    for (const ToolRing& r : rings_)
        if (r.radius >= 0 && (kept.empty() || r.radius > kept.back().radius)) kept.push_back(r);
    rings_ = std::move(kept);
}

std::size_t ToolProfile::firstRingReaching(double distance) const {
    return static_cast<std::size_t>(
        std::lower_bound(rings_.begin(), rings_.end(), distance,
                         [](const ToolRing& r, double d) { return r.radius < d; }) -
        rings_.begin());
}

double ToolProfile::heightAt(double distance) const {
    const std::size_t i = firstRingReaching(distance);
    return i < rings_.size() ? rings_[i].height : std::numeric_limits<double>::infinity();
}

} // namespace korvane
