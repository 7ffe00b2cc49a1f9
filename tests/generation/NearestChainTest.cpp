// The chain of figures by nearest start: a small case worked by hand, with a
// tie decided by the places the swaps left, and many figures on a coarse grid
// (full of equal distances) against the plain greedy loop.
#include "generation/NearestChain.h"
#include "NearestChainReference.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <memory>
#include <vector>

using namespace korvane;

namespace {

std::unique_ptr<tFigura> figure(TrPkt3D start, TrPkt3D end, int id) {
    auto f = std::make_unique<tFigura>();
    f->poz = {start, end};
    f->orgIndex = id;
    return f;
}

std::vector<int> ids(const FigureList& figures) {
    std::vector<int> order;
    for (const auto& f : figures) order.push_back(f->orgIndex);
    return order;
}

} // namespace

TEST(NearestChain, EachPlaceTakesTheNearestStartAndTiesGoToTheFirstPlace) {
    FigureList figures;
    figures.push_back(figure({0, 0, 0}, {10, 0, 0}, 0));
    figures.push_back(figure({20, 1, 0}, {20, 2, 0}, 1));
    figures.push_back(figure({20, -1, 0}, {30, -1, 0}, 2));
    figures.push_back(figure({10, 1, 0}, {20, 0, 0}, 3));
    // From (10, 0) figure 3 starts 1 away and swaps with figure 1, which goes
    // to place 3. From (20, 0) figures 2 (place 2) and 1 (place 3) both start
    // 1 away: figure 2 stands first.
    chainByNearestStart(figures, 0);
    EXPECT_EQ(ids(figures), (std::vector<int>{0, 3, 2, 1}));

    // Nothing left to place: the list stays.
    chainByNearestStart(figures, 4);
    EXPECT_EQ(ids(figures), (std::vector<int>{0, 3, 2, 1}));
    FigureList one;
    one.push_back(figure({1, 1, 1}, {2, 2, 2}, 7));
    chainByNearestStart(one, 0);
    EXPECT_EQ(ids(one), std::vector<int>{7});
}

TEST(NearestChain, ManyFiguresComeInTheOrderOfThePlainLoop) {
    std::uint32_t seed = 12345;
    auto next = [&](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>((seed >> 8) % std::uint32_t(range));
    };
    for (const auto& [count, span, from] :
         {std::tuple{3000, 60, 1}, std::tuple{500, 6, 7}, std::tuple{800, 400, 0}}) {
        SCOPED_TRACE(count);
        FigureList a, b;
        for (int k = 0; k < count; ++k) {
            const TrPkt3D s{next(span), next(span), next(2)}, e{next(span), next(span), next(2)};
            a.push_back(figure(s, e, k));
            b.push_back(figure(s, e, k));
        }
        chainByNearestStart(a, size_t(from));
        test::referenceChainByNearestStart(b, size_t(from));
        EXPECT_EQ(ids(a), ids(b));
    }
}
