#include "geometry/SegmentCrossing.h"

#include <algorithm>

namespace korvane {

namespace {

struct Span {
    double lo, hi;
    bool holds(double v) const { return lo <= v && v <= hi; }
};

Span span(double a, double b) {
    return {std::min(a, b), std::max(a, b)};
}

// The middle of the overlap of two spans on one line; false when they miss.
bool overlapMiddle(Span a, Span b, double& middle) {
    const double lo = std::max(a.lo, b.lo), hi = std::min(a.hi, b.hi);
    if (lo > hi) return false;
    middle = (lo + hi) / 2;
    return true;
}

} // namespace

bool segmentsCross(const TrPkt3D& a1, const TrPkt3D& a2, const TrPkt3D& b1, const TrPkt3D& b2,
                   double& x, double& y) {
    const bool aVertical = a1.x == a2.x, bVertical = b1.x == b2.x;
    const Span ax = span(a1.x, a2.x), bx = span(b1.x, b2.x);
    const Span ay = span(a1.y, a2.y), by = span(b1.y, b2.y);
    if (aVertical && bVertical) {
        if (a1.x != b1.x || !overlapMiddle(ay, by, y)) return false;
        x = a1.x;
        return true;
    }
    if (aVertical || bVertical) {
        const TrPkt3D &v1 = aVertical ? a1 : b1, &s1 = aVertical ? b1 : a1,
                      &s2 = aVertical ? b2 : a2;
        const Span vy = aVertical ? ay : by, sx = aVertical ? bx : ax;
        x = v1.x;
        if (!sx.holds(x)) return false;
        y = s1.y + (x - s1.x) * (double(s2.y) - s1.y) / (double(s2.x) - s1.x);
        return vy.holds(y);
    }
    const double ma = (double(a2.y) - a1.y) / (double(a2.x) - a1.x);
    const double mb = (double(b2.y) - b1.y) / (double(b2.x) - b1.x);
    const double ca = a1.y - ma * a1.x, cb = b1.y - mb * b1.x;
    if (ma == mb) {
        if (ca != cb || !overlapMiddle(ax, bx, x)) return false;
        y = ma * x + ca;
        return true;
    }
    x = (cb - ca) / (ma - mb);
    if (!ax.holds(x) || !bx.holds(x)) return false;
    y = ma * x + ca;
    return true;
}

} // namespace korvane
