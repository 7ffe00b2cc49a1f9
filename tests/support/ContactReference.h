#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"
#include "libraries/Frezy.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// The exact height at which a tool lowered along a vertical axis first touches
// a list of triangles, by brute force over every triangle, in double precision:
// for each triangle the contact of every part of the tool with its face, its
// three edges and its three vertices, in closed form. Written from the tool's
// dimensions alone, not from the program's contact code, to measure paths by.
namespace korvane::test {

// A part of the tool seen from below, open upwards. A sphere: its centre
// `lift` above the tip. A cone: flat at `lift` above the tip out to `inner`,
// rising `rise` mm per mm of radius beyond it, out to `outer`.
struct ReferencePart {
    bool sphere = false;
    double lift = 0, inner = 0, outer = 0, rise = 0;
};

// The parts of a library tool: the ball, flat or conical tip, and the body
// above h that widens to the shank's diameter d3 at hc.
inline std::vector<ReferencePart> referenceParts(const TFrezDane& tool) {
    const double tip = tool.d1 / 2;
    std::vector<ReferencePart> parts;
    double top = tip;
    if (tool.typ == toolBallNose) {
        parts.push_back({true, tip, 0, tip, 0});
    } else if (tool.typ == toolConical && tool.h > 0 && tool.d2 > tool.d1) {
        top = tool.d2 / 2;
        parts.push_back({false, 0, tip, top, tool.h / (top - tip)});
    } else {
        parts.push_back({false, 0, tip, tip, 0});
    }
    const double shank = tool.d3 / 2;
    if (tool.hc > tool.h && shank > top)
        parts.push_back({false, tool.h, top, shank, (tool.hc - tool.h) / (shank - top)});
    return parts;
}

// Cone parts widened by `by` mm in plan (a tool that must keep `by` from the
// model keeps at least this much sideways).
inline std::vector<ReferencePart> widened(std::vector<ReferencePart> parts, double by) {
    for (ReferencePart& p : parts) {
        p.inner += by;
        p.outer += by;
    }
    return parts;
}

struct RefPoint {
    double x, y, z;
};

// The tip height at which `part`, its axis through (x, y), touches the triangle
// (a, b, c); -infinity when it does not lie under the part.
inline double partTouches(const ReferencePart& part, const RefPoint (&v)[3], double x, double y) {
    double best = -std::numeric_limits<double>::infinity();
    // Nothing of a triangle whose plan box lies beyond the part's radius.
    const double boxX = std::max(
        {0.0, std::min({v[0].x, v[1].x, v[2].x}) - x, x - std::max({v[0].x, v[1].x, v[2].x})});
    const double boxY = std::max(
        {0.0, std::min({v[0].y, v[1].y, v[2].y}) - y, y - std::max({v[0].y, v[1].y, v[2].y})});
    if (boxX * boxX + boxY * boxY > part.outer * part.outer) return best;
    // The tip height at which the part touches a point at plan distance d
    // (at most the part's radius; a point on an edge or the face at its rim
    // may lie a rounding beyond it) and height z.
    auto tipFor = [&](double d, double z) {
        d = std::min(d, part.outer);
        if (part.sphere) return z + std::sqrt(part.outer * part.outer - d * d) - part.lift;
        return z - part.lift - part.rise * std::max(0.0, d - part.inner);
    };
    for (const RefPoint& p : v)
        if (const double d = std::hypot(p.x - x, p.y - y); d <= part.outer)
            best = std::max(best, tipFor(d, p.z));

    for (int k = 0; k < 3; ++k) {
        const RefPoint& p = v[k];
        const RefPoint& q = v[(k + 1) % 3];
        const double len = std::hypot(q.x - p.x, q.y - p.y);
        if (len == 0) continue;
        // Along the edge, s mm (in plan) from the foot of the axis; the axis
        // lies `off` from the edge's line; the edge rises `grade` per mm.
        const double ex = (q.x - p.x) / len, ey = (q.y - p.y) / len;
        const double foot = (x - p.x) * ex + (y - p.y) * ey;
        const double off = std::abs(-(x - p.x) * ey + (y - p.y) * ex);
        const double grade = (q.z - p.z) / len;
        if (off > part.outer) continue;
        const double chord = std::sqrt(part.outer * part.outer - off * off);
        const double from = std::max(-foot, -chord), to = std::min(len - foot, chord);
        if (from > to) continue;
        double at[5] = {from, to, from, from, from};
        if (part.sphere) {
            // z + sqrt(chord^2 - s^2) is highest where its slope, grade less
            // s / sqrt(chord^2 - s^2), is nought.
            at[2] = grade * chord / std::sqrt(1 + grade * grade);
        } else {
            if (part.inner > off) {
                const double rim = std::sqrt(part.inner * part.inner - off * off);
                at[2] = -rim;
                at[3] = rim;
            }
            // grade = rise * s / sqrt(off^2 + s^2) on the slope.
            if (part.rise > std::abs(grade))
                at[4] = grade * off / std::sqrt(part.rise * part.rise - grade * grade);
        }
        for (double s : at) {
            s = std::clamp(s, from, to);
            best = std::max(best, tipFor(std::hypot(off, s), p.z + grade * (foot + s)));
        }
    }

    // The face's plane z = z0 + gx * x + gy * y.
    const double ux = v[1].x - v[0].x, uy = v[1].y - v[0].y, uz = v[1].z - v[0].z;
    const double wx = v[2].x - v[0].x, wy = v[2].y - v[0].y, wz = v[2].z - v[0].z;
    const double det = ux * wy - uy * wx; // twice the plan area, signed
    if (det == 0) return best;
    const double gx = (uz * wy - wz * uy) / det, gy = (wz * ux - uz * wx) / det;
    const double grad = std::hypot(gx, gy);
    auto inPlan = [&](double px, double py) {
        // Barycentric coordinates of (px, py).
        const double rx = px - v[0].x, ry = py - v[0].y;
        const double s = (rx * wy - ry * wx) / det, t = (ux * ry - uy * rx) / det;
        return s >= 0 && t >= 0 && s + t <= 1;
    };
    auto faceAt = [&](double px, double py) {
        return v[0].z + gx * (px - v[0].x) + gy * (py - v[0].y);
    };
    // The sphere touches the plane where its normal points at the centre.
    const double radii[2] = {part.sphere ? part.outer * grad / std::sqrt(1 + grad * grad)
                                         : part.inner,
                             part.sphere ? 0 : part.outer};
    for (const double r : radii) {
        const double px = grad > 0 ? x + r * gx / grad : x, py = grad > 0 ? y + r * gy / grad : y;
        if (inPlan(px, py)) best = std::max(best, tipFor(grad > 0 ? r : 0, faceAt(px, py)));
    }
    return best;
}

class ContactReference {
  public:
    ContactReference(const TriangleList& triangles, std::vector<ReferencePart> parts)
        : parts_(std::move(parts)) {
        for (const ReferencePart& p : parts_) reach_ = std::max(reach_, p.outer);
        for (const TTrojkat& t : triangles) {
            Entry e{{{t.a.x, t.a.y, t.a.z}, {t.b.x, t.b.y, t.b.z}, {t.c.x, t.c.y, t.c.z}}};
            e.minX = std::min({e.v[0].x, e.v[1].x, e.v[2].x});
            e.maxX = std::max({e.v[0].x, e.v[1].x, e.v[2].x});
            e.minY = std::min({e.v[0].y, e.v[1].y, e.v[2].y});
            e.maxY = std::max({e.v[0].y, e.v[1].y, e.v[2].y});
            widest_ = std::max(widest_, e.maxX - e.minX);
            entries_.push_back(e);
        }
        // By their smallest x, so that a lookup reads only those that can
        // reach the axis.
        std::sort(entries_.begin(), entries_.end(),
                  [](const Entry& a, const Entry& b) { return a.minX < b.minX; });
    }

    // The lowest tip height at (x, y) that touches no triangle; -infinity
    // when none lies within reach.
    double tip(double x, double y) const {
        double best = -std::numeric_limits<double>::infinity();
        auto it = std::lower_bound(entries_.begin(), entries_.end(), x - reach_ - widest_,
                                   [](const Entry& e, double v) { return e.minX < v; });
        for (; it != entries_.end() && it->minX <= x + reach_; ++it) {
            if (it->maxX < x - reach_ || it->minY > y + reach_ || it->maxY < y - reach_) continue;
            for (const ReferencePart& p : parts_)
                best = std::max(best, partTouches(p, it->v, x, y));
        }
        return best;
    }

    // The same tool against only the triangles whose plan box comes within
    // its reach of the box [x0, x1] x [y0, y1]: what a path's stretch there
    // can touch.
    ContactReference within(double x0, double y0, double x1, double y1) const {
        ContactReference part;
        part.parts_ = parts_;
        part.reach_ = reach_;
        for (const Entry& e : entries_)
            if (e.maxX >= x0 - reach_ && e.minX <= x1 + reach_ && e.maxY >= y0 - reach_ &&
                e.minY <= y1 + reach_) {
                part.entries_.push_back(e);
                part.widest_ = std::max(part.widest_, e.maxX - e.minX);
            }
        return part;
    }

  private:
    ContactReference() = default;

    struct Entry {
        RefPoint v[3];
        double minX = 0, maxX = 0, minY = 0, maxY = 0;
    };
    std::vector<ReferencePart> parts_;
    std::vector<Entry> entries_;
    double reach_ = 0, widest_ = 0;
};

} // namespace korvane::test
