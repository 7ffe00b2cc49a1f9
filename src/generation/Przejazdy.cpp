#include "generation/Przejazdy.h"

#include "foundation/State.h"
#include "generation/StereoWarstwa.h"
#include "geometry/SegmentCrossing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double gridCell = 2.0; // mm

long long cellOf(double v) {
    return static_cast<long long>(std::floor(v / gridCell));
}

std::int64_t key(long long x, long long y) {
    return (x << 32) ^ (y & 0xFFFFFFFFLL);
}

TrPkt3D point(double x, double y, double z) {
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

// Every segment of `path` starts inside the model's rectangle and crosses no
// outline of the layer.
bool passes(const OutlineSegments& outlines, int layer, const std::vector<TrPkt3D>& path) {
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        const TrPkt3D& a = path[i];
        if (a.x < 0 || a.y < 0 || a.x > modelSize.x || a.y > modelSize.y) return false;
        if (outlines.crosses(layer, a, path[i + 1])) return false;
    }
    return true;
}

// The arc from p to q round the centre moved `offset` to the side of the
// chord; counter-clockwise when f = 0 and offset >= 0 or f = 1 and offset < 0.
std::vector<TrPkt3D> arc(const TrPkt3D& p, const TrPkt3D& q, double offset, int f) {
    const double side = katBiegunowy(q.x, q.y, p.x, p.y) + pi / 2;
    const double cx = (double(p.x) + q.x) / 2 + offset * std::cos(side);
    const double cy = (double(p.y) + q.y) / 2 + offset * std::sin(side);
    const double radius = std::hypot(p.x - cx, p.y - cy);
    const double from = katBiegunowy(p.x, p.y, cx, cy);
    double to = katBiegunowy(q.x, q.y, cx, cy);
    std::vector<TrPkt3D> path{p};
    if (p.z != q.z)
        path.push_back(point(cx + radius * std::cos(from), cy + radius * std::sin(from), q.z));
    const bool ccw = (f == 0 && offset >= 0) || (f == 1 && offset < 0);
    constexpr double step = pi / 16;
    if (ccw) {
        while (to <= from) to += 2 * pi;
        for (double a = from + step; a < to; a += step)
            path.push_back(point(cx + radius * std::cos(a), cy + radius * std::sin(a), q.z));
    } else {
        while (to >= from) to -= 2 * pi;
        for (double a = from - step; a > to; a -= step)
            path.push_back(point(cx + radius * std::cos(a), cy + radius * std::sin(a), q.z));
    }
    path.push_back(q);
    return path;
}

std::vector<TrPkt3D> hop(const TrPkt3D& p, const TrPkt3D& q) {
    std::vector<TrPkt3D> path{p};
    for (int i = 1; i <= 15; ++i) {
        const double u = (i / 16.0 - 0.5) * pi, t = (1 + std::sin(u)) / 2;
        path.push_back(point(p.x + (double(q.x) - p.x) * t, p.y + (double(q.y) - p.y) * t,
                             p.z + 3 * std::cos(u)));
    }
    path.push_back(q);
    return path;
}

} // namespace

OutlineSegments::OutlineSegments(const FigureList& figures) {
    for (const auto& f : figures) {
        if (!f->glowna) continue;
        Layer& layer = layers_[f->NrWarstwy];
        for (size_t i = 0; i + 1 < f->poz.size(); ++i) {
            const TrPkt3D &a = f->poz[i], &b = f->poz[i + 1];
            const int id = static_cast<int>(layer.segments.size());
            layer.segments.push_back({a, b});
            for (long long x = cellOf(std::min(a.x, b.x)); x <= cellOf(std::max(a.x, b.x)); ++x)
                for (long long y = cellOf(std::min(a.y, b.y)); y <= cellOf(std::max(a.y, b.y)); ++y)
                    layer.cells[key(x, y)].push_back(id);
        }
    }
}

bool OutlineSegments::crosses(int layerNumber, const TrPkt3D& a, const TrPkt3D& b) const {
    const auto it = layers_.find(layerNumber);
    if (it == layers_.end()) return false;
    const Layer& layer = it->second;
    if (seen_.size() < layer.segments.size()) seen_.resize(layer.segments.size(), 0);
    if (++stamp_ == 0) std::fill(seen_.begin(), seen_.end(), 0u), stamp_ = 1;
    for (long long x = cellOf(std::min(a.x, b.x)); x <= cellOf(std::max(a.x, b.x)); ++x)
        for (long long y = cellOf(std::min(a.y, b.y)); y <= cellOf(std::max(a.y, b.y)); ++y) {
            const auto cell = layer.cells.find(key(x, y));
            if (cell == layer.cells.end()) continue;
            for (int id : cell->second) {
                if (seen_[size_t(id)] == stamp_) continue;
                seen_[size_t(id)] = stamp_;
                const auto& [c, d] = layer.segments[size_t(id)];
                double cx, cy;
                if (segmentsCross(a, b, c, d, cx, cy)) return true;
            }
        }
    return false;
}

std::vector<TrPkt3D> detour(const OutlineSegments& outlines, int layer, const TrPkt3D& p,
                            const TrPkt3D& q) {
    const double d = distance3(p, q), step = 0.2 * d;
    if (!(step > 0)) return {p, q};
    auto attempt = [&](double offset, int f, std::vector<TrPkt3D>& out) {
        out = arc(p, q, offset, f);
        return passes(outlines, layer, out);
    };
    std::vector<TrPkt3D> path;
    // Runs from the far side of each direction towards the chord; each ends
    // after a rejected offset on the chord's other side.
    for (double o = -2 * d;; o += step) {
        if (attempt(o, 0, path)) return path;
        if (o >= 0) break;
    }
    for (double o = 2 * d;; o -= step) {
        if (attempt(o, 0, path)) return path;
        if (o < 0) break;
    }
    for (double o = -0.5 * d;; o += step) {
        if (attempt(o, 1, path)) return path;
        if (o >= 0) break;
    }
    if (attempt(0.5 * d, 1, path)) return path;
    for (double o = 0.5 * d - step;; o -= step) {
        if (attempt(o, 0, path)) return path;
        if (o < 0) break;
    }
    return hop(p, q);
}

void dodajPrzejazdy(FigureList& figures, const std::function<void(double)>& progress) {
    const OutlineSegments outlines(figures);
    auto isPath = [&](size_t i) { return !figures[i]->glowna; };
    FigureList linked;
    linked.reserve(figures.size());
    const size_t count = figures.size();
    for (size_t r = 0; r < count; ++r) {
        tFigura& from = *figures[r];
        const bool source = isPath(r) && from.Przestawcza == 0 && !from.poz.empty();
        linked.push_back(std::move(figures[r]));
        if (!source) continue;
        size_t s = r + 1;
        while (s < count && !isPath(s)) ++s;
        if (s >= count || figures[s]->poz.empty()) continue;
        const tFigura& to = *figures[s];
        const TrPkt3D p = from.poz.back(), q = to.poz.front();
        if (!outlines.crosses(from.NrWarstwy, p, q) && !outlines.crosses(to.NrWarstwy, p, q))
            continue;
        auto link = std::make_unique<tFigura>();
        link->poz = detour(outlines, from.NrWarstwy, p, q);
        link->Przestawcza = 1;
        link->NrWarstwy = from.NrWarstwy;
        link->przestawczyZ = from.przestawczyZ;
        link->zamknieta = false;
        link->grupa = from.grupa;
        link->nowyNumer = from.nowyNumer + 1;
        link->PoliczSrodek();
        link->PoliczDlugosc();
        linked.push_back(std::move(link));
        if (progress && r % 256 == 0) progress(double(r) / double(count));
    }
    figures = std::move(linked);
}

} // namespace korvane
