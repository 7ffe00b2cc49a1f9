#pragma once

#include "foundation/Records.h"
#include "libraries/Frezy.h"

#include <vector>

// The tool as the raster sees it: cell offsets around the tool axis, each with
// the height of the tool's lower surface above the tip there. Built for the
// current pixelSize; immutable afterwards, so several threads may read it.
namespace korvane {

// Tool kinds beyond the library's three: a circle of the tip diameter, used to
// test the rim of a flat tool.
enum : std::int32_t { toolRing = 3 };

class TFrez {
  public:
    explicit TFrez(const TFrezDane& weParFrezu);

    // Radius of the tool (mm) at height z above the tip.
    float PromienNaWysokosci(float z) const;

    TFrezDane Parametry;
    // Distinct (x, y) offsets in the order they were first made; a repeated
    // offset keeps its lowest z.
    std::vector<TPkt3D> Powierzchnia;
};

} // namespace korvane
