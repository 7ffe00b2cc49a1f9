#pragma once

#include "foundation/Records.h"

#include <limits>
#include <vector>

// The tool as a few convex solids of revolution, each open upwards, whose
// contact with a model triangle has a closed form: the tip's ball, and cones
// with a flat bottom (a flat end is a cone of no slope, the body that tapers
// out to the shank one standing on the tip's top). The exact tip height over
// a triangle is the highest contact of any solid.
namespace korvane {

class TFrez;

struct ToolSolid {
    enum class Kind { ball, cone } kind = Kind::cone;
    // ball: its centre's height above the tip; cone: its flat bottom's.
    double base = 0;
    double radius = 0; // the widest radius
    double flat = 0;   // cone: the radius of its flat bottom
    double slope = 0;  // cone: the rise per mm of radius beyond the flat bottom
};

// The solids of a tool's lower surface as TFrez::PromienNaWysokosci shapes it,
// kept `allowance` mm off the model: a ball grown by it; a cone lowered and
// widened by it, which holds the cone grown by a ball of that radius (a little
// more than that over slopes).
std::vector<ToolSolid> toolSolids(const TFrez& tool, double allowance);

class ToolContact {
  public:
    ToolContact(const TFrez& tool, double allowance);

    // Nothing farther than this from the axis in plan is touched.
    double reach() const { return reach_; }
    // The lowest height of the tool's lower surface above the tip (the
    // allowance below it, or 0).
    double lowest() const { return lowest_; }
    // The lowest tip height at (x, y) at which the tool keeps the allowance
    // from triangle t, when higher than `known`; otherwise `known`.
    double tipOver(const TTrojkat& t, double x, double y,
                   double known = -std::numeric_limits<double>::infinity()) const;
    // How far the tip moving straight from a to b must be lifted at worst
    // between its ends (where the static contacts hold) so that the tool's
    // cones, and the column above a ball's centre, keep the allowance from t,
    // when farther than `known`; otherwise `known`.
    double conesCut(const TTrojkat& t, const TrPkt3D& a, const TrPkt3D& b, double known) const;
    // The tool's ball, if it has one.
    const ToolSolid* ball() const;

  private:
    std::vector<ToolSolid> solids_;
    double reach_ = 0, lowest_ = 0;
};

} // namespace korvane
