#include "app/PreviewAxes.h"

#include "app/PathPreview.h"

#include <algorithm>
#include <cmath>

namespace korvane {

MillimetreAxes millimetreAxes(const TMinMax& e) {
    MillimetreAxes axes;
    const double longest = std::max({e.maxX, e.maxY, e.maxZ, -e.minX, -e.minY, 0.0});
    axes.step = scaleStep(longest, 6);
    const double step = axes.step, mark = step / 6;
    const auto f = [](double v) { return static_cast<float>(v); };
    // Per axis: its direction and the direction its marks point to.
    struct Axis {
        double length;
        TrPkt3D along, across;
        const char* name;
    };
    const Axis all[] = {{std::max(e.maxX, step), {1, 0, 0}, {0, -1, 0}, "X mm"},
                        {std::max(e.maxY, step), {0, 1, 0}, {-1, 0, 0}, "Y mm"},
                        {std::max(e.maxZ, step), {0, 0, 1}, {-1, 0, 0}, "Z mm"}};
    for (const Axis& a : all) {
        auto point = [&](double s, double t) {
            return TrPkt3D{f(a.along.x * s + a.across.x * t), f(a.along.y * s + a.across.y * t),
                           f(a.along.z * s + a.across.z * t)};
        };
        const double end = a.length + step / 2;
        axes.lines.push_back({point(0, 0), point(end, 0)});
        for (int k = 0; k * step <= a.length + step * 1e-9; ++k) {
            axes.lines.push_back({point(k * step, 0), point(k * step, mark)});
            if (k > 0)
                axes.labels.push_back({point(k * step, 2.5 * mark), scaleText(k * step, step)});
        }
        axes.labels.push_back({point(end + mark, 0), a.name});
    }
    axes.labels.push_back({{f(-2.5 * mark), f(-2.5 * mark), 0}, "0"});
    return axes;
}

} // namespace korvane
