#include "app/PathPreview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace korvane {

namespace {

void add(std::vector<float>& to, const TrPkt3D& p, const Rgb& c) {
    to.insert(to.end(), {p.x, p.y, p.z, c[0], c[1], c[2]});
}

void segment(std::vector<float>& to, const TrPkt3D& a, const TrPkt3D& b, const Rgb& c) {
    if (a.x == b.x && a.y == b.y && a.z == b.z) return;
    add(to, a, c);
    add(to, b, c);
}

} // namespace

Rgb heightColour(double fraction) {
    static constexpr Rgb stops[] = {{0.15f, 0.35f, 1.0f},
                                    {0.0f, 0.85f, 1.0f},
                                    {0.1f, 0.85f, 0.2f},
                                    {1.0f, 0.85f, 0.0f},
                                    {1.0f, 0.15f, 0.1f}};
    const double t = std::clamp(std::isnan(fraction) ? 0.0 : fraction, 0.0, 1.0) * 4;
    const int i = std::min(static_cast<int>(t), 3);
    const auto f = static_cast<float>(t - i);
    return {stops[i][0] + (stops[i + 1][0] - stops[i][0]) * f,
            stops[i][1] + (stops[i + 1][1] - stops[i][1]) * f,
            stops[i][2] + (stops[i + 1][2] - stops[i][2]) * f};
}

PathPreview pathPreview(const FigureList& figures, double approach) {
    PathPreview preview;
    double low = std::numeric_limits<double>::infinity(), high = -low, top = 0;
    std::size_t points = 0;
    for (const auto& f : figures) {
        points += f->poz.size();
        top = std::max(top, f->przestawczyZ);
        for (const TrPkt3D& p : f->poz) {
            top = std::max(top, static_cast<double>(p.z));
            if (f->Przestawcza != 0) continue;
            low = std::min(low, static_cast<double>(p.z));
            high = std::max(high, static_cast<double>(p.z));
        }
    }
    if (low > high) low = high = 0;
    preview.lowZ = low;
    preview.highZ = high;
    const double span = high - low;

    preview.points.reserve(points * floatsPerPathVertex);
    TrPkt3D at{0, 0, static_cast<float>(top)};
    for (const auto& f : figures) {
        if (f->poz.empty()) continue;
        preview.first.push_back(static_cast<int>(preview.points.size() / floatsPerPathVertex));
        preview.count.push_back(f->count());
        for (const TrPkt3D& p : f->poz)
            add(preview.points, p,
                f->Przestawcza != 0 ? rapidColour
                                    : heightColour(span > 0 ? (p.z - low) / span : 0.5));

        const TrPkt3D start = f->poz.front();
        const TrPkt3D over{start.x, start.y, at.z};
        const TrPkt3D plungeFrom{start.x, start.y,
                                 std::min(at.z, static_cast<float>(start.z + approach))};
        segment(preview.travel, at, over, rapidColour);
        segment(preview.travel, over, plungeFrom, rapidColour);
        segment(preview.travel, plungeFrom, start, plungeColour);
        const TrPkt3D end = f->poz.back();
        at = {end.x, end.y, static_cast<float>(f->przestawczyZ)};
        segment(preview.travel, end, at, rapidColour);
    }
    if (!preview.first.empty())
        segment(preview.travel, at, {0, 0, static_cast<float>(top)}, rapidColour);
    return preview;
}

double scaleStep(double span, int count) {
    if (!(span > 0) || count < 1 || !std::isfinite(span)) return 1;
    const double rough = span / count;
    double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (;;) {
        for (const double m : {1.0, 2.0, 5.0})
            if (m * power >= rough * (1 - 1e-9)) return m * power;
        power *= 10;
    }
}

std::vector<double> scaleMarks(double low, double high, int count) {
    if (!(high > low)) return {low};
    const double step = scaleStep(high - low, count);
    std::vector<double> marks;
    for (double k = std::ceil(low / step - 1e-9); k * step <= high + step * 1e-9; ++k)
        marks.push_back(k * step == 0 ? 0.0 : k * step);
    if (marks.size() < 2) marks = {low, high};
    return marks;
}

std::string scaleText(double value, double step) {
    int decimals = 0;
    while (decimals < 6 && std::fabs(step * std::pow(10.0, decimals) -
                                     std::round(step * std::pow(10.0, decimals))) > 1e-6)
        ++decimals;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(value) < 1e-12 ? 0.0 : value);
    return text;
}

} // namespace korvane
