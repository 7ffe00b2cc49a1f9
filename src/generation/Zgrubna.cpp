#include "generation/Zgrubna.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/Kreski.h"
#include "generation/Redukcja.h"
#include "generation/StrokeEnds.h"
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
    // by its nearest neighbours as long as one can be joined. A figure joined
    // to another stays in the list, passed over, until the layer is linked:
    // erased one by one, the list would be moved along at every join.
    void link(size_t first) {
        StrokeEnds ends(figureList, first, spacing_);
        first_ = first;
        joined_.assign(figureList.size() - first, false);
        for (size_t i = first; i < figureList.size() && !generationTerminate; ++i) {
            if (joined_[i - first]) continue;
            ends.remove(i - first);
            clearUnderTool(*figureList[i], tool_, cellUnmachined);
            while (join(i, ends)) {
            }
        }
        size_t kept = first;
        for (size_t i = first; i < figureList.size(); ++i)
            if (!joined_[i - first]) figureList[kept++] = std::move(figureList[i]);
        figureList.resize(kept);
    }

  private:
    struct Candidate {
        size_t index = 0;
        bool reversed = false;
    };

    // The figure after i at the same level whose nearer end lies nearest the
    // end of i, less than five stroke spacings away; of equal distances the
    // first in the list, and its first point before its last.
    bool nearest(size_t i, const StrokeEnds& ends, Candidate& best) const {
        const tFigura& f = *figureList[i];
        const auto end = ends.nearest(f.poz.back(), f.fig_ppz, 5 * spacing_);
        if (!end) return false;
        best = {first_ + end->rank, end->last};
        return true;
    }

    // Joins the nearest figure to the end of figure i over a connector on the
    // surface, never below the layer. False when there is none, when the
    // neighbourhood of the candidate holds more unmachined cells than it would
    // clear itself, or when no connector could be made.
    bool join(size_t i, StrokeEnds& ends) {
        tFigura& f = *figureList[i];
        if (f.count() < 2) return false;
        Candidate c;
        if (!nearest(i, ends, c)) return false;
        tFigura& j = *figureList[c.index];
        // Turned before the tests below, and left turned when they refuse it.
        if (c.reversed) {
            std::reverse(j.poz.begin(), j.poz.end());
            ends.turn(c.index - first_);
        }

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
        clearUnderTool(connector, tool_, cellUnmachined);
        clearUnderTool(j, tool_, cellUnmachined);
        // The connector starts at the end of f and ends at the start of j:
        // those points are not repeated.
        f.poz.insert(f.poz.end(), connector.poz.begin() + 1, connector.poz.end());
        f.poz.insert(f.poz.end(), j.poz.begin() + 1, j.poz.end());
        reduceFigure(static_cast<int>(i), 0.01);
        f.srodek = j.srodek;
        f.zamknieta = false;
        figureList.erase(figureList.begin() + static_cast<std::ptrdiff_t>(connectorAt));
        ends.remove(c.index - first_);
        joined_[c.index - first_] = true;
        return true;
    }

    double spacing_;
    double diameter_;
    const ToolShape& tool_;
    size_t first_ = 0;         // the layer's first stroke in the list
    std::vector<bool> joined_; // per stroke of the layer: joined to an earlier one
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
    // The reductions cut corners over the surface: the paths are lifted back
    // onto the motion map wherever the tool would stand lower.
    for (size_t i = first; i < figureList.size(); ++i) keepAboveMotionMap(*figureList[i]);
    // A stopped build runs no later operation that would read the material.
    if (generationTerminate) return;
    for (size_t i = first; i < figureList.size(); ++i) lowerMaterial(*figureList[i], tool);
}

} // namespace korvane
