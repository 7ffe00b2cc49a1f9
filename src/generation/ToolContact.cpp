#include "generation/ToolContact.h"

#include "generation/TriangleDistance.h"
#include "geometry/Frez.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr double none = -std::numeric_limits<double>::infinity();

double square(double v) {
    return v * v;
}

// The cone's surface height above its tip `distance` from its axis.
double surface(const ToolSolid& c, double distance) {
    return c.slope * std::max(0.0, distance - c.flat);
}

// The highest of z0 + rise * s less the cone's surface at the point
// (px, py) + s (ux, uy) (a unit vector), for s in [0, length] where that point
// lies within the cone's radius of (x, y); -infinity where none does. Concave
// in s, it is highest at an end of the span, where the flat bottom's rim
// crosses the line, or where the cone's surface rises along it as fast as
// the line (the static contact of an edge, and that of a vertex with a move).
double alongLine(const ToolSolid& c, double x, double y, double px, double py, double ux, double uy,
                 double length, double z0, double rise) {
    const double along = (x - px) * ux + (y - py) * uy;
    const double across = std::abs((x - px) * uy - (y - py) * ux);
    if (across > c.radius) return none;
    const double half = std::sqrt(c.radius * c.radius - across * across);
    const double lo = std::max(0.0, along - half), hi = std::min(length, along + half);
    if (lo > hi) return none;
    double best = none;
    auto at = [&](double s) {
        s = std::clamp(s, lo, hi);
        best =
            std::max(best, z0 + rise * s -
                               surface(c, std::sqrt(across * across + (s - along) * (s - along))));
    };
    at(lo);
    at(hi);
    if (c.flat > across) {
        const double rim = std::sqrt(c.flat * c.flat - across * across);
        at(along - rim);
        at(along + rim);
    }
    if (c.slope > std::abs(rise))
        at(along + across * rise / std::sqrt(c.slope * c.slope - rise * rise));
    return best;
}

// The highest tip height at which cone c, its axis through (x, y), touches t.
// The height it may take at a point of t is the point's height less the
// cone's surface there, a concave function over t: its highest value lies at
// a vertex, on an edge, or inside the face where the surface rises no faster
// than the face.
double coneOver(const ToolSolid& c, const TTrojkat& t, double x, double y) {
    const TrPkt3D* v[3] = {&t.a, &t.b, &t.c};
    const double b2 = c.radius * c.radius;
    double best = none;
    for (const TrPkt3D* p : v) {
        const double d2 = square(p->x - x) + square(p->y - y);
        if (d2 <= b2) best = std::max(best, p->z - surface(c, std::sqrt(d2)));
    }
    for (int k = 0; k < 3; ++k) {
        const TrPkt3D &p = *v[k], &q = *v[(k + 1) % 3];
        const double length = std::sqrt(square(double(q.x) - p.x) + square(double(q.y) - p.y));
        if (length == 0) continue; // a vertical edge: its top vertex touches first
        best = std::max(best, alongLine(c, x, y, p.x, p.y, (double(q.x) - p.x) / length,
                                        (double(q.y) - p.y) / length, length, p.z,
                                        (double(q.z) - p.z) / length));
    }
    const double ux = double(t.b.x) - t.a.x, uy = double(t.b.y) - t.a.y, uz = double(t.b.z) - t.a.z;
    const double wx = double(t.c.x) - t.a.x, wy = double(t.c.y) - t.a.y, wz = double(t.c.z) - t.a.z;
    const double nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
    if (nz != 0) {
        const double gx = -nx / nz, gy = -ny / nz, steep = std::sqrt(gx * gx + gy * gy);
        auto inside = [&](double px, double py) {
            auto side = [&](const TrPkt3D& p, const TrPkt3D& q) {
                return (double(q.x) - p.x) * (py - p.y) - (double(q.y) - p.y) * (px - p.x);
            };
            const double s0 = side(t.a, t.b), s1 = side(t.b, t.c), s2 = side(t.c, t.a);
            return (s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0);
        };
        auto onFace = [&](double r) {
            const double px = steep > 0 ? x + r * gx / steep : x,
                         py = steep > 0 ? y + r * gy / steep : y;
            if (inside(px, py))
                best =
                    std::max(best, t.a.z + gx * (px - t.a.x) + gy * (py - t.a.y) - surface(c, r));
        };
        // Uphill from the axis the face rises by `steep` per mm: to the flat
        // bottom's rim at least, and to the cone's rim where it outruns the cone.
        onFace(steep > 0 ? c.flat : 0);
        if (steep > c.slope) onFace(c.radius);
    }
    return best - c.base;
}

// How far the tip of cone c moving straight from a to b must be lifted at
// worst between the move's ends to touch t and no more (at the ends
// themselves the static contacts). Over the points q(s) of an edge and the
// positions p(u) of the move, the height the tip must take less the move's is
// concave in (s, u): it is highest at the move's ends, at an edge's ends (a
// vertex against the move, along its line), or on an edge where the plan
// distance w = q(s) - p(u) is the flat bottom's radius or the cone's, there
// linear in (s, u): highest where w points along the gradient of that linear
// function carried over to w. Inside the face the highest point for a given
// position rises linearly along the move: at its ends or on an edge.
double coneAlongMove(const ToolSolid& c, const TTrojkat& t, const TrPkt3D& a, const TrPkt3D& b) {
    double best = none;
    const double mx = double(b.x) - a.x, my = double(b.y) - a.y, climb = double(b.z) - a.z;
    const double length = std::sqrt(mx * mx + my * my);
    if (length == 0) return best;
    const TrPkt3D* v[3] = {&t.a, &t.b, &t.c};
    for (const TrPkt3D* p : v)
        best = std::max(best, alongLine(c, p->x, p->y, a.x, a.y, mx / length, my / length, length,
                                        p->z - a.z, -climb / length) -
                                  c.base);
    for (int k = 0; k < 3; ++k) {
        const TrPkt3D &p = *v[k], &q = *v[(k + 1) % 3];
        const double ex = double(q.x) - p.x, ey = double(q.y) - p.y, rise = double(q.z) - p.z;
        // w = w0 + s e - u m; the height to maximise is rise s - climb u.
        const double det = mx * ey - ex * my;
        if (std::abs(det) <= 1e-12 * (ex * ex + ey * ey + length * length)) continue;
        const double hx = (-my * rise + ey * climb) / det, hy = (mx * rise - ex * climb) / det;
        const double h = std::sqrt(hx * hx + hy * hy);
        if (h == 0) continue;
        const double w0x = double(p.x) - a.x, w0y = double(p.y) - a.y;
        for (const double r : {c.flat, c.radius}) {
            if (r <= 0) continue;
            const double dx = r * hx / h - w0x, dy = r * hy / h - w0y;
            const double s = (-my * dx + mx * dy) / det, u = (-ey * dx + ex * dy) / det;
            if (s < 0 || s > 1 || u < 0 || u > 1) continue;
            best = std::max(best, p.z + rise * s - (a.z + climb * u) - surface(c, r) - c.base);
        }
    }
    return best;
}

double ballOver(const ToolSolid& ball, const TTrojkat& t, double x, double y) {
    const auto centre = ballContactHeight(t, x, y, ball.radius);
    return centre ? *centre - ball.base : none;
}

} // namespace

std::vector<ToolSolid> toolSolids(const TFrez& tool, double allowance) {
    const TFrezDane& t = tool.Parametry;
    const double r1 = t.d1 / 2, r2 = t.d2 / 2, r3 = t.d3 / 2;
    std::vector<ToolSolid> solids;
    double widest = r1; // the tip's radius at its top
    switch (t.typ) {
    case toolEndMill:
        solids.push_back({ToolSolid::Kind::cone, 0, r1, r1, 0});
        break;
    case toolBallNose:
        solids.push_back({ToolSolid::Kind::ball, r1, r1, 0, 0});
        break;
    case toolConical:
        if (t.h > 0 && r2 > r1) {
            solids.push_back({ToolSolid::Kind::cone, 0, r2, r1, t.h / (r2 - r1)});
            widest = r2;
        } else {
            solids.push_back({ToolSolid::Kind::cone, 0, r1, r1, 0});
        }
        break;
    default:
        return solids;
    }
    // Above h the body tapers to the shank's diameter at hc; only a body that
    // widens reaches beyond the tip.
    if (t.hc > t.h && r3 > widest)
        solids.push_back({ToolSolid::Kind::cone, t.h, r3, widest, (t.hc - t.h) / (r3 - widest)});
    for (ToolSolid& s : solids) {
        s.radius += allowance;
        if (s.kind == ToolSolid::Kind::ball) continue;
        s.base -= allowance;
        s.flat += allowance;
    }
    return solids;
}

ToolContact::ToolContact(const TFrez& tool, double allowance)
    : solids_(toolSolids(tool, allowance)) {
    for (const ToolSolid& s : solids_) {
        reach_ = std::max(reach_, s.radius);
        lowest_ = std::min(lowest_, s.kind == ToolSolid::Kind::ball ? s.base - s.radius : s.base);
    }
}

const ToolSolid* ToolContact::ball() const {
    for (const ToolSolid& s : solids_)
        if (s.kind == ToolSolid::Kind::ball) return &s;
    return nullptr;
}

double ToolContact::tipOver(const TTrojkat& t, double x, double y, double known) const {
    const double dx =
        std::max({0.0, std::min({t.a.x, t.b.x, t.c.x}) - x, x - std::max({t.a.x, t.b.x, t.c.x})});
    const double dy =
        std::max({0.0, std::min({t.a.y, t.b.y, t.c.y}) - y, y - std::max({t.a.y, t.b.y, t.c.y})});
    const double plan2 = dx * dx + dy * dy;
    // No solid stands higher than where its surface at the plan box's
    // distance from the axis touches the triangle's top.
    const double top = std::max({t.a.z, t.b.z, t.c.z});
    double best = known;
    for (const ToolSolid& s : solids_) {
        const double reach2 = s.radius * s.radius;
        if (plan2 > reach2) continue;
        if (s.kind == ToolSolid::Kind::ball) {
            if (top + std::sqrt(reach2 - plan2) - s.base <= best) continue;
            best = std::max(best, ballOver(s, t, x, y));
        } else {
            if (top - s.base - surface(s, std::sqrt(plan2)) <= best) continue;
            best = std::max(best, coneOver(s, t, x, y));
        }
    }
    return best;
}

double ToolContact::conesCut(const TTrojkat& t, const TrPkt3D& a, const TrPkt3D& b,
                             double known) const {
    // A cone cuts no deeper than the triangle's top stands above its flat
    // bottom at the move's lower end, and not at all beyond its radius of the
    // move's plan box.
    const double top = std::max({t.a.z, t.b.z, t.c.z}) - std::min(a.z, b.z);
    const double gapX = std::max({0.0, double(std::min({t.a.x, t.b.x, t.c.x}) - std::max(a.x, b.x)),
                                  double(std::min(a.x, b.x) - std::max({t.a.x, t.b.x, t.c.x}))});
    const double gapY = std::max({0.0, double(std::min({t.a.y, t.b.y, t.c.y}) - std::max(a.y, b.y)),
                                  double(std::min(a.y, b.y) - std::max({t.a.y, t.b.y, t.c.y}))});
    const double gap2 = gapX * gapX + gapY * gapY;
    double best = known;
    for (const ToolSolid& s : solids_) {
        if (top - s.base <= best || gap2 > s.radius * s.radius) continue;
        // Above its centre the ball goes on as a column of its radius: lowered
        // it never touches first, but moving sideways under an edge it can.
        const ToolSolid column{ToolSolid::Kind::cone, s.base, s.radius, s.radius, 0};
        best = std::max(best, coneAlongMove(s.kind == ToolSolid::Kind::ball ? column : s, t, a, b));
    }
    return best;
}

} // namespace korvane
