#include "generation/RegionMask.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/MotionMap.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <climits>

namespace korvane {

namespace {

int cellIndex(double v) {
    return static_cast<int>(roundHalfEven(v / pixelSize));
}

bool inRaster(int x, int y) {
    return x >= 0 && y >= 0 && x <= rasterSizeX && y <= rasterSizeY;
}

float workingHeight(int x, int y) {
    return offsetHeights[std::clamp(x, 0, rasterSizeX)][std::clamp(y, 0, rasterSizeY)];
}

// Calls visit(cx, cy) for every in-raster cell the outline of f passes
// through: the ends of each segment and a point about every cell between them.
template <class Visit> void forOutlineCells(const tFigura& f, Visit visit) {
    auto at = [&](double x, double y) {
        const int cx = cellIndex(x), cy = cellIndex(y);
        if (inRaster(cx, cy)) visit(cx, cy);
    };
    if (f.count() == 1) at(f.poz[0].x, f.poz[0].y);
    for (size_t k = 1; k < f.poz.size(); ++k) {
        const TrPkt3D &a = f.poz[k - 1], &b = f.poz[k];
        const int n = static_cast<int>(roundHalfEven(distance3(a, b) / pixelSize + 1));
        at(a.x, a.y);
        for (int g = 1; g < n; ++g) {
            const double t = double(g) / n;
            at(a.x + t * (double(b.x) - a.x), a.y + t * (double(b.y) - a.y));
        }
        at(b.x, b.y);
    }
}

CellBox outlineBox(const tFigura& f) {
    CellBox box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    forOutlineCells(f, [&](int cx, int cy) {
        box = {std::min(box.x0, cx), std::min(box.y0, cy), std::max(box.x1, cx),
               std::max(box.y1, cy)};
    });
    return box.x0 == INT_MAX ? CellBox{} : box;
}

// Marks the cells the outline of f passes through and returns their box.
CellBox markOutline(const tFigura& f, tpix2dRec& status) {
    forOutlineCells(f, [&](int cx, int cy) { status[cx][cy].stat |= regionOutline; });
    return outlineBox(f);
}

} // namespace

CellBox prepareRegion(const tFigura& f, int direction, double level, tpix2d& mask,
                      tpix2dRec& status) {
    // Only the box and the ring of cells around it are read afterwards: a trace
    // of the box looks one cell beyond it.
    CellBox box = outlineBox(f);
    if (box.empty()) return box;
    const CellBox ring{std::max(box.x0 - 1, 0), std::max(box.y0 - 1, 0),
                       std::min(box.x1 + 1, rasterSizeX), std::min(box.y1 + 1, rasterSizeY)};
    // Outside the region every cell stays at or below the level (d > 0) or at
    // or above it (d <= 0), so that no contour is found there; a cell that
    // keeps its own height on the right side of the level places the crossing
    // at the region's border where the relief itself crosses, not inside it.
    const float at = static_cast<float>(level);
    for (int x = ring.x0; x <= ring.x1; ++x)
        for (int y = ring.y0; y <= ring.y1; ++y) {
            status[x][y] = {};
            mask[x][y] = direction <= 0 ? std::max(offsetHeights[x][y], at)
                                        : std::min(offsetHeights[x][y], at);
        }
    box = markOutline(f, status);

    auto qualifies = [&](int x, int y) {
        const double h = offsetHeights[x][y];
        return direction <= 0 ? level < h && h < 2147483647.0 : 0 <= h && h <= level;
    };
    auto outline = [&](int x, int y) { return (status[x][y].stat & regionOutline) != 0; };
    auto markOutside = [&](int x, int y) {
        if (qualifies(x, y)) status[x][y].stat |= regionOutside;
    };

    // Straight in from the four sides of the box up to the outline.
    for (int x = box.x0; x <= box.x1; ++x) {
        for (int y = box.y0; y <= box.y1 && !outline(x, y); ++y) markOutside(x, y);
        for (int y = box.y1; y >= box.y0 && !outline(x, y); --y) markOutside(x, y);
    }
    for (int y = box.y0; y <= box.y1; ++y) {
        for (int x = box.x0; x <= box.x1 && !outline(x, y); ++x) markOutside(x, y);
        for (int x = box.x1; x >= box.x0 && !outline(x, y); --x) markOutside(x, y);
    }
    // Round the corners the straight walks missed, away from the outline.
    auto propagate = [&](int x, int y) {
        if (status[x][y].stat != 0) return;
        bool reached = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                if ((dx == 0 && dy == 0) || !inRaster(x + dx, y + dy)) continue;
                const std::int32_t s = status[x + dx][y + dy].stat;
                if (s & regionOutline) return;
                if (s & regionOutside) reached = true;
            }
        if (reached) markOutside(x, y);
    };
    for (int x = box.x0; x <= box.x1; ++x)
        for (int y = box.y0; y <= box.y1; ++y) propagate(x, y);
    for (int x = box.x1; x >= box.x0; --x)
        for (int y = box.y1; y >= box.y0; --y) propagate(x, y);

    for (int x = box.x0; x <= box.x1; ++x)
        for (int y = box.y0; y <= box.y1; ++y) {
            status[x][y].stat ^= regionOutside;
            if (status[x][y].stat != 0) mask[x][y] = offsetHeights[x][y];
        }
    return box;
}

void keepOnSurface(FigureList& figures, size_t first, double z) {
    constexpr double tolerance = 1e-4; // the level rounded to a single
    for (size_t i = first; i < figures.size();) {
        tFigura& f = *figures[i];
        std::vector<std::vector<TrPkt3D>> pieces(1);
        bool cut = false;
        for (const TrPkt3D& p : f.poz) {
            if (motionHeightInterpolated(p) <= z + tolerance) {
                pieces.back().push_back(p);
            } else {
                cut = true;
                if (!pieces.back().empty()) pieces.emplace_back();
            }
        }
        if (!cut) {
            ++i;
            continue;
        }
        std::erase_if(pieces, [](const auto& p) { return p.size() < 2; });
        std::vector<std::unique_ptr<tFigura>> made;
        for (auto& points : pieces) {
            auto piece = std::make_unique<tFigura>(f);
            piece->poz = std::move(points);
            piece->zamknieta = false;
            piece->PoliczSrodek();
            piece->PoliczDlugosc();
            made.push_back(std::move(piece));
        }
        figures.erase(figures.begin() + static_cast<std::ptrdiff_t>(i));
        figures.insert(figures.begin() + static_cast<std::ptrdiff_t>(i),
                       std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
        i += made.size();
    }
}

void classifyContour(tFigura& f) {
    f.PoliczSrodek();
    f.wklinowana = 0;
    if (f.poz.empty()) {
        f.wypukla = true;
        return;
    }
    struct Probe {
        const TrPkt3D& point;
        int inX, inY; // one cell towards the inside; the outside is opposite
    };
    const Probe probes[4] = {{f.lewy, 1, 0}, {f.prawy, -1, 0}, {f.gorny, 0, -1}, {f.dolny, 0, 1}};
    int up = 0, down = 0;
    for (const Probe& e : probes) {
        // The neighbours on both sides stay inside the raster.
        const int i = std::min(std::max(cellIndex(e.point.x), 1), rasterSizeX - 1);
        const int j = std::min(std::max(cellIndex(e.point.y), 1), rasterSizeY - 1);
        const float h = workingHeight(i, j);
        const float hin = workingHeight(i + e.inX, j + e.inY);
        const float hout = workingHeight(i - e.inX, j - e.inY);
        if (hin > h) ++up;
        if (h > hout) ++down;
        if (hin > h && hout > h) ++f.wklinowana;
    }
    if (up == 4 || down == 4)
        f.wypukla = true;
    else
        f.wypukla = up > 0 && down > 0 && up + down >= 3;
}

} // namespace korvane
