#include "generation/Zgrubna.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/Kreski.h"
#include "generation/Redukcja.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace korvane {

namespace {

// Material thinner than this above a layer is none: a layer that an earlier
// roughing cut down to exactly this height is not cut again.
constexpr double materialTolerance = 0.001;

int cellIndex(double v) {
    return static_cast<int>(roundHalfEven(v / pixelSize));
}

double highestMaterial() {
    float top = 0;
    for (float h : materialHeights.cells()) top = std::max(top, h);
    return top;
}

// The top of the stock: the block's height, the highest cell of a stock model
// (never below the model), else the model's top.
double stockTop() {
    if (project) {
        const TMaterial& m = project->d.material;
        if (m.zrodlo == materialBlock) return static_cast<double>(m.rozmZ);
        if (m.zrodlo == materialFile) return std::max<double>(modelSize.z, highestMaterial());
    }
    return modelSize.z;
}

double lowestMotionHeight() {
    const int columns = std::min(rasterSizeX + 1, motionHeights.columns());
    const int rows = std::min(rasterSizeY + 1, motionHeights.rows());
    float low = INFINITY;
    for (int ix = 0; ix < columns; ++ix)
        for (int iy = 0; iy < rows; ++iy) low = std::min(low, motionHeights[ix][iy]);
    return low;
}

// Rows of column ix at which the tool standing at z meets material: a cell
// under its outline holds material more than materialTolerance above z. A
// stroke cell's own material is not enough to go by: a ridge left beside a wall
// lies under the tool, not under its centre.
std::vector<char> materialInReach(int ix, double z, const ToolShape& tool) {
    const int rows = rasterSizeY + 1;
    std::vector<char> reach(size_t(rows), 0);
    // Reads beyond the material layer answer its edge, as materialHeightAt does.
    const int lastX = std::min(rasterSizeX, materialHeights.columns() - 1);
    const int lastY = std::min(rasterSizeY, materialHeights.rows() - 1);
    if (lastX < 0 || lastY < 0) return reach;
    std::vector<int> count(size_t(rows) + 1, 0); // cells with material below each row
    const ToolLines& columns = tool.byColumn;
    for (size_t k = 0; k < columns.lines.size(); ++k) {
        if (columns.lines[k].empty()) continue;
        const int low = columns.lines[k].front().along, high = columns.lines[k].back().along;
        const int cx = std::clamp(ix + columns.first + static_cast<int>(k), 0, lastX);
        const float* material = materialHeights[cx].data();
        for (int iy = 0; iy < rows; ++iy)
            count[size_t(iy) + 1] =
                count[size_t(iy)] + (material[std::min(iy, lastY)] > z + materialTolerance);
        if (count[size_t(rows)] == 0) continue;
        // Rows beyond the raster read its edge row, as the clamped reads do.
        for (int iy = 0; iy < rows; ++iy) {
            const int a = std::clamp(iy + low, 0, rows - 1), b = std::clamp(iy + high, 0, rows - 1);
            if (count[size_t(b) + 1] > count[size_t(a)]) reach[size_t(iy)] = 1;
        }
    }
    return reach;
}

// The strokes of one column: runs of cells that the tool reaches at z with
// material in reach.
bool scanColumn(int ix, double z, const ToolShape& tool) {
    const std::vector<char> reach = materialInReach(ix, z, tool);
    auto cuts = [&](int iy) { return motionHeightAt(ix, iy) <= z && reach[size_t(iy)]; };
    bool any = false;
    const float x = static_cast<float>(ix * pixelSize);
    for (int iy = 0; iy <= rasterSizeY; ++iy) {
        if (!cuts(iy)) continue;
        const int first = iy;
        while (iy < rasterSizeY && cuts(iy + 1)) ++iy;
        auto f = std::make_unique<tFigura>();
        f->dodajPunktTrPkt3D({x, static_cast<float>(first * pixelSize), static_cast<float>(z)});
        f->dodajPunktTrPkt3D({x, static_cast<float>(iy * pixelSize), static_cast<float>(z)});
        f->fig_ppz = z;
        f->warstwa = true;
        f->PoliczSrodek();
        addFigure(std::move(f));
        any = true;
    }
    return any;
}

bool onBorder(const TrPkt3D& p) {
    return p.y > modelSize.y - pixelSize || p.x > modelSize.x - pixelSize || p.y < pixelSize ||
           p.x < pixelSize;
}

// Strokes start from the border where they can: one that ends on it is turned.
void startFromBorder(size_t first) {
    for (size_t i = first; i < figureList.size(); ++i) {
        std::vector<TrPkt3D>& p = figureList[i]->poz;
        if (!onBorder(p.front()) && onBorder(p.back())) std::reverse(p.begin(), p.end());
    }
}

void markLayerUnmachined() {
    for (auto& cell : cellStatus.cells()) cell.stat |= cellUnmachined;
}

// Area (mm²) of the cells still unmachined in the box of figure j's ends,
// widened by `margin` cells on every side.
double unmachinedArea(const tFigura& j, int margin) {
    const TrPkt3D &a = j.poz.front(), &b = j.poz.back();
    const int x0 = std::max(0, std::min(cellIndex(a.x), cellIndex(b.x)) - margin);
    const int x1 = std::min(rasterSizeX, std::max(cellIndex(a.x), cellIndex(b.x)) + margin);
    const int y0 = std::max(0, std::min(cellIndex(a.y), cellIndex(b.y)) - margin);
    const int y1 = std::min(rasterSizeY, std::max(cellIndex(a.y), cellIndex(b.y)) + margin);
    long long count = 0;
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) count += (cellStatus[x][y].stat & cellUnmachined) != 0;
    return static_cast<double>(count) * pixelSize * pixelSize;
}

// Chains the strokes of one layer into zigzags.
class LayerLinker {
  public:
    LayerLinker(double spacing, double toolDiameter, const ToolShape& tool)
        : spacing_(spacing), diameter_(toolDiameter), tool_(tool) {}

    // From figure `first` on: each figure is passed under the tool, then grown
    // by its nearest neighbours as long as one can be joined.
    void link(size_t first) {
        for (size_t i = first; i < figureList.size(); ++i) {
            if (generationTerminate) return;
            clearUnderTool(*figureList[i], tool_);
            while (join(i)) {
            }
        }
    }

  private:
    struct Candidate {
        size_t index = 0;
        bool reversed = false;
    };

    // The figure after i at the same level whose nearer end lies nearest the
    // end of i, less than five stroke spacings away.
    bool nearest(size_t i, Candidate& best) const {
        const tFigura& f = *figureList[i];
        const TrPkt3D& end = f.poz.back();
        double bestDistance = 5 * spacing_;
        bool found = false;
        for (size_t j = i + 1; j < figureList.size(); ++j) {
            const tFigura& g = *figureList[j];
            if (g.fig_ppz != f.fig_ppz || g.count() < 2) continue;
            const double toFirst = distance3(end, g.poz.front());
            if (toFirst < bestDistance) {
                bestDistance = toFirst;
                best = {j, false};
                found = true;
            }
            const double toLast = distance3(end, g.poz.back());
            if (toLast < bestDistance) {
                bestDistance = toLast;
                best = {j, true};
                found = true;
            }
        }
        return found;
    }

    // Joins the nearest figure to the end of figure i over a connector on the
    // surface, never below the layer. False when there is none, when the
    // neighbourhood of the candidate holds more unmachined cells than it would
    // clear itself, or when no connector could be made.
    bool join(size_t i) {
        tFigura& f = *figureList[i];
        if (f.count() < 2) return false;
        Candidate c;
        if (!nearest(i, c)) return false;
        tFigura& j = *figureList[c.index];
        if (c.reversed) std::reverse(j.poz.begin(), j.poz.end());

        const double p = pixelSize, s = spacing_;
        const double limit =
            s * s + (distance3(j.poz.front(), j.poz.back()) + s + p) * (p + diameter_);
        if (limit <= unmachinedArea(j, static_cast<int>(roundHalfEven(diameter_ / 2 / p))))
            return false;

        const size_t connectorAt = figureList.size();
        const double savedLow = lowLimit, savedHigh = highLimit;
        lowLimit = 0;
        highLimit = 2147483647.0;
        followSurface(f.poz.back(), j.poz.front());
        lowLimit = savedLow;
        highLimit = savedHigh;
        if (figureList.size() != connectorAt + 1) {
            figureList.resize(connectorAt);
            return false;
        }
        tFigura& connector = *figureList[connectorAt];
        const float level = static_cast<float>(f.fig_ppz);
        for (TrPkt3D& q : connector.poz) q.z = std::max(q.z, level);
        connector.poz.front().z = connector.poz.back().z = level;
        for (int pass = 0; pass < 2; ++pass) {
            smoothProfileForward(connector, 3, false);
            smoothProfileBackward(connector, 3, false);
        }
        reduceFigure(static_cast<int>(connectorAt), p / 2);
        // Between cell centres the interpolated map may lie below the cell the
        // point falls in; the tool standing there must clear that cell too.
        for (TrPkt3D& q : connector.poz)
            q.z = std::max(q.z, motionHeightAt(cellIndex(q.x), cellIndex(q.y)));
        clearUnderTool(connector, tool_);
        clearUnderTool(j, tool_);
        // The connector starts at the end of f and ends at the start of j:
        // those points are not repeated.
        f.poz.insert(f.poz.end(), connector.poz.begin() + 1, connector.poz.end());
        f.poz.insert(f.poz.end(), j.poz.begin() + 1, j.poz.end());
        reduceFigure(static_cast<int>(i), 0.01);
        f.srodek = j.srodek;
        f.zamknieta = false;
        figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(connectorAt));
        figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(c.index));
        return true;
    }

    double spacing_;
    double diameter_;
    const ToolShape& tool_;
};

} // namespace

double roughingLayerTop(const TOperacjaDane& oper) {
    double top = dominantLevel() + oper.zostawDoNastOper + pixelSize;
    const double stock = stockTop();
    if (oper.warstwaGrubosc > 0)
        while (stock + pixelSize > top) top += oper.warstwaGrubosc;
    if (oper.granicaZgorna > 0) top = std::min(oper.granicaZgorna, top);
    return top;
}

bool layerStrokes(double z, double spacing, double toolRadius, const ToolShape& tool) {
    const auto n = roundHalfEven(modelSize.x / spacing);
    const auto kStart = toolRadius > spacing ? 1 - roundHalfEven(toolRadius / spacing) : 0;
    bool any = false;
    int scanned = INT_MIN;
    // Columns closer together than a cell would scan the same cells again.
    auto column = [&](double x) {
        const int ix = cellIndex(x);
        if (ix > rasterSizeX || ix == scanned) return;
        scanned = ix;
        any = scanColumn(ix, z, tool) || any;
    };
    for (auto k = kStart; k <= n; ++k) column(static_cast<double>(k) * spacing);
    column(modelSize.x);
    return any;
}

std::span<const TPkt3D> sweepPoints(const TFrez& frez) {
    static const TPkt3D centre{};
    if (frez.Powierzchnia.empty()) return {&centre, 1};
    return frez.Powierzchnia;
}

namespace {

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

// Clears the flag under the tool standing on every cell of the run: in each
// tool line across the run the cells are the union of the run shifted by the
// line's points.
void clearRun(const StraightRun& run, const ToolShape& tool) {
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
                runCell<tpix2Drecord>(cellStatus, run, across, t).stat &= ~cellUnmachined;
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

void clearUnderTool(const tFigura& f, const ToolShape& tool) {
    std::vector<CellSample> samples;
    int lastX = INT_MIN, lastY = INT_MIN;
    for (size_t k = 1; k < f.poz.size(); ++k) {
        const TrPkt3D &a = f.poz[k - 1], &b = f.poz[k];
        const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
        sampleSegment(a, b, roundHalfEven(std::max(std::fabs(dx), std::fabs(dy)) / pixelSize),
                      samples);
        if (const StraightRun run = straightRun(samples); run.valid) {
            clearRun(run, tool);
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
                cellStatus[tx][ty].stat &= ~cellUnmachined;
            }
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
        const TrPkt3D &a = f.poz[k - 1], &b = f.poz[k];
        const double length = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
        sampleSegment(a, b, roundHalfEven(length / pixelSize * 1.5 + 1), samples);
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

void generujZgrubnie(const TOperacjaDane& oper, const TFrez& frez) {
    const double spacing = oper.warstwaSzer, thickness = oper.warstwaGrubosc;
    // Without a spacing or a thickness the strokes or the layers would never end.
    if (!(spacing > 0) || !(thickness > 0)) return;
    const ToolShape tool(sweepPoints(frez));
    const double diameter = frez.Parametry.d1;
    layerTop = roughingLayerTop(oper);
    // Below the lowest motion height no cell can be reached: no layer there cuts.
    const double bottom = std::max(oper.granicaZdolna, lowestMotionHeight());
    const size_t first = figureList.size();
    LayerLinker linker(spacing, diameter, tool);

    bool layerHadWork = true;
    for (double z = layerTop - thickness; z >= bottom && (layerHadWork || roughingCount > 1);
         z -= thickness) {
        if (generationTerminate) break;
        currentLevel = {0, 0, static_cast<float>(z)};
        markLayerUnmachined();
        const size_t layerFirst = figureList.size();
        layerHadWork = layerStrokes(z, spacing, diameter / 2, tool);
        startFromBorder(layerFirst);
        linker.link(layerFirst);
    }

    if (oper.miekkieWejscie)
        for (size_t i = first; i < figureList.size(); ++i) {
            std::vector<TrPkt3D>& p = figureList[i]->poz;
            if (p.size() < 2) continue;
            TrPkt3D ramp = p[1];
            ramp.z = static_cast<float>(ramp.z + thickness);
            p.insert(p.begin(), ramp);
        }
    // A stopped build runs no later operation that would read the material.
    if (generationTerminate) return;
    for (size_t i = first; i < figureList.size(); ++i) lowerMaterial(*figureList[i], tool);
}

} // namespace korvane
