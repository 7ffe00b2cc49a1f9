#include "app/ScreenPick.h"

#include <cmath>
#include <utility>

namespace korvane {

namespace {

std::array<double, 4> times(const std::array<double, 16>& m, const std::array<double, 4>& v) {
    std::array<double, 4> r{};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k) r[row] += m[k * 4 + row] * v[k];
    return r;
}

std::array<double, 16> product(const std::array<double, 16>& a, const std::array<double, 16>& b) {
    std::array<double, 16> r{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k) r[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return r;
}

// Gauss-Jordan with partial pivoting; none for a singular matrix.
std::optional<std::array<double, 16>> inverse(std::array<double, 16> m) {
    std::array<double, 16> r{};
    for (int i = 0; i < 4; ++i) r[i * 4 + i] = 1;
    auto at = [](std::array<double, 16>& a, int row, int column) -> double& {
        return a[column * 4 + row];
    };
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int row = c + 1; row < 4; ++row)
            if (std::fabs(at(m, row, c)) > std::fabs(at(m, pivot, c))) pivot = row;
        if (std::fabs(at(m, pivot, c)) < 1e-300) return std::nullopt;
        for (int k = 0; k < 4; ++k) {
            std::swap(at(m, c, k), at(m, pivot, k));
            std::swap(at(r, c, k), at(r, pivot, k));
        }
        const double d = at(m, c, c);
        for (int k = 0; k < 4; ++k) at(m, c, k) /= d, at(r, c, k) /= d;
        for (int row = 0; row < 4; ++row) {
            if (row == c) continue;
            const double f = at(m, row, c);
            for (int k = 0; k < 4; ++k)
                at(m, row, k) -= f * at(m, c, k), at(r, row, k) -= f * at(r, c, k);
        }
    }
    return r;
}

} // namespace

std::optional<std::array<double, 3>> unprojectFromWindow(const ScreenProjection& p, double x,
                                                         double y, double depth) {
    const auto back = inverse(product(p.projection, p.modelView));
    if (!back || p.viewport[2] <= 0 || p.viewport[3] <= 0) return std::nullopt;
    const auto v = times(*back, {(x - p.viewport[0]) / p.viewport[2] * 2 - 1,
                                 (y - p.viewport[1]) / p.viewport[3] * 2 - 1, depth * 2 - 1, 1});
    if (v[3] == 0) return std::nullopt;
    return std::array<double, 3>{v[0] / v[3], v[1] / v[3], v[2] / v[3]};
}

std::optional<std::array<double, 2>> projectToWindow(const ScreenProjection& p, double x, double y,
                                                     double z) {
    const auto clip = times(p.projection, times(p.modelView, {x, y, z, 1}));
    if (!(clip[3] > 0)) return std::nullopt;
    const double nx = clip[0] / clip[3], ny = clip[1] / clip[3];
    return std::array<double, 2>{p.viewport[0] + (nx + 1) / 2 * p.viewport[2],
                                 p.viewport[1] + (ny + 1) / 2 * p.viewport[3]};
}

int nearestVertexOnScreen(const std::vector<float>& vertices, int stride, const ScreenProjection& p,
                          double x, double y, double radius) {
    int best = -1;
    double bestSquared = radius * radius;
    const std::size_t step = static_cast<std::size_t>(stride);
    for (std::size_t i = 0; i + 2 < vertices.size(); i += step) {
        const auto w = projectToWindow(p, vertices[i], vertices[i + 1], vertices[i + 2]);
        if (!w) continue;
        const double dx = (*w)[0] - x, dy = (*w)[1] - y, d = dx * dx + dy * dy;
        if (d < bestSquared || (best < 0 && d <= bestSquared)) {
            bestSquared = d;
            best = static_cast<int>(i / step);
        }
    }
    return best;
}

} // namespace korvane
