#include "app/SimulationSurface.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// The cells that carry a vertex along one side of `count` cells.
std::vector<int> gridLine(int count, int step) {
    std::vector<int> line;
    for (int i = 0; i < count - 1; i += step) line.push_back(i);
    line.push_back(count - 1);
    return line;
}

// The cells nearer to line[k] than to its neighbours (both sides of a tie).
void cellsOf(const std::vector<int>& line, std::size_t k, int& first, int& last) {
    first = k == 0 ? line[k] : (line[k - 1] + line[k] + 1) / 2;
    last = k + 1 == line.size() ? line[k] : (line[k] + line[k + 1]) / 2;
}

} // namespace

SurfaceJudgement judgeSurface(double deviation, double thickness, double reachGap,
                              double allowance) {
    if (deviation < -gougeThreshold) return SurfaceJudgement::gouge;
    if (deviation <= allowance + reachTolerance) return SurfaceJudgement::reached;
    if (thickness > reachTolerance) return SurfaceJudgement::left;
    return reachGap > allowance + reachTolerance ? SurfaceJudgement::unreachable
                                                 : SurfaceJudgement::reached;
}

std::array<float, 3> surfaceColour(SurfaceJudgement judgement, double thickness,
                                   double largestThickness) {
    const auto rgb = [](int r, int g, int b) {
        return std::array<float, 3>{r / 255.0f, g / 255.0f, b / 255.0f};
    };
    switch (judgement) {
    case SurfaceJudgement::gouge:
        return rgb(224, 32, 32);
    case SurfaceJudgement::unreachable:
        return rgb(150, 150, 150);
    case SurfaceJudgement::left: {
        const double span = largestThickness - reachTolerance;
        const auto f = static_cast<float>(
            span > 0 ? std::clamp((thickness - reachTolerance) / span, 0.0, 1.0) : 1.0);
        const std::array<float, 3> light = rgb(255, 214, 90), dark = rgb(214, 120, 16);
        return {light[0] * (1 - f) + dark[0] * f, light[1] * (1 - f) + dark[1] * f,
                light[2] * (1 - f) + dark[2] * f};
    }
    default:
        return rgb(48, 176, 64);
    }
}

std::optional<SurfaceCell> surfaceCellAt(const tpix2d& remaining, const DeviationMap& map,
                                         double cell, double allowance, double x, double y) {
    if (!(cell > 0)) return std::nullopt;
    const double fx = std::round(x / cell), fy = std::round(y / cell);
    const int columns = std::min({remaining.columns(), map.deviation.columns(),
                                  map.thicknessLeft.columns(), map.reachGap.columns()});
    const int rows = std::min(
        {remaining.rows(), map.deviation.rows(), map.thicknessLeft.rows(), map.reachGap.rows()});
    if (!(fx >= 0 && fy >= 0 && fx < columns && fy < rows)) return std::nullopt;
    SurfaceCell c;
    c.ix = static_cast<int>(fx);
    c.iy = static_cast<int>(fy);
    const auto iy = static_cast<std::size_t>(c.iy);
    c.height = remaining[c.ix][iy];
    c.deviation = map.deviation[c.ix][iy];
    c.thickness = map.thicknessLeft[c.ix][iy];
    c.judgement = judgeSurface(c.deviation, c.thickness, map.reachGap[c.ix][iy], allowance);
    return c;
}

SurfaceMesh simulationSurface(const tpix2d& remaining, const DeviationMap& map, double cell,
                              double allowance, int maxVerticesPerSide) {
    const tpix2d& deviation = map.deviation;
    const tpix2d& thickness = map.thicknessLeft;
    const tpix2d& gap = map.reachGap;
    SurfaceMesh mesh;
    const int columns =
        std::min({remaining.columns(), deviation.columns(), thickness.columns(), gap.columns()});
    const int rows = std::min({remaining.rows(), deviation.rows(), thickness.rows(), gap.rows()});
    if (columns < 2 || rows < 2 || maxVerticesPerSide < 2) return mesh;
    const int longest = std::max(columns, rows) - 1;
    mesh.step = (longest + maxVerticesPerSide - 2) / (maxVerticesPerSide - 1);
    const std::vector<int> xs = gridLine(columns, mesh.step), ys = gridLine(rows, mesh.step);

    auto height = [&](std::size_t i, std::size_t j) {
        return static_cast<double>(remaining[xs[i]][static_cast<std::size_t>(ys[j])]);
    };
    mesh.extents = {0, 0, height(0, 0), (columns - 1) * cell, (rows - 1) * cell, height(0, 0)};
    mesh.vertices.reserve(xs.size() * ys.size() * floatsPerSurfaceVertex);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const std::size_t i0 = i == 0 ? i : i - 1, i1 = std::min(i + 1, xs.size() - 1);
        int fromX, toX;
        cellsOf(xs, i, fromX, toX);
        for (std::size_t j = 0; j < ys.size(); ++j) {
            const std::size_t j0 = j == 0 ? j : j - 1, j1 = std::min(j + 1, ys.size() - 1);
            const double z = height(i, j);
            mesh.extents.minZ = std::min(mesh.extents.minZ, z);
            mesh.extents.maxZ = std::max(mesh.extents.maxZ, z);
            // The normal (-dz/dx, -dz/dy, 1) from the neighbouring vertices.
            const double gx = (height(i1, j) - height(i0, j)) / ((xs[i1] - xs[i0]) * cell);
            const double gy = (height(i, j1) - height(i, j0)) / ((ys[j1] - ys[j0]) * cell);
            int fromY, toY;
            cellsOf(ys, j, fromY, toY);
            SurfaceJudgement worst = SurfaceJudgement::reached;
            double left = 0;
            for (int ix = fromX; ix <= toX; ++ix)
                for (int iy = fromY; iy <= toY; ++iy) {
                    const auto k = static_cast<std::size_t>(iy);
                    const double t = thickness[ix][k];
                    const SurfaceJudgement j =
                        judgeSurface(deviation[ix][k], t, gap[ix][k], allowance);
                    if (j > worst) worst = j;
                    if (j == SurfaceJudgement::left) left = std::max(left, t);
                }
            const std::array<float, 3> colour =
                surfaceColour(worst, left, map.figures.largestThicknessLeft);
            mesh.vertices.insert(mesh.vertices.end(),
                                 {static_cast<float>(xs[i] * cell),
                                  static_cast<float>(ys[j] * cell), static_cast<float>(z),
                                  static_cast<float>(-gx), static_cast<float>(-gy), 1.0f, colour[0],
                                  colour[1], colour[2]});
        }
    }
    const auto n = static_cast<std::uint32_t>(ys.size());
    mesh.indices.reserve((xs.size() - 1) * (ys.size() - 1) * 6);
    for (std::uint32_t i = 0; i + 1 < xs.size(); ++i)
        for (std::uint32_t j = 0; j + 1 < n; ++j) {
            const std::uint32_t a = i * n + j, b = a + n, c = b + 1, d = a + 1;
            mesh.indices.insert(mesh.indices.end(), {a, b, c, a, c, d});
        }
    return mesh;
}

} // namespace korvane
