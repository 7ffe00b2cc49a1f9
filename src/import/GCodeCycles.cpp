#include "import/GCodeCycles.h"

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
        // the depth already drilled.
        for (double depth = hole.r - hole.peck; depth > hole.bottom; depth -= hole.peck) {
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
