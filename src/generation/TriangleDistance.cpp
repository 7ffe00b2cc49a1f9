#include "generation/TriangleDistance.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

Point3 point(const TrPkt3D& v) {
    return {v.x, v.y, v.z};
}
Point3 operator-(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Point3 operator+(const Point3& a, const Point3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Point3 operator*(double k, const Point3& a) {
    return {k * a.x, k * a.y, k * a.z};
}
double dot(const Point3& a, const Point3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Point3 cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Point3 nearestOnSegment(const Point3& a, const Point3& b, const Point3& p) {
    const Point3 ab = b - a;
    const double length2 = dot(ab, ab);
    if (length2 == 0) return a;
    return a + std::clamp(dot(p - a, ab) / length2, 0.0, 1.0) * ab;
}

double norm2(const Point3& a) {
    return dot(a, a);
}

// The squared distance between the segments p0 p1 and q0 q1: the pair of
// parameters that minimises it, each clamped to its segment in turn.
double segmentsDistance2(const Point3& p0, const Point3& p1, const Point3& q0, const Point3& q1) {
    const Point3 d1 = p1 - p0, d2 = q1 - q0, r = p0 - q0;
    const double a = dot(d1, d1), e = dot(d2, d2), f = dot(d2, r);
    double s = 0, t = 0;
    if (a == 0 && e == 0) return norm2(r);
    if (a == 0) {
        t = std::clamp(f / e, 0.0, 1.0);
    } else {
        const double c = dot(d1, r);
        if (e == 0) {
            s = std::clamp(-c / a, 0.0, 1.0);
        } else {
            const double b = dot(d1, d2), denom = a * e - b * b;
            s = denom > 0 ? std::clamp((b * f - c * e) / denom, 0.0, 1.0) : 0.0;
            t = (b * s + f) / e;
            if (t < 0) {
                t = 0;
                s = std::clamp(-c / a, 0.0, 1.0);
            } else if (t > 1) {
                t = 1;
                s = std::clamp((b - c) / a, 0.0, 1.0);
            }
        }
    }
    return norm2((p0 + s * d1) - (q0 + t * d2));
}

} // namespace

double segmentDistance(const TTrojkat& t, const Point3& p, const Point3& q) {
    const Point3 v[3] = {point(t.a), point(t.b), point(t.c)};
    // Through the face: the point where the segment meets the triangle's
    // plane lies inside it.
    const Point3 n = cross(v[1] - v[0], v[2] - v[0]);
    const double sp = dot(n, p - v[0]), sq = dot(n, q - v[0]);
    if (norm2(n) > 0 && ((sp <= 0 && sq >= 0) || (sp >= 0 && sq <= 0)) && sp != sq) {
        const Point3 x = p + (sp / (sp - sq)) * (q - p);
        bool inside = true;
        for (int k = 0; k < 3 && inside; ++k)
            inside = dot(n, cross(v[(k + 1) % 3] - v[k], x - v[k])) >= 0;
        if (inside) return 0;
    }
    double best = std::min(norm2(p - nearestOnTriangle(t, p)), norm2(q - nearestOnTriangle(t, q)));
    for (int k = 0; k < 3; ++k)
        best = std::min(best, segmentsDistance2(p, q, v[k], v[(k + 1) % 3]));
    return std::sqrt(best);
}

Point3 nearestOnTriangle(const TTrojkat& t, const Point3& p) {
    // By the region of the triangle's plane the point projects into: a vertex,
    // an edge or the face.
    const Point3 a = point(t.a), b = point(t.b), c = point(t.c);
    const Point3 ab = b - a, ac = c - a, ap = p - a;
    const double d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return a;
    const Point3 bp = p - b;
    const double d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return b;
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return a + (d1 / (d1 - d3)) * ab;
    const Point3 cp = p - c;
    const double d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return c;
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return a + (d2 / (d2 - d6)) * ac;
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0)
        return b + ((d4 - d3) / ((d4 - d3) + (d5 - d6))) * (c - b);
    const double sum = va + vb + vc;
    if (sum > 0) return a + (vb / sum) * ab + (vc / sum) * ac;
    // A triangle fallen to a segment or a point: the nearest of its edges.
    Point3 best = nearestOnSegment(a, b, p);
    double bestDistance = dot(p - best, p - best);
    for (const Point3& e : {nearestOnSegment(b, c, p), nearestOnSegment(c, a, p)}) {
        const double d = dot(p - e, p - e);
        if (d < bestDistance) {
            best = e;
            bestDistance = d;
        }
    }
    return best;
}

std::optional<SectionPoint> nearestSectionPoint(const TTrojkat& t, double x, double y, double z) {
    if (!(t.a.z < z && z < t.c.z)) return std::nullopt;
    auto at = [z](const TrPkt3D& p, const TrPkt3D& q) {
        const double s = (z - p.z) / (double(q.z) - p.z);
        return Point3{p.x + s * (double(q.x) - p.x), p.y + s * (double(q.y) - p.y), z};
    };
    const Point3 first = at(t.a, t.c);
    const Point3 second = z < t.b.z ? at(t.a, t.b) : z > t.b.z ? at(t.b, t.c) : point(t.b);
    const Point3 f = nearestOnSegment(first, second, {x, y, z});
    return SectionPoint{f.x, f.y, std::sqrt((x - f.x) * (x - f.x) + (y - f.y) * (y - f.y))};
}

std::optional<double> ballContactHeight(const TTrojkat& t, double x, double y, double radius) {
    const Point3 v[3] = {point(t.a), point(t.b), point(t.c)};
    std::optional<double> best;
    auto offer = [&](double z) {
        if (!best || z > *best) best = z;
    };
    const double r2 = radius * radius;
    for (const Point3& p : v) {
        const double d2 = (x - p.x) * (x - p.x) + (y - p.y) * (y - p.y);
        if (d2 <= r2) offer(p.z + std::sqrt(r2 - d2));
    }
    for (int k = 0; k < 3; ++k) {
        const Point3 &p = v[k], &q = v[(k + 1) % 3];
        const double length = std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y));
        if (length == 0) continue; // a vertical edge touches first at its top vertex
        const double ux = (q.x - p.x) / length, uy = (q.y - p.y) / length;
        const double along = (x - p.x) * ux + (y - p.y) * uy;
        const double across = (x - p.x) * uy - (y - p.y) * ux;
        if (std::abs(across) > radius) continue;
        // In the vertical plane of the edge the ball is a circle of this radius.
        const double circle = std::sqrt(r2 - across * across);
        const double slope = (q.z - p.z) / length, stretch = std::sqrt(1 + slope * slope);
        const double contact = along + circle * slope / stretch;
        if (contact >= 0 && contact <= length) offer(p.z + slope * along + circle * stretch);
    }
    Point3 n = cross(v[1] - v[0], v[2] - v[0]);
    const double length = std::sqrt(dot(n, n));
    if (length > 0) {
        n = (n.z < 0 ? -1.0 : 1.0) / length * n;
        if (n.z > 0) {
            const double px = x - radius * n.x, py = y - radius * n.y;
            auto side = [&](const Point3& p, const Point3& q) {
                return (q.x - p.x) * (py - p.y) - (q.y - p.y) * (px - p.x);
            };
            const double s0 = side(v[0], v[1]), s1 = side(v[1], v[2]), s2 = side(v[2], v[0]);
            if ((s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0))
                offer(v[0].z - (n.x * (px - v[0].x) + n.y * (py - v[0].y)) / n.z + radius * n.z);
        }
    }
    return best;
}

} // namespace korvane
