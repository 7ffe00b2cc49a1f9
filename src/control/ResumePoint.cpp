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

// The tool stands in plan on the way from (ax, ay) to (bx, by), not at either end.
bool onTheWay(double ax, double ay, double bx, double by, double x, double y) {
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    if (length2 == 0) return false;
    const double t = ((x - ax) * dx + (y - ay) * dy) / length2;
    if (t <= 0 || t >= 1) return false;
    return std::hypot(ax + t * dx - x, ay + t * dy - y) <= samePlace;
}

bool toolBetween(const JobPoint& from, const JobPoint& to, const FigureList& figures, double x,
                 double y) {
    const TrPkt3D* a = pointOf(from, figures);
    const TrPkt3D* b = pointOf(to, figures);
    return a && b && onTheWay(a->x, a->y, b->x, b->y, x, y);
}

} // namespace

std::optional<JobPoint> resumePointAfterStop(const std::vector<JobPointMark>& marks,
                                             long long lastRecord, const FigureList& figures,
                                             double x, double y) {
    std::optional<JobPoint> found;
    auto sameFigure = [&](std::size_t i) { return marks[i - 1].at.figure == marks[i].at.figure; };
    std::size_t i = 0;
    for (; i < marks.size() && marks[i].record <= lastRecord; ++i) {
        if (toolAt(marks[i].at, figures, x, y))
            found = marks[i].at;
        else if (i > 0 && toolBetween(marks[i - 1].at, marks[i].at, figures, x, y))
            found = sameFigure(i) ? marks[i - 1].at : marks[i].at;
    }
    if (found) return found;
    // Every point's move went out and the tool is on its way back to the work
    // origin: the last point, where nothing is left to cut.
    if (i == marks.size() && i > 0) {
        const TrPkt3D* last = pointOf(marks[i - 1].at, figures);
        if (last && onTheWay(last->x, last->y, 0, 0, x, y)) return marks[i - 1].at;
    }
    // Between two figures the tool travels over the next figure's first point
    // before its plunge, the mark of that point.
    const bool nextFigureEntry = i < marks.size() && (i == 0 || !sameFigure(i));
    if (nextFigureEntry && (toolAt(marks[i].at, figures, x, y) ||
                            (i > 0 && toolBetween(marks[i - 1].at, marks[i].at, figures, x, y))))
        return marks[i].at;
    return std::nullopt;
}

} // namespace korvane
