#include "generation/MotionMap.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "geometry/Raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace korvane {

std::vector<TPkt3D> allowanceSphere(double a) {
    const double p = pixelSize;
    const auto r = roundHalfEven(a / p);
    std::vector<TPkt3D> points;
    auto add = [&](int x, int y, float z) {
        for (TPkt3D& q : points)
            if (q.x == x && q.y == y) {
                q.z = std::max(q.z, z);
                return;
            }
        points.push_back({x, y, z});
    };
    const double c = 2 * std::numbers::pi * a;
    const auto nLat = roundHalfEven(c * 0.25 / p + 1) * 2;
    const auto nLon = roundHalfEven(c / p + 1) * 2;
    for (std::int64_t i = 0; i <= nLon; ++i) {
        const double theta = static_cast<double>(i) * 2 * std::numbers::pi / nLon;
        std::int64_t x0, y0;
        if (std::abs(std::cos(theta)) < 0.7) {
            x0 = roundHalfEven(std::cos(theta) * a / p);
            y0 = roundHalfEven(std::sqrt(std::max<double>(r * r - x0 * x0, 0)));
            if (std::sin(theta) < 0) y0 = -y0;
        } else {
            y0 = roundHalfEven(std::sin(theta) * a / p);
            x0 = roundHalfEven(std::sqrt(std::max<double>(r * r - y0 * y0, 0)));
            if (std::cos(theta) < 0) x0 = -x0;
        }
        for (std::int64_t j = 0; j <= nLat; ++j) {
            const double phi = static_cast<double>(j) / nLat * std::numbers::pi / 2;
            add(static_cast<int>(roundHalfEven(std::sin(phi) * x0)),
                static_cast<int>(roundHalfEven(std::sin(phi) * y0)),
                static_cast<float>(a * std::cos(phi)));
        }
    }
    return points;
}

void applyAllowance(double allowance) {
    clearLayer(offsetHeights);
    if (roundHalfEven(allowance / pixelSize) < 1) {
        const int columns =
            std::min({rasterSizeX + 1, offsetHeights.columns(), modelHeights.columns()});
        const int rows = std::min({rasterSizeY + 1, offsetHeights.rows(), modelHeights.rows()});
        for (int ix = 0; ix < columns; ++ix)
            std::copy_n(modelHeights[ix].data(), rows, offsetHeights[ix].data());
        return;
    }
    // The sphere raises its neighbours by +z: the sweep subtracts the profile's z,
    // and h - (-z) is exactly h + z.
    std::vector<TPkt3D> sphere = allowanceSphere(allowance);
    for (TPkt3D& q : sphere) q.z = -q.z;
    sweepProfile(modelHeights, sphere, offsetHeights, motionWorkerCount());
}

double motionHeightInterpolated(const TrPkt3D& point) {
    const double p = pixelSize;
    const double u = point.x / p;
    const double v = point.y / p;
    const int ix = static_cast<int>(roundHalfEven(std::min<double>(rasterSizeX, u)));
    const int iy = static_cast<int>(roundHalfEven(std::min<double>(rasterSizeY, v)));
    const double h0 = motionHeightAt(ix, iy);
    const double du = std::abs(u - ix);
    const double dv = std::abs(v - iy);
    if (du == 0 && dv == 0) return std::max(0.0, h0);

    const int su = (u > ix) - (u < ix);
    const int sv = (v > iy) - (v < iy);
    double hc = h0;
    if (ix + su <= rasterSizeX && iy + sv <= rasterSizeY)
        hc = (static_cast<double>(motionHeightAt(ix, iy)) + motionHeightAt(ix + su, iy) +
              motionHeightAt(ix, iy + sv) + motionHeightAt(ix + su, iy + sv)) /
             4;

    double e;
    if (du == 0.5 && dv == 0.5) {
        e = hc;
    } else {
        double nx = du >= dv ? ix + su : ix;
        double ny = du >= dv ? iy : iy + sv;
        double cx = ix + su / 2.0;
        double cy = iy + sv / 2.0;
        nx = std::min<double>(nx, rasterSizeX);
        ny = std::min<double>(ny, rasterSizeY);
        cx = std::min<double>(cx, rasterSizeX);
        cy = std::min<double>(cy, rasterSizeY);
        const double hn = motionHeightAt(static_cast<int>(roundHalfEven(nx)),
                                         static_cast<int>(roundHalfEven(ny)));
        if (hc == h0 && hn == h0) {
            e = h0;
        } else {
            // The plane through (ix, iy, h0), the corner and the neighbour.
            const double ax = cx - ix, ay = cy - iy, az = hc - h0;
            const double bx = nx - ix, by = ny - iy, bz = hn - h0;
            const double normalX = ay * bz - az * by;
            const double normalY = az * bx - ax * bz;
            const double normalZ = ax * by - ay * bx;
            if (normalZ == 0) {
                // The three points stand on one plan line (P on a row or a column
                // of cell centres): interpolate along that line. The corner's mean
                // instead would put P below its own cell near the centre.
                const double lx = nx - ix, ly = ny - iy;
                const double length2 = lx * lx + ly * ly;
                e = length2 == 0 ? hc : h0 + ((u - ix) * lx + (v - iy) * ly) / length2 * (hn - h0);
            } else
                e = h0 - (normalX * (u - ix) + normalY * (v - iy)) / normalZ;
        }
    }
    return std::max(0.0, e);
}

float maxMotionHeightAlong(const TrPkt3D& p, const TrPkt3D& q) {
    const double dx = static_cast<double>(q.x) - p.x;
    const double dy = static_cast<double>(q.y) - p.y;
    const double dz = static_cast<double>(q.z) - p.z;
    const auto n = roundHalfEven(std::sqrt(dx * dx + dy * dy + dz * dz) / pixelSize);
    float result = static_cast<float>(motionHeightInterpolated(p));
    if (n == 0) return result;
    for (std::int64_t i = 0; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        const TrPkt3D s{static_cast<float>(p.x + t * dx), static_cast<float>(p.y + t * dy), p.z};
        result = std::max(result, static_cast<float>(motionHeightInterpolated(s)));
    }
    return result;
}

} // namespace korvane
