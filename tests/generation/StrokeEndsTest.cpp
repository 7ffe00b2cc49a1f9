// The ends of a layer's strokes looked up by plan squares against the plain
// scan over every stroke: the same end at every step of a whole chaining with
// refused joins (their strokes left turned round), ties of distance included,
// and the hand-worked ties, turns and the limit.
#include "generation/StrokeEnds.h"
#include "StrokeEndsReference.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace korvane;

namespace {

std::unique_ptr<tFigura> stroke(float x, float y0, float y1, float z, int rank) {
    auto f = std::make_unique<tFigura>();
    f->poz = {{x, y0, z}, {x, y1, z}};
    f->fig_ppz = z;
    f->orgIndex = rank;
    return f;
}

} // namespace

// Columns 1 mm apart with runs on a 0.2 mm grid: many ends at equal
// distances. A few strokes at another level, one figure of a single point.
TEST(StrokeEnds, ChainingTakesTheEndsThePlainScanTakes) {
    std::uint32_t seed = 99;
    auto next = [&](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    };
    FigureList a;
    a.push_back(stroke(50, 50, 50, 3, 0)); // before `from`: never looked at
    const std::size_t from = 1;
    for (int column = 0; column < 40; ++column)
        for (int y = next(10); y < 300; y += 2 + next(40)) {
            const int length = next(30);
            const float z = next(15) == 0 ? 6.0f : 3.0f;
            a.push_back(stroke(static_cast<float>(column), y * 0.2f, (y + length) * 0.2f, z,
                               static_cast<int>(a.size())));
            y += length;
        }
    a[7]->poz.pop_back();
    FigureList b;
    for (const auto& f : a) b.push_back(std::make_unique<tFigura>(*f));
    const double limit = 5.0;
    StrokeEnds ends(b, from, 1.0);
    const std::vector<long> plain =
        test::chainStrokes(a, from, [&](std::size_t i, const FigureList& f) {
            return test::plainNearestEnd(f, i, limit);
        });
    const std::vector<long> squares =
        test::chainStrokes(b, from, test::bySquares(ends, from, limit));
    EXPECT_GT(plain.size(), 300u);
    EXPECT_EQ(squares, plain);
    EXPECT_EQ(a.size(), b.size());
}

TEST(StrokeEnds, TiesGoToTheEarlierStrokeAndItsFirstPoint) {
    FigureList f;
    f.push_back(stroke(5, 0, 5, 1, 0));   // ends at (5, 5)
    f.push_back(stroke(8, 9, 5, 1, 1));   // its last point 3 mm away
    f.push_back(stroke(2, 5, 9, 1, 2));   // its first point 3 mm away too
    f.push_back(stroke(5, 8, 12, 1, 3));  // 3 mm, later in the list
    f.push_back(stroke(5, 10, 20, 1, 4)); // exactly the 5 mm limit: never taken
    StrokeEnds ends(f, 1, 1.0);
    auto end = ends.nearest(f[0]->poz.back(), 1, 5.0);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->rank, 0u);
    EXPECT_TRUE(end->last);
    ends.remove(0);
    end = ends.nearest(f[0]->poz.back(), 1, 5.0);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->rank, 1u);
    EXPECT_FALSE(end->last);
    ends.remove(1);
    ends.remove(1); // twice is harmless
    end = ends.nearest(f[0]->poz.back(), 1, 5.0);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->rank, 2u);
    ends.remove(2);
    EXPECT_FALSE(ends.nearest(f[0]->poz.back(), 1, 5.0));
    // Turned round, a stroke's ends swap their names.
    StrokeEnds turned(f, 1, 1.0);
    turned.turn(0);
    end = turned.nearest(f[0]->poz.back(), 1, 5.0);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->rank, 0u);
    EXPECT_FALSE(end->last);
    turned.turn(2);
    turned.remove(0);
    turned.remove(1);
    end = turned.nearest(f[0]->poz.back(), 1, 5.0);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->rank, 2u);
    EXPECT_TRUE(end->last);
    // At another level nothing is near.
    EXPECT_FALSE(StrokeEnds(f, 1, 1.0).nearest(f[0]->poz.back(), 2, 5.0));
}
