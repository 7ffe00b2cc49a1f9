#pragma once

#include "geometry/Frez.h"

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
    std::size_t firstRingReaching(double distance) const;
    // The lowest surface height at `distance` from the axis; infinity beyond reach.
    double heightAt(double distance) const;

  private:
    void keepWidening();
    std::vector<ToolRing> rings_;
};

} // namespace korvane
