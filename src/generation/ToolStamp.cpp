#include "generation/ToolStamp.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/MotionMap.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace korvane {

namespace {

int cellIndex(double v) {
    return static_cast<int>(roundHalfEven(v / pixelSize));
}

struct CellSample {
    int ix = 0, iy = 0;
    float z = 0;
};

// The cells of the n + 1 samples at k / n of the way from a to b (both ends
// included; a alone and b alone when n is 0), with the height there.
void sampleSegment(const TrPkt3D& a, const TrPkt3D& b, std::int64_t n,
                   std::vector<CellSample>& samples) {
    samples.clear();
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
    if (n == 0) {
        samples.push_back({cellIndex(a.x), cellIndex(a.y), a.z});
        samples.push_back({cellIndex(b.x), cellIndex(b.y), b.z});
        return;
    }
    for (std::int64_t i = 0; i <= n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        samples.push_back(
            {cellIndex(a.x + t * dx), cellIndex(a.y + t * dy), static_cast<float>(a.z + t * dz)});
    }
}

// Samples that walk one column (along y) or one row (along x) cell by cell at
// one height: the cells from..to of that line, every one of them visited.
struct StraightRun {
    bool valid = false;
    bool alongY = true;
    int line = 0; // the column's ix or the row's iy
    int from = 0, to = 0;
    float z = 0;
};

StraightRun straightRun(const std::vector<CellSample>& samples) {
    const CellSample& first = samples.front();
    bool alongY = true, alongX = true;
    int y0 = first.iy, y1 = first.iy, x0 = first.ix, x1 = first.ix;
    for (size_t k = 1; k < samples.size(); ++k) {
        const CellSample &s = samples[k], &previous = samples[k - 1];
        if (s.z != first.z) return {};
        alongY = alongY && s.ix == first.ix && std::abs(s.iy - previous.iy) <= 1;
        alongX = alongX && s.iy == first.iy && std::abs(s.ix - previous.ix) <= 1;
        y0 = std::min(y0, s.iy), y1 = std::max(y1, s.iy);
        x0 = std::min(x0, s.ix), x1 = std::max(x1, s.ix);
    }
    // Steps of at most one cell leave no gap: the cells are exactly from..to.
    if (alongY) return {true, true, first.ix, y0, y1, first.z};
    if (alongX) return {true, false, first.iy, x0, x1, first.z};
    return {};
}

// The tool's lines across the run (columns for a run along y, rows for one
// along x) and the cell of line offset `across` and run coordinate `along`.
template <class Cell, class Layer>
Cell& runCell(Layer& layer, const StraightRun& run, int across, int along) {
    return run.alongY ? layer[across][along] : layer[along][across];
}

// Clears `flag` under the tool standing on every cell of the run: in each
// tool line across the run the cells are the union of the run shifted by the
// line's points.
void clearRun(const StraightRun& run, const ToolShape& tool, std::int32_t flag) {
    const ToolLines& lines = run.alongY ? tool.byColumn : tool.byRow;
    const int lastAcross = run.alongY ? rasterSizeX : rasterSizeY;
    const int lastAlong = run.alongY ? rasterSizeY : rasterSizeX;
    for (size_t c = 0; c < lines.lines.size(); ++c) {
        const int across = run.line + lines.first + static_cast<int>(c);
        if (across < 0 || across > lastAcross) continue;
        int clearedTo = INT_MIN; // cells before this are done
        for (const ToolLines::Point& q : lines.lines[c]) {
            const int from = std::max({0, run.from + q.along, clearedTo});
            const int to = std::min(lastAlong, run.to + q.along);
            for (int t = from; t <= to; ++t)
                runCell<tpix2Drecord>(cellStatus, run, across, t).stat &= ~flag;
            clearedTo = std::max(clearedTo, to + 1);
        }
    }
}

// Lowers the material under the tool standing on every cell of the run at its
// height: in each tool line across the run a target takes the lowest point of
// the line whose offset lies within the run's reach of it (a sliding minimum),
// so that each target is written once per line.
void lowerRun(const StraightRun& run, const ToolShape& tool, int lastX, int lastY,
              std::vector<size_t>& window) {
    const ToolLines& lines = run.alongY ? tool.byColumn : tool.byRow;
    const int lastAcross = run.alongY ? lastX : lastY;
    const int lastAlong = run.alongY ? lastY : lastX;
    for (size_t c = 0; c < lines.lines.size(); ++c) {
        const std::vector<ToolLines::Point>& points = lines.lines[c];
        const int across = run.line + lines.first + static_cast<int>(c);
        if (points.empty() || across < 0 || across > lastAcross) continue;
        const int from = std::max(0, run.from + points.front().along);
        const int to = std::min(lastAlong, run.to + points.back().along);
        window.clear();
        size_t head = 0, next = 0;
        for (int t = from; t <= to; ++t) {
            // Points with t - to <= offset <= t - from reach t from some cell of the run.
            for (; next < points.size() && points[next].along <= t - run.from; ++next) {
                while (window.size() > head && points[window.back()].dz >= points[next].dz)
                    window.pop_back();
                window.push_back(next);
            }
            while (head < window.size() && points[window[head]].along < t - run.to) ++head;
            if (head == window.size()) continue;
            float& m = runCell<float>(materialHeights, run, across, t);
            m = std::min(m, run.z + points[window[head]].dz);
        }
    }
}

} // namespace

std::span<const TPkt3D> sweepPoints(const TFrez& frez) {
    static const TPkt3D centre{};
    if (frez.Powierzchnia.empty()) return {&centre, 1};
    return frez.Powierzchnia;
}

ToolLines::ToolLines(std::span<const TPkt3D> tool, bool columns) {
    if (tool.empty()) return;
    auto across = [&](const TPkt3D& q) { return columns ? q.x : q.y; };
    auto along = [&](const TPkt3D& q) { return columns ? q.y : q.x; };
    const auto [low, high] =
        std::minmax_element(tool.begin(), tool.end(), [&](const TPkt3D& a, const TPkt3D& b) {
            return across(a) < across(b);
        });
    first = across(*low);
    lines.resize(size_t(across(*high) - first) + 1);
    for (const TPkt3D& q : tool) lines[size_t(across(q) - first)].push_back({along(q), q.z});
    for (auto& line : lines)
        std::sort(line.begin(), line.end(),
                  [](const Point& a, const Point& b) { return a.along < b.along; });
}

ToolShape::ToolShape(std::span<const TPkt3D> tool)
    : byColumn(tool, true), byRow(tool, false), points(tool.begin(), tool.end()) {
    if (tool.empty()) return;
    flat = std::all_of(tool.begin(), tool.end(),
                       [&](const TPkt3D& q) { return q.z == tool.front().z; });
    const int x0 = byColumn.first, y0 = byRow.first;
    const int width = static_cast<int>(byColumn.lines.size());
    const int height = static_cast<int>(byRow.lines.size());
    std::vector<char> covered(size_t(width) * size_t(height), 0);
    for (const TPkt3D& q : tool) covered[size_t(q.x - x0) * size_t(height) + size_t(q.y - y0)] = 1;
    auto has = [&](int x, int y) {
        return x >= x0 && y >= y0 && x < x0 + width && y < y0 + height &&
               covered[size_t(x - x0) * size_t(height) + size_t(y - y0)];
    };
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx == 0 && dy == 0) continue;
            for (const TPkt3D& q : tool)
                if (!has(q.x + dx, q.y + dy))
                    leadingEdge[size_t((dx + 1) * 3 + dy + 1)].push_back(q);
        }
}

void clearUnderTool(const tFigura& f, const ToolShape& tool, std::int32_t flag) {
    std::vector<CellSample> samples;
    int lastX = INT_MIN, lastY = INT_MIN;
    for (size_t k = 1; k < f.poz.size(); ++k) {
        const TrPkt3D &a = f.poz[k - 1], &b = f.poz[k];
        const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
        sampleSegment(a, b, roundHalfEven(std::max(std::fabs(dx), std::fabs(dy)) / pixelSize),
                      samples);
        if (const StraightRun run = straightRun(samples); run.valid) {
            clearRun(run, tool, flag);
            continue;
        }
        for (const CellSample& s : samples) {
            if (s.ix == lastX && s.iy == lastY) continue;
            // The flags only ever get cleared: a step to a neighbour of a cell
            // stamped before needs the tool's leading edge alone.
            const bool step =
                lastX != INT_MIN && std::abs(s.ix - lastX) <= 1 && std::abs(s.iy - lastY) <= 1;
            const std::vector<TPkt3D>& stamp =
                step ? tool.leadingEdge[size_t((s.ix - lastX + 1) * 3 + s.iy - lastY + 1)]
                     : tool.points;
            lastX = s.ix;
            lastY = s.iy;
            for (const TPkt3D& q : stamp) {
                const int tx = s.ix + q.x, ty = s.iy + q.y;
                if (tx < 0 || ty < 0 || tx > rasterSizeX || ty > rasterSizeY) continue;
                cellStatus[tx][ty].stat &= ~flag;
            }
        }
    }
}

namespace {

// The samples lowerMaterial stands the tool on along the move from a to b.
void lowerMaterialSamples(const TrPkt3D& a, const TrPkt3D& b, std::vector<CellSample>& samples) {
    const double length = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
    sampleSegment(a, b, roundHalfEven(length / pixelSize * 1.5 + 1), samples);
}

// The lowest height the tip may have at p: the map of p's cell, and the map
// interpolated at p, rounded up to a single.
float mapFloor(const TrPkt3D& p) {
    const double between = motionHeightInterpolated(p);
    float floor = static_cast<float>(between);
    if (floor < between) floor = std::nextafter(floor, INFINITY);
    return std::max(floor, motionHeightAt(cellIndex(p.x), cellIndex(p.y)));
}

// Raises z by `by`, and by one step of a single at least.
void raise(float& z, float by) {
    const float raised = z + by;
    z = raised > z ? raised : std::nextafter(z, INFINITY);
}

} // namespace

void keepAboveMotionMap(tFigura& f) {
    for (TrPkt3D& p : f.poz) p.z = std::max(p.z, mapFloor(p));
    std::vector<CellSample> samples;
    // A lifted move lifts the ends of its neighbours too, which only raises
    // them; a last round finds every move clear.
    for (bool lifted = true; lifted;) {
        lifted = false;
        for (size_t k = 1; k < f.poz.size();) {
            lowerMaterialSamples(f.poz[k - 1], f.poz[k], samples);
            size_t worst = 0;
            float deficit = 0;
            for (size_t i = 1; i + 1 < samples.size(); ++i) {
                const CellSample& s = samples[i];
                const float d = motionHeightAt(s.ix, s.iy) - s.z;
                if (d > deficit) worst = i, deficit = d;
            }
            if (worst == 0) {
                ++k;
                continue;
            }
            lifted = true;
            TrPkt3D &a = f.poz[k - 1], &b = f.poz[k];
            if (samples.size() <= 3) {
                raise(a.z, deficit);
                raise(b.z, deficit);
                continue;
            }
            const double t = double(worst) / double(samples.size() - 1);
            TrPkt3D q{static_cast<float>(a.x + t * (double(b.x) - a.x)),
                      static_cast<float>(a.y + t * (double(b.y) - a.y)),
                      motionHeightAt(samples[worst].ix, samples[worst].iy)};
            q.z = std::max(q.z, mapFloor(q));
            f.poz.insert(f.poz.begin() + static_cast<std::ptrdiff_t>(k), q);
        }
    }
}

void lowerMaterial(const tFigura& f, const ToolShape& tool) {
    // A stock model's layer may be smaller than the raster.
    const int lastX = std::min(rasterSizeX, materialHeights.columns() - 1);
    const int lastY = std::min(rasterSizeY, materialHeights.rows() - 1);
    std::vector<CellSample> samples;
    std::vector<size_t> window;
    CellSample previous{INT_MIN, INT_MIN, 0};
    for (size_t k = 1; k < f.poz.size(); ++k) {
        lowerMaterialSamples(f.poz[k - 1], f.poz[k], samples);
        if (const StraightRun run = straightRun(samples); run.valid) {
            lowerRun(run, tool, lastX, lastY, window);
            continue;
        }
        for (const CellSample& s : samples) {
            // The same cell again at the same height or higher lowers nothing more.
            if (s.ix == previous.ix && s.iy == previous.iy && s.z >= previous.z) continue;
            // Under a flat tool the cells it covered before are no higher than
            // that height: a step to a neighbour no lower needs the leading edge alone.
            const bool step = tool.flat && previous.ix != INT_MIN && s.z >= previous.z &&
                              std::abs(s.ix - previous.ix) <= 1 &&
                              std::abs(s.iy - previous.iy) <= 1;
            const std::vector<TPkt3D>& stamp =
                step ? tool.leadingEdge[size_t((s.ix - previous.ix + 1) * 3 + s.iy - previous.iy +
                                               1)]
                     : tool.points;
            previous = s;
            for (const TPkt3D& q : stamp) {
                const int tx = s.ix + q.x, ty = s.iy + q.y;
                if (tx < 0 || ty < 0 || tx > lastX || ty > lastY) continue;
                float& m = materialHeights[tx][ty];
                m = std::min(m, s.z + q.z);
            }
        }
    }
}

} // namespace korvane
