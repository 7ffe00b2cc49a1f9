#include "control/ResumePoint.h"

#include <cmath>

namespace korvane {

namespace {

// Positions come back from the machine in 0.01 mm units.
constexpr double samePlace = 0.01;

const TrPkt3D* pointOf(const JobPoint& at, const FigureList& figures) {
    if (at.figure >= figures.size()) return nullptr;
    const auto& poz = figures[at.figure]->poz;
    return at.point < poz.size() ? &poz[at.point] : nullptr;
}

bool toolAt(const JobPoint& at, const FigureList& figures, double x, double y) {
    const TrPkt3D* p = pointOf(at, figures);
    return p && std::fabs(p->x - x) <= samePlace && std::fabs(p->y - y) <= samePlace;
}

} // namespace

std::optional<JobPoint> resumePointAfterLostEcho(const std::vector<JobPointMark>& marks,
                                                 long long lostRecord, const FigureList& figures,
                                                 double x, double y) {
    std::optional<JobPoint> found;
    std::size_t i = 0;
    for (; i < marks.size() && marks[i].record <= lostRecord; ++i)
        if (toolAt(marks[i].at, figures, x, y)) found = marks[i].at;
    if (found) return found;
    // Between two figures the tool travels over the next figure's first point
    // before its plunge, the mark of that point.
    const bool nextFigureEntry =
        i < marks.size() && (i == 0 || marks[i - 1].at.figure != marks[i].at.figure);
    if (nextFigureEntry && toolAt(marks[i].at, figures, x, y)) return marks[i].at;
    return std::nullopt;
}

} // namespace korvane
