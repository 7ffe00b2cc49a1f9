#include "app/SimulationSurface.h"

#include "output/DeviationPicture.h"

#include <algorithm>

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

SurfaceMesh simulationSurface(const tpix2d& remaining, const tpix2d& deviation, double cell,
                              double allowance, int maxVerticesPerSide) {
    SurfaceMesh mesh;
    const int columns = std::min(remaining.columns(), deviation.columns());
    const int rows = std::min(remaining.rows(), deviation.rows());
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
            DeviationClass worst = DeviationClass::withinAllowance;
            for (int ix = fromX; ix <= toX; ++ix)
                for (int iy = fromY; iy <= toY; ++iy)
                    worst = std::max(
                        worst,
                        classifyDeviation(deviation[ix][static_cast<std::size_t>(iy)], allowance));
            const std::uint32_t colour = deviationColour(worst);
            mesh.vertices.insert(mesh.vertices.end(),
                                 {static_cast<float>(xs[i] * cell),
                                  static_cast<float>(ys[j] * cell), static_cast<float>(z),
                                  static_cast<float>(-gx), static_cast<float>(-gy), 1.0f,
                                  static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                                  static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                                  static_cast<float>(colour & 0xFF) / 255.0f});
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
