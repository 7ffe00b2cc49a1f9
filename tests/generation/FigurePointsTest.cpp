// The points of figures bucketed by plan squares against the plain loop over
// every figure and point: the same answer for points all over and beyond the
// figures, with figures at many levels stacked in plan, before and after
// figures are cut into pieces.
#include "generation/FigurePoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace korvane;

namespace {

bool plainClose(const std::vector<const tFigura*>& live, const TrPkt3D& p, const tFigura& self,
                double step, double near) {
    for (const tFigura* g : live) {
        if (g == &self || std::fabs(g->fig_ppz - self.fig_ppz) >= step) continue;
        if (p.x < g->Pmin.x - near || p.x > g->Pmax.x + near || p.y < g->Pmin.y - near ||
            p.y > g->Pmax.y + near)
            continue;
        for (const TrPkt3D& q : g->poz)
            if (distance3(p, q) < near) return true;
    }
    return false;
}

} // namespace

TEST(FigurePoints, FindsWhatThePlainLoopFinds) {
    std::uint32_t seed = 2024;
    auto next = [&](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    };
    // Random walks on a 0.1 mm grid over 30 x 20 mm, levels 0 to 5 mm in
    // steps of 0.25 mm: many figures pass over the same squares.
    FigureList figures;
    for (int k = 0; k < 80; ++k) {
        auto f = std::make_unique<tFigura>();
        f->fig_ppz = next(21) * 0.25;
        int x = next(300), y = next(200);
        for (int n = 10 + next(200); n > 0; --n) {
            f->poz.push_back({x * 0.1f, y * 0.1f, static_cast<float>(f->fig_ppz)});
            x = std::clamp(x + next(5) - 2, 0, 300), y = std::clamp(y + next(5) - 2, 0, 200);
        }
        f->PoliczSrodek();
        figures.push_back(std::move(f));
    }
    const double step = 0.5, near = 0.5 * 0.99;
    FigurePoints points(figures, near);
    std::vector<const tFigura*> live;
    for (const auto& f : figures) live.push_back(f.get());
    auto compare = [&] {
        int differ = 0, close = 0;
        for (int k = 0; k < 20000; ++k) {
            auto anyLive = [&] {
                return live[static_cast<std::size_t>(next(static_cast<int>(live.size())))];
            };
            // Every other point within 0.6 mm of a point of some figure.
            TrPkt3D p{next(340) * 0.1f - 2, next(240) * 0.1f - 2, 0};
            if (k % 2) {
                const tFigura& g = *anyLive();
                p = g.poz[static_cast<std::size_t>(next(static_cast<int>(g.poz.size())))];
                p.x += (next(13) - 6) * 0.1f, p.y += (next(13) - 6) * 0.1f;
            }
            const tFigura& self = *anyLive();
            const bool expected = plainClose(live, p, self, step, near);
            differ += points.close(p, self, step, near) != expected;
            close += expected;
        }
        EXPECT_EQ(differ, 0);
        EXPECT_GT(close, 1000);
    };
    compare();
    // Every third figure cut in two, the pieces added in its place.
    FigureList pieces;
    for (std::size_t k = 0; k < figures.size(); k += 3) {
        const tFigura& f = *figures[k];
        const std::size_t half = f.poz.size() / 2;
        for (const auto& [from, to] :
             {std::pair{std::size_t{0}, half}, std::pair{half, f.poz.size()}}) {
            auto piece = std::make_unique<tFigura>();
            piece->fig_ppz = f.fig_ppz;
            piece->poz.assign(f.poz.begin() + static_cast<std::ptrdiff_t>(from),
                              f.poz.begin() + static_cast<std::ptrdiff_t>(to));
            piece->PoliczSrodek();
            points.add(*piece);
            live.push_back(piece.get());
            pieces.push_back(std::move(piece));
        }
        points.remove(f);
        std::erase(live, &f);
    }
    compare();
}
