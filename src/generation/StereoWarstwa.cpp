#include "generation/StereoWarstwa.h"

#include "foundation/State.h"
#include "generation/RawDoPixWatek.h"
#include "geometry/SegmentCrossing.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <optional>
#include <unordered_map>

namespace korvane {

namespace {

float lowest(const TTrojkat& t) {
    return std::min({t.a.z, t.b.z, t.c.z});
}

float highest(const TTrojkat& t) {
    return std::max({t.a.z, t.b.z, t.c.z});
}

// The cut of the edge p-q by the plane z.
TrPkt3D cutEdge(const TrPkt3D& p, const TrPkt3D& q, double z) {
    const double e = (z - p.z) / (double(q.z) - p.z);
    return {static_cast<float>(p.x + e * (double(q.x) - p.x)),
            static_cast<float>(p.y + e * (double(q.y) - p.y)), static_cast<float>(z)};
}

double distance2(const TrPkt3D& a, const TrPkt3D& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return dx * dx + dy * dy + dz * dz;
}

// The segments of one cut joined into polylines. Ends are found through a grid
// of cells as large as the wider join tolerance, so a join looks at the few ends
// near it; the choice among them is the one a scan of every end in list order
// makes: the nearest, and among equal distances the end met last.
class SegmentJoiner {
  public:
    explicit SegmentJoiner(std::vector<std::deque<TrPkt3D>> chains)
        : chains_(std::move(chains)), alive_(chains_.size(), true) {
        for (size_t i = 0; i < chains_.size(); ++i) {
            insert(int(i), 0);
            insert(int(i), 1);
        }
    }

    std::vector<std::deque<TrPkt3D>> join() {
        for (size_t q = 0; q < chains_.size(); ++q) {
            if (!alive_[q]) continue;
            for (bool joined = true; joined;) {
                joined = joinFront(int(q));
                joined = joinBack(int(q)) || joined;
            }
        }
        std::vector<std::deque<TrPkt3D>> result;
        for (size_t q = 0; q < chains_.size(); ++q)
            if (alive_[q]) result.push_back(std::move(chains_[q]));
        return result;
    }

  private:
    static constexpr double cell = 0.01;
    struct End {
        int chain;
        int which; // 0 first point, 1 last point
    };

    const TrPkt3D& endPoint(const End& e) const {
        const auto& c = chains_[size_t(e.chain)];
        return e.which == 0 ? c.front() : c.back();
    }
    static std::int64_t key(long long cx, long long cy) { return (cx << 32) ^ (cy & 0xFFFFFFFFLL); }
    static long long cellOf(double v) { return static_cast<long long>(std::floor(v / cell)); }
    void insert(int chain, int which) {
        const TrPkt3D& p = endPoint({chain, which});
        grid_[key(cellOf(p.x), cellOf(p.y))].push_back({chain, which});
    }
    void erase(int chain, int which) {
        const TrPkt3D& p = endPoint({chain, which});
        auto& bucket = grid_[key(cellOf(p.x), cellOf(p.y))];
        for (size_t k = 0; k < bucket.size(); ++k)
            if (bucket[k].chain == chain && bucket[k].which == which) {
                bucket.erase(bucket.begin() + std::ptrdiff_t(k));
                return;
            }
    }

    // The end of another chain nearest to p and closer than `tolerance`; of
    // equal distances the one a scan in list order meets last.
    std::optional<End> nearest(int q, const TrPkt3D& p, double tolerance) const {
        const double limit = tolerance * tolerance;
        std::optional<End> best;
        double bestD = 0;
        const long long cx = cellOf(p.x), cy = cellOf(p.y);
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy) {
                const auto it = grid_.find(key(cx + dx, cy + dy));
                if (it == grid_.end()) continue;
                for (const End& e : it->second) {
                    if (e.chain == q) continue;
                    const double d = distance2(p, endPoint(e));
                    if (d >= limit) continue;
                    const bool later = best && (e.chain > best->chain ||
                                                (e.chain == best->chain && e.which > best->which));
                    if (!best || d < bestD || (d == bestD && later)) {
                        best = e;
                        bestD = d;
                    }
                }
            }
        return best;
    }

    // Absorbs chain `other` whole; its ends leave the grid.
    void retire(int other) {
        erase(other, 0);
        erase(other, 1);
        alive_[size_t(other)] = false;
    }

    bool joinFront(int q) {
        auto& chain = chains_[size_t(q)];
        const auto other = nearest(q, chain.front(), 0.001);
        if (!other) return false;
        auto& o = chains_[size_t(other->chain)];
        retire(other->chain);
        erase(q, 0);
        if (other->which == 0) // its points from the second on, reversed, in front
            for (size_t k = 1; k < o.size(); ++k) chain.push_front(o[k]);
        else // its points up to the next-to-last, in their order, in front
            for (size_t k = o.size() - 1; k-- > 0;) chain.push_front(o[k]);
        o.clear();
        insert(q, 0);
        return true;
    }

    bool joinBack(int q) {
        auto& chain = chains_[size_t(q)];
        const auto other = nearest(q, chain.back(), 0.01);
        if (!other) return false;
        auto& o = chains_[size_t(other->chain)];
        retire(other->chain);
        erase(q, 1);
        if (other->which == 0)
            for (size_t k = 1; k < o.size(); ++k) chain.push_back(o[k]);
        else
            for (size_t k = o.size() - 1; k-- > 0;) chain.push_back(o[k]);
        o.clear();
        insert(q, 1);
        return true;
    }

    std::vector<std::deque<TrPkt3D>> chains_;
    std::vector<bool> alive_;
    std::unordered_map<std::int64_t, std::vector<End>> grid_;
};

// The hatch lines over the model's extents at `angle` (in -pi/2..pi/2) and
// `spacing` mm apart, each as its start and end.
std::vector<std::pair<TrPkt3D, TrPkt3D>> hatchLines(double angle, double s) {
    constexpr double eps = 0.001;
    const double x0 = modelExtents.minX, y0 = modelExtents.minY;
    const double x1 = modelExtents.maxX, y1 = modelExtents.maxY;
    std::vector<std::pair<TrPkt3D, TrPkt3D>> lines;
    auto add = [&](double ax, double ay, double bx, double by) {
        lines.push_back({{float(ax), float(ay), 0}, {float(bx), float(by), 0}});
    };
    if (!(s > 0)) return lines;
    if (std::fabs(angle) < 0.001) {
        for (int k = 0; y0 - eps + k * s <= y1; ++k) {
            const double y = y0 - eps + k * s;
            add(x0 - eps, y, x1 + eps, y);
        }
    } else if (std::numbers::pi / 2 - std::fabs(angle) < 0.001) {
        for (int k = 0; x0 - eps + k * s <= x1; ++k) {
            const double x = x0 - eps + k * s;
            add(x, y0 - eps, x, y1 + eps);
        }
    } else if (angle > 0) {
        const double t = std::tan(angle), step = s / std::cos(angle);
        for (int k = 0; y0 - t * x1 + k * step <= y1 - t * x0; ++k) {
            const double g = y0 - t * x1 + k * step;
            const double sx = g >= 0 ? x0 - eps : (y0 - eps - g) / t;
            const double ex = std::min(x1 + eps, (y1 + eps - g) / t);
            add(sx, t * sx + g, ex, t * ex + g);
        }
    } else {
        const double t = std::tan(angle), step = s / std::cos(angle);
        for (int k = 0; y1 - t * x1 - k * step >= y0; ++k) {
            const double g = y1 - t * x1 - k * step;
            const double sx = g > y1 ? (y1 + eps - g) / t : x0 - eps;
            const double yEnd = t * (x1 + eps) + g;
            const double ex = yEnd < 0 ? (y0 - eps - g) / t : x1 + eps;
            add(sx, t * sx + g, ex, t * ex + g);
        }
    }
    return lines;
}

struct Crossing {
    double x, y;
    int figure;
};

} // namespace

std::optional<std::pair<TrPkt3D, TrPkt3D>> przekrojTrojkata(const TTrojkat& t, double z) {
    const TrPkt3D* v[3] = {&t.a, &t.b, &t.c};
    const bool high[3] = {t.a.z >= z, t.b.z >= z, t.c.z >= z};
    const int highs = high[0] + high[1] + high[2];
    if (highs == 0 || highs == 3) return std::nullopt;
    int lone = 0;
    for (int k = 0; k < 3; ++k)
        if (high[k] == (highs == 1)) lone = k;
    const int m = lone == 0 ? 1 : 0, n = lone == 2 ? 1 : 2;
    return std::pair{cutEdge(*v[lone], *v[m], z), cutEdge(*v[lone], *v[n], z)};
}

double katBiegunowy(double px, double py, double cx, double cy) {
    constexpr double pi = std::numbers::pi;
    if (px == cx) return py <= cy ? 3 * pi / 2 : pi / 2;
    if (py == cy) return px < cx ? pi : 0;
    const double a = std::atan((py - cy) / (px - cx));
    if (px > cx) return a > 0 ? a : a + 2 * pi;
    return a + pi;
}

tStereoWarstwa::tStereoWarstwa(const TriangleList& triangles) : triangles_(triangles) {
    byLowest_.resize(triangles_.size());
    for (size_t i = 0; i < byLowest_.size(); ++i) byLowest_[i] = int(i);
    std::stable_sort(byLowest_.begin(), byLowest_.end(), [&](int a, int b) {
        return lowest(triangles_[size_t(a)]) < lowest(triangles_[size_t(b)]);
    });
    thread_ = std::thread([this] { loop(); });
}

tStereoWarstwa::~tStereoWarstwa() {
    finish();
}

void tStereoWarstwa::loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return cutRequested_ || endRequested_; });
        if (endRequested_) break;
        lock.unlock();
        Execute();
        lock.lock();
        cutRequested_ = false;
        wake_.notify_all();
    }
    zakonczona = true;
    wake_.notify_all();
}

void tStereoWarstwa::resume() {
    std::lock_guard lock(mutex_);
    cutRequested_ = true;
    wake_.notify_all();
}

void tStereoWarstwa::waitSuspended() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [&] { return !cutRequested_; });
}

void tStereoWarstwa::finish() {
    {
        std::lock_guard lock(mutex_);
        endRequested_ = true;
        wake_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
}

const std::vector<int>& tStereoWarstwa::crossingTriangles(double z) {
    if (!swept_ || z < sweptTo_) { // a plane below the last one: sweep afresh
        nextLowest_ = 0;
        active_.clear();
    }
    swept_ = true;
    sweptTo_ = z;
    const size_t before = active_.size();
    while (nextLowest_ < byLowest_.size() && lowest(triangles_[size_t(byLowest_[nextLowest_])]) < z)
        active_.push_back(byLowest_[nextLowest_++]);
    std::sort(active_.begin() + std::ptrdiff_t(before), active_.end());
    std::inplace_merge(active_.begin(), active_.begin() + std::ptrdiff_t(before), active_.end());
    std::erase_if(active_, [&](int i) { return highest(triangles_[size_t(i)]) < z; });
    return active_;
}

void tStereoWarstwa::Execute() {
    const double z = ZWarstwy;
    std::vector<std::deque<TrPkt3D>> segments;
    for (int i : crossingTriangles(z))
        if (const auto s = przekrojTrojkata(triangles_[size_t(i)], z))
            segments.push_back({s->first, s->second});
    const int start = ilosci.Start;
    for (auto& chain : SegmentJoiner(std::move(segments)).join()) {
        if (chain.size() <= 2) continue; // a segment that joined nothing
        auto f = std::make_unique<tFigura>();
        f->poz.assign(chain.begin(), chain.end());
        f->plaszczyzna = false;
        f->warstwa = false;
        f->nowyNumer = -1;
        f->obrys = 1;
        f->glowna = true;
        f->zamknieta = samePoint(f->poz.front(), f->poz.back());
        f->doUsuniecia = false;
        if (!f->zamknieta) ++ilosci.iloscOtwartych;
        f->PoliczSrodek();
        f->PoliczDlugosc();
        addFigure(std::move(f));
    }
    ilosci.iloscGlownych = static_cast<int>(figureList.size()) - start;
}

void tStereoWarstwa::zakreskuj(int start, int koniec, double kat, double odstep) {
    constexpr double pi = std::numbers::pi;
    aktualnyNrKreski = 0;
    while (kat > pi / 2) kat -= pi;
    while (kat < -pi / 2) kat += pi;
    const auto lines = hatchLines(kat, odstep);
    if (lines.empty()) return;
    // Each outline segment is tried only on the lines whose offset across the
    // hatch direction its own span reaches.
    const double nx = -std::sin(kat), ny = std::cos(kat);
    auto offset = [&](const TrPkt3D& p) { return nx * p.x + ny * p.y; };
    std::vector<double> lineOffset(lines.size());
    for (size_t k = 0; k < lines.size(); ++k) lineOffset[k] = offset(lines[k].first);
    const bool rising = lineOffset.back() >= lineOffset.front();
    std::vector<std::vector<Crossing>> crossings(lines.size());
    for (int fi = start; fi <= koniec; ++fi) {
        const auto& poz = figureList[size_t(fi)]->poz;
        for (size_t i = 0; i + 1 < poz.size(); ++i) {
            double lo = offset(poz[i]), hi = offset(poz[i + 1]);
            if (lo > hi) std::swap(lo, hi);
            lo -= 1e-3;
            hi += 1e-3;
            size_t a, b; // the lines with offsets in [lo, hi]
            if (rising) {
                a = size_t(std::lower_bound(lineOffset.begin(), lineOffset.end(), lo) -
                           lineOffset.begin());
                b = size_t(std::upper_bound(lineOffset.begin(), lineOffset.end(), hi) -
                           lineOffset.begin());
            } else {
                a = size_t(
                    std::lower_bound(lineOffset.begin(), lineOffset.end(), hi, std::greater<>()) -
                    lineOffset.begin());
                b = size_t(
                    std::upper_bound(lineOffset.begin(), lineOffset.end(), lo, std::greater<>()) -
                    lineOffset.begin());
            }
            for (size_t k = a; k < b; ++k) {
                double x, y;
                if (segmentsCross(lines[k].first, lines[k].second, poz[i], poz[i + 1], x, y))
                    crossings[k].push_back({x, y, fi});
            }
        }
    }
    const float z = static_cast<float>(ZWarstwy);
    for (size_t k = 0; k < lines.size(); ++k) {
        auto& c = crossings[k];
        const bool descending = k % 2 == 0;
        std::sort(c.begin(), c.end(), [&](const Crossing& a, const Crossing& b) {
            if (a.x != b.x) return descending ? a.x > b.x : a.x < b.x;
            return a.y < b.y;
        });
        if (c.size() % 2 != 0) continue;
        for (size_t i = 0; i + 1 < c.size(); i += 2) {
            auto f = std::make_unique<tFigura>();
            f->poz = {{float(c[i].x), float(c[i].y), z}, {float(c[i + 1].x), float(c[i + 1].y), z}};
            f->plaszczyzna = false;
            f->warstwa = false;
            f->pomocnicza3D = true;
            f->PoliczSrodek();
            f->PoliczDlugosc();
            f->nowyNumer = -1;
            f->nrKreski = aktualnyNrKreski++;
            tFigura& first = *figureList[size_t(c[i].figure)];
            tFigura& second = *figureList[size_t(c[i + 1].figure)];
            if (!first.zewnetrzna && !first.wewnetrzna) first.zewnetrzna = true;
            if (&second != &first && !second.zewnetrzna && !second.wewnetrzna)
                second.wewnetrzna = true;
            addFigure(std::move(f));
        }
    }
}

void tStereoWarstwa::zakreskujBitmape(int start, int koniec, tpix2d& p2D) const {
    for (int fi = start; fi <= koniec; ++fi) {
        const auto& poz = figureList[size_t(fi)]->poz;
        for (size_t i = 0; i + 1 < poz.size(); ++i) rasteriseSegment(p2D, poz[i], poz[i + 1]);
    }
}

void tStereoWarstwa::UstawZ(int start, int koniec) const {
    for (int fi = start; fi <= koniec; ++fi)
        for (TrPkt3D& p : figureList[size_t(fi)]->poz) p.z = static_cast<float>(ZWarstwy);
}

} // namespace korvane
