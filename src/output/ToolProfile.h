#pragma once

#include "geometry/Frez.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

// The tool's lower surface as a stack of rings for the material simulation:
// ring i stands for the solid {distance from the axis <= radius, height above
// the tip >= height}. In a height map a tool removes a whole column above its
// surface, so these solids together are the tool. Rings run outwards and
// upwards, each wider than the one before.
namespace korvane {

struct ToolRing {
    double radius = 0;
    double height = 0;
};

class ToolProfile {
  public:
    // The profile of `tool` (its radius at each height, TFrez::PromienNaWysokosci)
    // sampled every `step` mm of height up to the top of its shape; the sampled
    // surface lies never below the true one and at most `step` above it.
    ToolProfile(const TFrez& tool, double step);
    // A profile of given rings (tests), sorted and thinned to widening ones.
    explicit ToolProfile(std::vector<ToolRing> rings);

    const std::vector<ToolRing>& rings() const { return rings_; }
    // The widest ring's radius: nothing farther from the axis is touched.
    double reach() const { return rings_.empty() ? -1 : rings_.back().radius; }
    // Index of the first ring at least `distance` wide; rings().size() when none.
    // Found through a table of distances, not a search: the sweep asks this
    // of every cell a move passes near.
    std::size_t firstRingReaching(double distance) const {
        if (!(distance > 0)) return 0;
        if (distance > reach()) return rings_.size();
        std::size_t i = firstRing_[std::min(static_cast<std::size_t>(distance * perBucket_),
                                            firstRing_.size() - 1)];
        // The entry is at most a bucket short of the distance; the steps also
        // mend an entry that rounding put past it.
        while (i < rings_.size() && rings_[i].radius < distance) ++i;
        while (i > 0 && rings_[i - 1].radius >= distance) --i;
        return i;
    }
    // A height no ring at least sqrt(squaredDistance) wide goes below (at most
    // the lowest of them; infinity beyond reach), from a table: the sweep's
    // quick test of whether a move can lower a cell at all.
    double heightFloor(double squaredDistance) const {
        if (rings_.empty()) return infinity;
        const double k = squaredDistance * perSquaredBucket_;
        if (!(k >= 1)) return rings_[0].height;
        if (k > static_cast<double>(floors_.size())) return infinity;
        // A bucket back, so that rounding never takes a later entry.
        return floors_[static_cast<std::size_t>(k) - 1];
    }
    // The lowest surface height at `distance` from the axis; infinity beyond reach.
    double heightAt(double distance) const;

  private:
    void keepWidening();
    void index(); // builds firstRing_
    std::vector<ToolRing> rings_;
    // firstRing_[k]: the first ring reaching k / perBucket_ mm, a few entries per ring.
    double perBucket_ = 0;
    std::vector<std::uint32_t> firstRing_;
    // floors_[k]: the height of the first ring reaching sqrt(k / perSquaredBucket_) mm.
    double perSquaredBucket_ = 0;
    std::vector<double> floors_;
    static constexpr double infinity = std::numeric_limits<double>::infinity();
};

} // namespace korvane
