#include "generation/Redukcja.h"

#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/MotionMap.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane {

namespace {

double planDistance(const TrPkt3D& a, const TrPkt3D& b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

// Distance of (px, py) from the line through (ax, ay) and (bx, by); from the
// point (ax, ay) when the two coincide.
double lineDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double length = std::hypot(dx, dy);
    if (length == 0) return std::hypot(px - ax, py - ay);
    return std::fabs(dx * (py - ay) - dy * (px - ax)) / length;
}

// Distance of (px, py) from the segment (ax, ay)-(bx, by). A point beyond an
// end is as far as that end: a path that turns back along its own line has
// its turning point kept.
double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 == 0 ? 0 : ((px - ax) * dx + (py - ay) * dy) / length2;
    if (t <= 0) return std::hypot(px - ax, py - ay);
    if (t >= 1) return std::hypot(px - bx, py - by);
    return lineDistance(px, py, ax, ay, bx, by);
}

TrPkt3D bezier(const TrPkt3D& a, const TrPkt3D& b, const TrPkt3D& d, const TrPkt3D& c, double t) {
    const double u = 1 - t;
    const double wa = u * u * u, wb = 3 * u * u * t, wd = 3 * u * t * t, wc = t * t * t;
    return {static_cast<float>(wa * a.x + wb * b.x + wd * d.x + wc * c.x),
            static_cast<float>(wa * a.y + wb * b.y + wd * d.y + wc * c.y),
            static_cast<float>(wa * a.z + wb * b.z + wd * d.z + wc * c.z)};
}

// Smoothing pulls a point towards the chord of its neighbours, which on a
// convex surface lies inside the part: a moved point never ends below the
// motion map at its own position. Without a motion map (3D printing) there is
// nothing to keep above.
void keepAboveMotionMap(TrPkt3D& p) {
    if (settings.printer3D) return;
    p.z = std::max(p.z, static_cast<float>(motionHeightInterpolated(p)));
}

// In a hollow (a floor at the foot of a wall) the chord runs above the
// surface instead and would leave material the tool reaches: a moved point
// rises no higher than it stood before or than a tenth of a cell over the
// motion map at its new position. Returns the height the next curves run
// through; p ends on or above the map.
float keepNearMotionMap(TrPkt3D& p, float before) {
    if (settings.printer3D) return p.z;
    const float map = static_cast<float>(motionHeightInterpolated(p));
    p.z = std::min(p.z, std::max(before, static_cast<float>(map + 0.1 * pixelSize)));
    const float free = p.z;
    p.z = std::max(p.z, map);
    return free;
}

} // namespace

namespace {

// The direction of the run from the anchor a to the end point q: its bearing
// in plan, its plan length, and the angle of its line in the profile (plan
// length along, height up).
struct RunDirection {
    double bearing = 0, length = 0, slope = 0;
};

RunDirection runDirection(const TrPkt3D& a, const TrPkt3D& q, double length) {
    return {std::atan2(double(q.y) - a.y, double(q.x) - a.x), length,
            std::atan2(double(q.z) - a.z, length)};
}

// An upper bound of the deviations of the points since the anchor from the
// run to a later end point, from their deviations at a reference direction.
// A point at plan distance r from the anchor (and rp in the profile) moves off
// a run turned by an angle by at most r (rp) times that angle; in plan only
// while the run does not get shorter, for a longer run from the same anchor
// holds the shorter one whole. So the deviations are worked out again only
// where the bound comes near the tolerance: on a long straight run, once.
class DeviationBound {
  public:
    bool valid() const { return valid_; }
    void reset(double deviation, double planReach, double profileReach, const RunDirection& d) {
        valid_ = d.length > 0;
        deviation_ = deviation;
        planReach_ = planReach;
        profileReach_ = profileReach;
        reference_ = d;
    }
    void invalidate() { valid_ = false; }
    // Takes in a point whose deviation from the run in direction d is known.
    void add(double deviation, double planReach, double profileReach, const RunDirection& d) {
        deviation_ = std::max(deviation_, deviation + turn(d, planReach, profileReach));
        planReach_ = std::max(planReach_, planReach);
        profileReach_ = std::max(profileReach_, profileReach);
    }
    // The bound for the run in direction d, which must be no shorter in plan
    // than every run the bound took points in at; infinite otherwise.
    double at(const RunDirection& d) {
        if (!valid_ || d.length < reference_.length) return HUGE_VAL;
        reference_.length = d.length;
        return deviation_ + turn(d, planReach_, profileReach_);
    }

  private:
    double turn(const RunDirection& d, double planReach, double profileReach) const {
        return planReach * std::fabs(d.bearing - reference_.bearing) +
               profileReach * std::fabs(d.slope - reference_.slope);
    }

    bool valid_ = false;
    double deviation_ = 0, planReach_ = 0, profileReach_ = 0;
    RunDirection reference_;
};

// The deviation of point k from the run a-q (plan length dq): in plan from the
// segment, in the profile from the line, together.
double deviation(const TrPkt3D& pa, const TrPkt3D& pq, double dq, const TrPkt3D& pk) {
    const double e1 = segmentDistance(pk.x, pk.y, pa.x, pa.y, pq.x, pq.y);
    const double e2 = lineDistance(planDistance(pa, pk), pk.z, 0, pa.z, dq, pq.z);
    return std::sqrt(e1 * e1 + e2 * e2);
}

double profileReach(const TrPkt3D& pa, const TrPkt3D& pk) {
    return std::hypot(planDistance(pa, pk), double(pk.z) - pa.z);
}

} // namespace

void reduceFigure(int index, double tolerance) {
    tFigura& f = *figureList[static_cast<size_t>(index)];
    const std::vector<TrPkt3D>& p = f.poz;
    const int count = f.count();
    if (count <= 2) return;
    std::vector<TrPkt3D> kept{p[0]};
    int a = 0;
    bool previousFlat = true;
    DeviationBound bound;
    for (int q = 2; q < count; ++q) {
        const TrPkt3D &pa = p[size_t(a)], &pq = p[size_t(q)];
        const double dq = planDistance(pa, pq);
        const RunDirection direction = runDirection(pa, pq, dq);
        // The point before q joins the run: its deviation is worked out, the
        // older ones' only when the bound cannot tell. The margin covers the
        // rounding of the deviations the bound starts from.
        bool beyond = false, known = false;
        if (bound.valid()) {
            const TrPkt3D& joining = p[size_t(q - 1)];
            bound.add(deviation(pa, pq, dq, joining), planDistance(pa, joining),
                      profileReach(pa, joining), direction);
            const double b = bound.at(direction);
            known = b < tolerance - 1e-9 * (1 + b);
        }
        if (!known) {
            double maxDev = 0, planReach = 0, profile = 0;
            for (int k = a + 1; k < q; ++k) {
                const TrPkt3D& pk = p[size_t(k)];
                maxDev = std::max(maxDev, deviation(pa, pq, dq, pk));
                planReach = std::max(planReach, planDistance(pa, pk));
                profile = std::max(profile, profileReach(pa, pk));
            }
            beyond = maxDev >= tolerance;
            bound.reset(maxDev, planReach, profile, direction);
        }
        const bool flat = std::fabs(double(pq.z) - p[size_t(q - 1)].z) < 0.001;
        if (beyond || flat != previousFlat) {
            kept.push_back(p[size_t(q - 1)]);
            a = q - 1;
            bound.invalidate();
        }
        previousFlat = flat;
    }
    kept.push_back(p.back());
    f.poz = std::move(kept);
}

void smoothFigure(int index, int window, bool cornerCheck) {
    smoothFigure(*figureList[static_cast<size_t>(index)], window, cornerCheck);
}

void smoothFigure(tFigura& f, int window, bool cornerCheck) {
    smoothFigure(f, {{window, cornerCheck}});
}

void smoothFigure(tFigura& f, std::initializer_list<SmoothingPass> passes) {
    std::vector<TrPkt3D>& p = f.poz;
    const int c = f.count();
    if (c == 0) return;
    // The curves run through the smoothed heights before they were raised to
    // the motion map: a raise keeps the tool out of the part where it stands,
    // and carried on to the next points it would lift them off their level
    // where the map lets them stay.
    std::vector<float> free(p.size());
    std::transform(p.begin(), p.end(), free.begin(), [](const TrPkt3D& q) { return q.z; });
    auto at = [&](int i) {
        const size_t k = size_t(i % c);
        return TrPkt3D{p[k].x, p[k].y, free[k]};
    };
    for (const SmoothingPass& pass : passes) {
        const int n = pass.window;
        if (n < 1) continue;
        const int last = f.zamknieta ? c - 1 : c - n - 1;
        for (int i = 0; i <= last; ++i) {
            const TrPkt3D a = at(i), b = at(i + 1), c3 = at(i + n);
            const TrPkt3D d{static_cast<float>(c3.x - (double(c3.x) - a.x) / n),
                            static_cast<float>(c3.y - (double(c3.y) - a.y) / n),
                            static_cast<float>(c3.z - (double(c3.z) - a.z) / n)};
            if (pass.cornerCheck &&
                !(angleAt(b, a, d) > cornerAngle && angleAt(d, b, c3) > cornerAngle))
                continue;
            const size_t k = size_t((i + 1) % c);
            const float before = p[k].z;
            p[k] = bezier(a, b, d, c3, 1.0 / n);
            free[k] = keepNearMotionMap(p[k], before);
        }
        if (f.zamknieta) p.back() = p.front(), free.back() = free.front();
    }
}

void smoothProfileForward(tFigura& f, int window, bool force) {
    std::vector<TrPkt3D>& p = f.poz;
    const int count = f.count();
    const int n = window;
    if (n < 1) return;
    std::vector<double> s(size_t(count), 0.0);
    for (int k = 1; k < count; ++k)
        s[size_t(k)] = s[size_t(k - 1)] + planDistance(p[size_t(k - 1)], p[size_t(k)]);
    auto stepLength = [&](int k) { // profile step k -> k + 1
        return std::hypot(s[size_t(k + 1)] - s[size_t(k)],
                          double(p[size_t(k + 1)].z) - p[size_t(k)].z);
    };
    for (int i = 0; i + n < count; ++i) {
        bool ok = true;
        for (int k = 1; k <= n && ok; ++k) ok = stepLength(i + k - 1) <= 5.0;
        if (ok) {
            ok = i + 2 < count;
            if (ok) {
                const TrPkt3D &a = p[size_t(i)], &b = p[size_t(i + 1)], &c = p[size_t(i + 2)];
                const double la = distance3(b, a), lc = distance3(b, c);
                const double cosine = la == 0 || lc == 0
                                          ? 0.0
                                          : ((double(a.x) - b.x) * (double(c.x) - b.x) +
                                             (double(a.y) - b.y) * (double(c.y) - b.y) +
                                             (double(a.z) - b.z) * (double(c.z) - b.z)) /
                                                (la * lc);
                ok = cosine <= -0.94 && stepLength(i) < 2 * pixelSize &&
                     stepLength(i + 1) < 2 * pixelSize;
            }
        }
        if (!ok && !force) continue;
        const double ds = (s[size_t(i + n)] - s[size_t(i)]) / n;
        const double dz = (double(p[size_t(i + n)].z) - p[size_t(i)].z) / n;
        if (ds == 0) continue;
        p[size_t(i + 1)].z =
            static_cast<float>(p[size_t(i)].z + dz / ds * (s[size_t(i + 1)] - s[size_t(i)]));
        keepAboveMotionMap(p[size_t(i + 1)]);
    }
}

void smoothProfileBackward(tFigura& f, int window, bool force) {
    std::reverse(f.poz.begin(), f.poz.end());
    smoothProfileForward(f, window, force);
    std::reverse(f.poz.begin(), f.poz.end());
}

void redukuj(int first) {
    for (int i = first; i < static_cast<int>(figureList.size()); ++i) {
        if (generationTerminate) return;
        if (figureList[size_t(i)]->zredukowana) continue;
        reduceFigure(i, pixelSize / 4);
        figureList[size_t(i)]->zredukowana = true;
    }
}

void usrednij(int first, bool keepCorners) {
    for (int i = first; i < static_cast<int>(figureList.size()); ++i) {
        tFigura& f = *figureList[size_t(i)];
        if (f.usredniona || f.count() <= 24) continue;
        smoothFigure(f, {{4, keepCorners}, {4, keepCorners}});
        f.usredniona = true;
    }
}

void usunFiguryPunkty() {
    for (int i = static_cast<int>(figureList.size()) - 1; i >= 0; --i) {
        const tFigura& f = *figureList[size_t(i)];
        if (f.count() == 1 || (f.count() == 2 && distance3(f.poz[0], f.poz[1]) <= 2 * pixelSize))
            deleteFigure(i);
    }
}

void ustalZprzestawczy(double warstwaSzer, double warstwaGrubosc) {
    const size_t count = figureList.size();
    for (size_t i = 0; i < count; ++i) {
        tFigura& f = *figureList[i];
        if (f.poz.empty()) continue;
        const double startZ = f.poz.front().z;
        const bool last = i + 1 == count;
        if (settings.printer3D) {
            f.przestawczyZ = last ? startZ + warstwaGrubosc : startZ;
            continue;
        }
        const TrPkt3D end = f.poz.back();
        const TrPkt3D next =
            last || figureList[i + 1]->poz.empty() ? TrPkt3D{} : figureList[i + 1]->poz.front();
        const double margin =
            last ? std::max(warstwaSzer, warstwaGrubosc) + transferMargin : transferMargin;
        f.przestawczyZ = std::max(maxMotionHeightAlong(end, next) + margin, startZ + margin);
    }
}

} // namespace korvane
