#include "import/GCodeCycles.h"

#include <cmath>

namespace korvane {

void drillHole(const DrillHole& hole, double from, GCodePath& path) {
    GPoint p = path.position();
    if (from < hole.r) {
        p[2] = hole.r;
        path.rapid(p);
        from = hole.r;
    }
    path.rapid({hole.x, hole.y, from});
    if (from != hole.r) path.rapid({hole.x, hole.y, hole.r});
    if (hole.cycle == 83) {
        // Pecks with a full retract to R, and a rapid back down to just above
        // the depth already drilled; counted, so that a peck too small to
        // change the depth still ends.
        const double pecks = std::ceil((hole.r - hole.bottom) / hole.peck);
        for (double k = 1; k < pecks; ++k) {
            const double depth = hole.r - k * hole.peck;
            if (!(depth > hole.bottom)) break;
            path.cut({hole.x, hole.y, depth}, hole.feed);
            ++path.stats().feedMoves;
            path.rapid({hole.x, hole.y, hole.r});
            path.rapid({hole.x, hole.y, depth + hole.rapidDelta});
        }
    }
    path.cut({hole.x, hole.y, hole.bottom}, hole.feed);
    ++path.stats().feedMoves;
    path.rapid({hole.x, hole.y, hole.clear});
    ++path.stats().holes;
}

} // namespace korvane
