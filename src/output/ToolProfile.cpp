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
    index();
}

ToolProfile::ToolProfile(std::vector<ToolRing> rings) : rings_(std::move(rings)) {
    std::stable_sort(rings_.begin(), rings_.end(),
                     [](const ToolRing& a, const ToolRing& b) { return a.height < b.height; });
    keepWidening();
    index();
}

void ToolProfile::keepWidening() {
    // A ring no wider than one below it adds nothing to the solid.
    std::vector<ToolRing> kept;
    for (const ToolRing& r : rings_)
        if (r.radius >= 0 && (kept.empty() || r.radius > kept.back().radius)) kept.push_back(r);
    rings_ = std::move(kept);
}

void ToolProfile::index() {
    if (reach() <= 0) return;
    // Four entries per ring on average; where rings crowd (a ball's equator)
    // a lookup steps over the few that share an entry.
    const std::size_t entries = 4 * rings_.size();
    perBucket_ = static_cast<double>(entries) / reach();
    std::size_t i = 0;
    for (std::size_t k = 0; k <= entries; ++k) {
        while (i < rings_.size() && rings_[i].radius < static_cast<double>(k) / perBucket_) ++i;
        firstRing_.push_back(static_cast<std::uint32_t>(i));
    }
    perSquaredBucket_ = static_cast<double>(entries) / (reach() * reach());
    i = 0;
    for (std::size_t k = 0; k <= entries; ++k) {
        while (i < rings_.size() &&
               rings_[i].radius * rings_[i].radius < static_cast<double>(k) / perSquaredBucket_)
            ++i;
        floors_.push_back(i < rings_.size() ? rings_[i].height : infinity);
    }
}

double ToolProfile::heightAt(double distance) const {
    const std::size_t i = firstRingReaching(distance);
    return i < rings_.size() ? rings_[i].height : std::numeric_limits<double>::infinity();
}

} // namespace korvane
