#include "app/PathPlayback.h"

#include "app/WyLista.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {

PathTimeline::PathTimeline(const FigureList& figures) {
    std::size_t points = 0;
    for (const auto& f : figures) points += f->poz.size();
    length_.reserve(points);
    first_.reserve(figures.size());
    float length = 0;
    for (const auto& f : figures) {
        first_.push_back(static_cast<int>(length_.size()));
        for (std::size_t i = 0; i < f->poz.size(); ++i) {
            if (i > 0 && f->Przestawcza == 0) {
                const TrPkt3D &a = f->poz[i - 1], &b = f->poz[i];
                const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
                length = static_cast<float>(length + std::sqrt(dx * dx + dy * dy + dz * dz));
            }
            length_.push_back(length);
        }
    }
}

int PathTimeline::figureOf(int index) const {
    // The last figure starting at or before the point: empty figures share
    // their start with the next one and are passed over.
    const auto it = std::upper_bound(first_.begin(), first_.end(), index);
    return static_cast<int>(it - first_.begin()) - 1;
}

std::optional<double> minutesAt(const PathTimeline& timeline, int index, int corners,
                                const TOperacjaDane* oper) {
    if (index < 0 || index >= timeline.points()) return std::nullopt;
    const double length = timeline.lengthAt(index), total = timeline.totalLength();
    const double cornersPassed = total > 0 ? corners * length / total : 0;
    return machiningMinutes(length, timeline.figureOf(index) + 1, cornersPassed, oper);
}

std::string clockText(double minutes) {
    const long long seconds = std::llround(std::max(0.0, minutes) * 60);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

} // namespace korvane
