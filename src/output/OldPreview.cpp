#include "output/OldPreview.h"

#include "foundation/Rounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane {

double previewScale = 0;
int previewWidth = 0, previewHeight = 0;

double previewScaleFor(const TrPkt3D& size, int width, int height) {
    const double angle = 40.0 * std::numbers::pi / 180.0;
    return std::min(width / static_cast<double>(size.x),
                    height / (size.z * std::cos(angle) + size.y * std::sin(angle)));
}

std::vector<PreviewPolyline> wyswietlPlikWyjsciowy(const tWy& wy, int os, int WyswietlanaWarstwa,
                                                   double scale, int width, int height) {
    std::vector<PreviewPolyline> lines;
    if (os < 0 || os > 2) return lines;
    // Extents still reset (no point read) would put every pixel at infinity.
    if (!(wy.min.x <= wy.max.x) || !std::isfinite(scale)) return lines;
    auto u = [os](const TrPkt3D& p) { return os == 0 ? p.y : p.x; };
    auto v = [os](const TrPkt3D& p) { return os == 2 ? p.y : p.z; };
    // Held within half a billion pixels, far outside any picture, so that the
    // sums below stay integers.
    auto P = [scale](double c) {
        return roundHalfEven(std::clamp(0.95L * scale * c, -5e8L, 5e8L));
    };
    const std::int64_t hx =
        roundHalfEven(width / 2.0L) - roundHalfEven((P(u(wy.max)) - P(u(wy.min))) / 2.0L);
    const std::int64_t vy =
        roundHalfEven((P(v(wy.max)) - P(v(wy.min))) / 2.0L) - roundHalfEven(height / 2.0L);
    for (const auto& f : wy.ListaFigur) {
        if (f->poz.empty() || (WyswietlanaWarstwa != -1 && f->NrWarstwy != WyswietlanaWarstwa))
            continue;
        PreviewPolyline line;
        line.reserve(f->poz.size());
        for (const TrPkt3D& p : f->poz)
            line.push_back(
                {static_cast<int>(P(u(p)) + hx), static_cast<int>(height - P(v(p)) + vy)});
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace korvane
