#pragma once

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/ToolStamp.h"
#include "geometry/Figury.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

// Yardsticks for stamping the tool along a path, shared by the tests and the
// benchmarks: the plain way, the whole tool at every sample. The program's
// versions must match them bit for bit.
namespace korvane::test {

inline int referenceCell(double v) {
    return static_cast<int>(roundHalfEven(v / pixelSize));
}

// The tool at the samples of every segment, one cell apart in the longer axis.
inline void referenceClearUnderTool(const tFigura& f, std::span<const TPkt3D> tool,
                                    std::int32_t flag) {
    auto stamp = [&](double x, double y) {
        const int ix = referenceCell(x), iy = referenceCell(y);
        for (const TPkt3D& q : tool) {
            const int tx = ix + q.x, ty = iy + q.y;
            if (tx < 0 || ty < 0 || tx > rasterSizeX || ty > rasterSizeY) continue;
            cellStatus[tx][ty].stat &= ~flag;
        }
    };
    for (size_t k = 1; k < f.poz.size(); ++k) {
        const TrPkt3D &a = f.poz[k - 1], &b = f.poz[k];
        const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
        const auto n = roundHalfEven(std::max(std::fabs(dx), std::fabs(dy)) / pixelSize);
        stamp(a.x, a.y);
        for (std::int64_t i = 1; i < n; ++i) {
            const double t = static_cast<double>(i) / static_cast<double>(n);
            stamp(a.x + t * dx, a.y + t * dy);
        }
        stamp(b.x, b.y);
    }
}

// The tool at 1.5 samples per cell along every segment, the tip at the height
// of the straight run there.
inline void referenceLowerMaterial(const tFigura& f, std::span<const TPkt3D> tool) {
    const int lastX = std::min(rasterSizeX, materialHeights.columns() - 1);
    const int lastY = std::min(rasterSizeY, materialHeights.rows() - 1);
    for (size_t k = 1; k < f.poz.size(); ++k) {
        const TrPkt3D &a = f.poz[k - 1], &b = f.poz[k];
        const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
        const auto n = roundHalfEven(std::hypot(dx, dy) / pixelSize * 1.5 + 1);
        for (std::int64_t i = 0; i <= n; ++i) {
            const double t = static_cast<double>(i) / static_cast<double>(n);
            const int ix = referenceCell(a.x + t * dx), iy = referenceCell(a.y + t * dy);
            const float z = static_cast<float>(a.z + t * dz);
            for (const TPkt3D& q : tool) {
                const int tx = ix + q.x, ty = iy + q.y;
                if (tx < 0 || ty < 0 || tx > lastX || ty > lastY) continue;
                float& m = materialHeights[tx][ty];
                if (z + q.z < m) m = z + q.z;
            }
        }
    }
}

} // namespace korvane::test
