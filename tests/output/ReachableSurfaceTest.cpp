// The lowest surface a build's tools can reach, worked out by hand: a ball's
// quarter circle at the foot of a vertical step, a flat tool's sharp corner, a
// slot too narrow for one tool and wide enough for another, and an allowance
// that moves the wall out by its radius.
#include "output/ReachableSurface.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korvane;

namespace {

constexpr double cell = 0.25;

// A ball of radius r as rings every micrometre of height.
ToolProfile ball(double r) {
    std::vector<ToolRing> rings;
    for (int k = 0; k <= static_cast<int>(std::lround(r * 1000)); ++k) {
        const double z = k / 1000.0;
        rings.push_back({std::sqrt(r * r - (r - z) * (r - z)), z});
    }
    return ToolProfile(std::move(rings));
}

// 20 x 2 mm: a floor at 0 for x < 10 mm and a wall 5 mm high from x = 10 mm
// (column 40) on.
tpix2d step() {
    tpix2d model(80, 8);
    for (int ix = 40; ix < 80; ++ix)
        for (auto& h : model[ix]) h = 5;
    return model;
}

float at(const tpix2d& map, double x) {
    return map[static_cast<int>(std::lround(x / cell))][4];
}

} // namespace

TEST(ReachableSurface, BallLeavesAQuarterCircleAtTheFootOfAStep) {
    const tpix2d model = step();
    const tpix2d reach = reachableSurface(model, cell, {{ball(1.5), 0}}, 3);
    ASSERT_EQ(reach.columns(), 80);
    ASSERT_EQ(reach.rows(), 8);
    // The ball stands on the floor no nearer than 1.75 mm to the wall's first
    // cell (1.5 mm would put its equator on it), so its surface from x = 8.25
    // to the last floor cell is the quarter circle 1.5 - sqrt(1.5² - (x - 8.25)²).
    const double expected[][2] = {{6, 0},
                                  {8.25, 0},
                                  {9, 1.5 - std::sqrt(2.25 - 0.5625)},
                                  {9.25, 1.5 - std::sqrt(2.25 - 1)},
                                  {9.5, 1.5 - std::sqrt(2.25 - 1.5625)},
                                  {9.75, 1.5},
                                  {10, 5},
                                  {15, 5}};
    for (const auto& [x, z] : expected) {
        EXPECT_GE(at(reach, x), z - 1e-6) << x;
        EXPECT_LE(at(reach, x), z + 0.0011) << x; // the rings lie up to 1 µm above the ball
    }
    // Never below the model, and the same in every row.
    for (int ix = 0; ix < 80; ++ix)
        for (std::size_t iy = 0; iy < 8; ++iy) {
            ASSERT_GE(reach[ix][iy], model[ix][iy]) << ix << " " << iy;
            ASSERT_EQ(reach[ix][iy], reach[ix][4]) << ix << " " << iy;
        }
}

TEST(ReachableSurface, FlatToolsInACornerAndASlot) {
    // A flat tool reaches right into the corner of the step.
    const tpix2d corner = reachableSurface(step(), cell, {{ToolProfile({{1, 0}}), 0}}, 2);
    EXPECT_EQ(at(corner, 9.75), 0);
    EXPECT_EQ(at(corner, 10), 5);

    // A block 5 mm high with a slot at x 5..5.75 (four cells down to 0): a
    // 2 mm tool does not fit and stays on top, a 0.6 mm one stands at
    // x 5.25 and 5.5 and reaches the slot's every cell; with both the lower counts.
    tpix2d slot(40, 8);
    slot.fill(5);
    for (int ix = 20; ix <= 23; ++ix)
        for (auto& h : slot[ix]) h = 0;
    const ToolProfile wide({{1, 0}}), narrow({{0.3, 0}});
    const tpix2d above = reachableSurface(slot, cell, {{wide, 0}}, 2);
    const tpix2d into = reachableSurface(slot, cell, {{wide, 0}, {narrow, 0}}, 2);
    for (double x : {5.0, 5.25, 5.5, 5.75}) {
        EXPECT_EQ(at(above, x), 5) << x;
        EXPECT_EQ(at(into, x), 0) << x;
    }
    EXPECT_EQ(at(into, 4.75), 5);
    EXPECT_EQ(at(into, 6), 5);
    // No tools: nothing is reachable.
    EXPECT_TRUE(std::isinf(at(reachableSurface(slot, cell, {}, 2), 5)));
}

TEST(ReachableSurface, AllowanceRaisesTheModelBySpheres) {
    const ToolProfile flat({{1, 0}});
    tpix2d level(20, 8);
    level.fill(2);
    // 0.5 mm on a flat model; an allowance of at most half a cell is none.
    EXPECT_FLOAT_EQ(at(reachableSurface(level, cell, {{flat, 0.5}}, 2), 2), 2.5);
    EXPECT_FLOAT_EQ(at(reachableSurface(level, cell, {{flat, 0.125}}, 2), 2), 2);
    // Between half a cell and a cell it counts.
    EXPECT_FLOAT_EQ(at(reachableSurface(level, cell, {{flat, 0.2}}, 2), 2), 2.2);
    // At the step the wall moves out to x = 9.5: the floor cell there is 0.5
    // from the wall's foot, so its sphere tops out at 5. The tool stands
    // 1.25 mm off it at most and reaches the floor at 0.5 up to x = 9.25.
    const tpix2d reach = reachableSurface(step(), cell, {{flat, 0.5}}, 4);
    EXPECT_FLOAT_EQ(at(reach, 8), 0.5);
    EXPECT_FLOAT_EQ(at(reach, 9.25), 0.5);
    EXPECT_FLOAT_EQ(at(reach, 9.5), 5);
    EXPECT_FLOAT_EQ(at(reach, 12), 5.5);
}
