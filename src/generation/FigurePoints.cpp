#include "generation/FigurePoints.h"

#include <algorithm>
#include <cmath>

namespace korvane {

FigurePoints::FigurePoints(const FigureList& figures, double near) {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false;
    for (const auto& f : figures)
        for (const TrPkt3D& p : f->poz) {
            if (!any) x0 = x1 = p.x, y0 = y1 = p.y, any = true;
            x0 = std::min<double>(x0, p.x), x1 = std::max<double>(x1, p.x);
            y0 = std::min<double>(y0, p.y), y1 = std::max<double>(y1, p.y);
        }
    x0_ = x0, y0_ = y0;
    // No more than 2048 squares a side, however small the nearness.
    square_ = std::max({2 * near, (x1 - x0) / 2048, (y1 - y0) / 2048});
    columns_ = static_cast<int>((x1 - x0) / square_) + 1;
    rows_ = static_cast<int>((y1 - y0) / square_) + 1;
    squares_.resize(size_t(columns_) * size_t(rows_));
    for (const auto& f : figures) add(*f);
}

void FigurePoints::add(const tFigura& f) {
    const auto figure = static_cast<std::uint32_t>(figures_.size());
    figures_.push_back(&f);
    slot_[&f] = figure;
    for (const TrPkt3D& p : f.poz) {
        Square& s = squares_[square(p.x, p.y)];
        if (s.runs.empty() || s.runs.back().figure != figure)
            s.runs.push_back(
                {figure, static_cast<std::uint32_t>(s.points.size()), 0, p.x, p.y, p.x, p.y});
        s.points.push_back(p);
        Run& run = s.runs.back();
        ++run.count;
        run.x0 = std::min(run.x0, p.x), run.y0 = std::min(run.y0, p.y);
        run.x1 = std::max(run.x1, p.x), run.y1 = std::max(run.y1, p.y);
    }
}

void FigurePoints::remove(const tFigura& f) {
    const auto at = slot_.find(&f);
    figures_[at->second] = nullptr;
    slot_.erase(at);
}

bool FigurePoints::close(const TrPkt3D& p, const tFigura& self, double step, double near) const {
    const int cx = column(p.x), cy = row(p.y);
    const double far2 = near * near * (1 + 1e-9);
    for (int x = std::max(cx - 1, 0); x <= std::min(cx + 1, columns_ - 1); ++x)
        for (int y = std::max(cy - 1, 0); y <= std::min(cy + 1, rows_ - 1); ++y)
            for (const Square& s = squares_[size_t(x) * size_t(rows_) + size_t(y)];
                 const Run& run : s.runs) {
                // What depends on the figure alone is asked once a run.
                const tFigura* g = figures_[run.figure];
                if (!g || g == &self || std::fabs(g->fig_ppz - self.fig_ppz) >= step) continue;
                if (p.x < g->Pmin.x - near || p.x > g->Pmax.x + near || p.y < g->Pmin.y - near ||
                    p.y > g->Pmax.y + near)
                    continue;
                // A run whose box lies a near distance away in plan (and
                // a billionth more) holds no point near enough.
                const double dx = std::max({run.x0 - p.x, p.x - run.x1, 0.0f});
                const double dy = std::max({run.y0 - p.y, p.y - run.y1, 0.0f});
                if (dx * dx + dy * dy > far2) continue;
                for (std::uint32_t k = run.first; k < run.first + run.count; ++k)
                    if (distance3(p, s.points[k]) < near) return true;
            }
    return false;
}

} // namespace korvane
