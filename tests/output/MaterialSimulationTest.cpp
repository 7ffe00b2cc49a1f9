// The material simulation: the exact sweep against dense stamping, a groove
// whose remaining heights are worked out by hand, a gouging line found where
// it gouges, the moves and transfers of the passes, and threads that do not
// change the result.
#include "output/MaterialSimulation.h"
#include "foundation/State.h"
#include "output/DeviationMap.h"
#include "output/ReachableSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace korvane;

namespace {

tpix2d block(int columns, int rows, float height) {
    tpix2d map(columns, rows);
    map.fill(height);
    return map;
}

ToolProfile tool(std::int32_t typ, double d1, double d2, double h, double step) {
    TFrezDane t;
    t.typ = typ;
    t.d1 = d1;
    t.d2 = d2;
    t.d3 = d1;
    t.h = h;
    t.hc = h;
    pixelSize = 0.25; // TFrez builds its raster profile at the current cell size
    return ToolProfile(TFrez(t), step);
}

// The tool stamped at `count` + 1 evenly spaced points of the segment.
tpix2d denseStamping(tpix2d map, double cell, const ToolProfile& t, Point3 a, Point3 b, int count) {
    for (int j = 0; j <= count; ++j) {
        const double s = static_cast<double>(j) / count;
        stampTool(map, cell, {0, map.rows()}, t,
                  {a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), a.z + s * (b.z - a.z)});
    }
    return map;
}

tpix2d swept(tpix2d map, double cell, const ToolProfile& t, Point3 a, Point3 b) {
    sweepSegment(map, cell, {0, map.rows()}, t, a, b);
    return map;
}

} // namespace

TEST(ToolProfile, RingsOfTheLibraryShapes) {
    // A flat end mill is one ring at the tip; the profile never reaches below the tool.
    const ToolProfile flat = tool(toolEndMill, 6, 0, 20, 0.01);
    ASSERT_EQ(flat.rings().size(), 1u);
    EXPECT_DOUBLE_EQ(flat.rings()[0].radius, 3);
    EXPECT_DOUBLE_EQ(flat.heightAt(3), 0);
    EXPECT_TRUE(std::isinf(flat.heightAt(3.001)));
    // A ball of radius 2: the surface at distance 1 is 2 - sqrt(3) = 0.26795 high,
    // sampled every 0.001 mm of height.
    const ToolProfile ball = tool(toolBallNose, 4, 0, 10, 0.001);
    EXPECT_GE(ball.heightAt(1), 0.267949);
    EXPECT_LE(ball.heightAt(1), 0.267949 + 0.001);
    EXPECT_DOUBLE_EQ(ball.reach(), 2);
    // A cone from 1 mm at the tip to 5 mm at 4 mm: at distance 1.5 it is 2 mm high.
    const ToolProfile cone = tool(toolConical, 1, 5, 4, 0.001);
    EXPECT_DOUBLE_EQ(cone.heightAt(0.5), 0);
    EXPECT_NEAR(cone.heightAt(1.5), 2, 0.0011);

    // The ring reaching a distance, found through the table, is the one a
    // search finds: at every ring's radius, a hair either side of it, before
    // the tip and beyond the reach; rings crowd at the ball's equator.
    for (const ToolProfile* p : {&flat, &ball, &cone}) {
        const auto& rings = p->rings();
        auto search = [&](double d) {
            return static_cast<std::size_t>(
                std::lower_bound(rings.begin(), rings.end(), d,
                                 [](const ToolRing& r, double x) { return r.radius < x; }) -
                rings.begin());
        };
        std::vector<double> distances = {-1, 0, 1e-12, p->reach() + 1e-12, 100};
        for (const ToolRing& r : rings)
            for (double d : {r.radius, std::nextafter(r.radius, 0.0), r.radius + 1e-9})
                distances.push_back(d);
        for (double d : distances) {
            ASSERT_EQ(p->firstRingReaching(d), search(d)) << d;
            // The quick floor is never above the surface there.
            if (d > 0) {
                ASSERT_LE(p->heightFloor(d * d), p->heightAt(d)) << d;
            }
        }
        EXPECT_TRUE(std::isinf(p->heightFloor(4 * p->reach() * p->reach())));
    }
    EXPECT_EQ(flat.heightFloor(-1), 0);
    EXPECT_EQ(flat.heightFloor(4), 0);
    EXPECT_EQ(ToolProfile({}).firstRingReaching(0.5), 0u);
    EXPECT_TRUE(std::isinf(ToolProfile({}).heightFloor(0.25)));
}

TEST(SegmentSweep, MatchesDenseStampingOnHandMadeMoves) {
    const double cell = 0.25;
    struct Case {
        ToolProfile t;
        Point3 a, b;
    };
    const std::vector<Case> cases = {
        {tool(toolBallNose, 4, 0, 10, 0.002), {2, 3, 6}, {8.3, 7.1, 4.2}},     // descending
        {tool(toolBallNose, 4, 0, 10, 0.002), {8.3, 1, 3.5}, {1.2, 8.8, 6.1}}, // climbing
        {tool(toolConical, 0.5, 4, 3, 0.002), {1, 5, 5}, {9, 5.2, 3}},         // steep cone
        {tool(toolEndMill, 3, 0, 10, 0.002), {5, 1, 7}, {5.1, 9, 2}},          // ramp along y
        {tool(toolBallNose, 3, 0, 10, 0.002), {4, 4, 5}, {4, 4, 3}},           // plunge
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        const tpix2d start = block(41, 41, 8);
        const tpix2d exact = swept(start, cell, c.t, c.a, c.b);
        const tpix2d dense = denseStamping(start, cell, c.t, c.a, c.b, 4000);
        double largest = 0;
        for (int ix = 0; ix < 41; ++ix)
            for (int iy = 0; iy < 41; ++iy) {
                // The sweep cuts at least what any stamp on the segment cuts,
                // and the dense stamps come within a ring step of it.
                EXPECT_LE(exact[ix][iy], dense[ix][iy] + 1e-5) << k << " " << ix << " " << iy;
                largest = std::max(largest, static_cast<double>(dense[ix][iy] - exact[ix][iy]));
            }
        EXPECT_LT(largest, 0.004) << "case " << k;
    }
}

TEST(SegmentSweep, StraightGrooveOfAFlatToolWorkedByHand) {
    // A 4 mm flat end mill from (5, 10, 8) to (25, 10, 6) in a block 10 mm high,
    // cells of 0.5 mm; z falls 0.1 mm per mm along the groove.
    const double cell = 0.5;
    const ToolProfile flat({{2, 0}});
    const tpix2d start = block(60, 40, 10);
    const tpix2d down = swept(start, cell, flat, {5, 10, 8}, {25, 10, 6});
    auto at = [&](const tpix2d& m, double x, double y) {
        return m[static_cast<int>(x / cell)][static_cast<std::size_t>(y / cell)];
    };
    // 1 mm off the axis the tool covers the cell until sqrt(3) mm past it.
    EXPECT_NEAR(at(down, 15, 11), 8 - 0.1 * (10 + std::sqrt(3.0)), 1e-5);
    EXPECT_NEAR(at(down, 15, 10), 6.8, 1e-5);
    EXPECT_NEAR(at(down, 15, 8), 7.0, 1e-5);  // the rim: 2 mm off, covered at u = 10 only
    EXPECT_NEAR(at(down, 26, 10), 6.0, 1e-5); // beyond the end: the end's depth
    EXPECT_NEAR(at(down, 4, 10), 7.9, 1e-5);
    EXPECT_NEAR(at(down, 3.5, 10), 7.95, 1e-5);
    EXPECT_EQ(at(down, 15, 12.5), 10.0f); // out of reach
    EXPECT_EQ(at(down, 2.5, 10), 10.0f);
    // The same move the other way round leaves the same groove.
    const tpix2d up = swept(start, cell, flat, {25, 10, 6}, {5, 10, 8});
    for (int ix = 0; ix < 60; ++ix)
        for (int iy = 0; iy < 40; ++iy) EXPECT_NEAR(up[ix][iy], down[ix][iy], 1e-5);
}

TEST(SegmentSweep, LevelGrooveOfABallIsItsSection) {
    // A ball of radius 2 at tip height 7: at w across the groove 9 - sqrt(4 - w²).
    const double cell = 0.5;
    const tpix2d down = swept(block(60, 40, 10), cell, tool(toolBallNose, 4, 0, 10, 0.001),
                              {5, 10, 7}, {25, 10, 7});
    const double expected[] = {7.0, 9 - std::sqrt(3.75), 9 - std::sqrt(3.0), 9 - std::sqrt(1.75),
                               9.0};
    for (int k = 0; k <= 4; ++k) {
        EXPECT_GE(down[30][static_cast<std::size_t>(20 + k)], expected[k] - 1e-5) << k;
        EXPECT_LE(down[30][static_cast<std::size_t>(20 + k)], expected[k] + 0.0011) << k;
    }
}

TEST(MaterialSimulation, GougingLineIsFoundWhereItGouges) {
    // A 2 mm bump on the model at x 5..7, y 9..11; a line at z = 1 along y = 10
    // with a 2 mm flat tool, as a hatching without a motion map would run.
    const double cell = 0.5;
    tpix2d model(40, 40);
    for (int ix = 10; ix <= 14; ++ix)
        for (int iy = 18; iy <= 22; ++iy) model[ix][static_cast<std::size_t>(iy)] = 2;
    FigureList figures;
    figures.push_back(std::make_unique<tFigura>());
    figures.back()->poz = {{0, 10, 1}, {19.5f, 10, 1}};
    std::vector<SimulatedPass> passes;
    passes.push_back({&figures, ToolProfile({{1, 0}})});
    const tpix2d initial = block(40, 40, 5);
    tpix2d remaining = initial;
    ASSERT_TRUE(simulateMaterial(remaining, cell, passes, 2));
    const DeviationMap map = compareWithModel(
        initial, remaining, model, reachableSurface(model, cell, {{passes[0].tool, 0}}, 2), cell);
    EXPECT_DOUBLE_EQ(map.figures.largestGouge, 1.0);
    EXPECT_DOUBLE_EQ(map.figures.gougeX, 5.0);
    EXPECT_DOUBLE_EQ(map.figures.gougeY, 9.0);
    EXPECT_DOUBLE_EQ(map.figures.gougedArea, 25 * 0.25);
    EXPECT_DOUBLE_EQ(map.figures.largestMaterialLeft, 5.0);
    EXPECT_DOUBLE_EQ(map.figures.volumeRemoved, 200 * 4 * 0.25);
    EXPECT_FLOAT_EQ(map.deviation[12][20], -1);
    EXPECT_FLOAT_EQ(map.deviation[12][23], 5);
    EXPECT_FLOAT_EQ(map.deviation[0][18], 1);
    // Untouched cells stand 5 mm above the floor the tool could reach.
    EXPECT_DOUBLE_EQ(map.figures.largestLeftAboveReach, 5.0);
    EXPECT_DOUBLE_EQ(map.figures.leftAboveReachX, 0.0);
    EXPECT_DOUBLE_EQ(map.figures.leftAboveReachY, 0.0);
}

TEST(MaterialSimulation, PathBelowTheBlockRemovesNoMoreThanTheBlock) {
    // A 2 mm flat tool along y = 10 at z = -3, under a block 5 mm high: the
    // 200 cells it crosses lose their 5 mm, not 8.
    const double cell = 0.5;
    const tpix2d model(40, 40);
    FigureList figures;
    figures.push_back(std::make_unique<tFigura>());
    figures.back()->poz = {{0, 10, -3}, {19.5f, 10, -3}};
    const ToolProfile flat({{1, 0}});
    const tpix2d initial = block(40, 40, 5);
    tpix2d remaining = initial;
    ASSERT_TRUE(simulateMaterial(remaining, cell, {{&figures, flat}}, 2));
    const DeviationMap map = compareWithModel(initial, remaining, model,
                                              reachableSurface(model, cell, {{flat, 0}}, 2), cell);
    EXPECT_DOUBLE_EQ(map.figures.volumeRemoved, 200 * 5 * 0.25);
    EXPECT_DOUBLE_EQ(map.figures.largestGouge, 3.0);
}

TEST(MaterialSimulation, MaterialLeftAboveWhatABallCanReachAtAStep) {
    // A floor at 0 for x < 10 and a wall 5 mm high beyond, under 2 mm of
    // material; a 3 mm ball runs along y at x = 0, 0.75, ... 7.5 and 8 on the
    // floor. It could stand at x = 8.25 (1.75 mm off the wall's first cell),
    // where its quarter circle 1.5 - sqrt(2.25 - (x - 8.25)²) ends at x = 9.75.
    const double cell = 0.25;
    tpix2d model(80, 8), initial(80, 8);
    for (int ix = 0; ix < 80; ++ix)
        for (std::size_t iy = 0; iy < 8; ++iy) {
            model[ix][iy] = ix < 40 ? 0 : 5;
            initial[ix][iy] = ix < 40 ? 2 : 5;
        }
    std::vector<ToolRing> rings;
    for (int k = 0; k <= 1500; ++k) {
        const double z = k / 1000.0;
        rings.push_back({std::sqrt(2.25 - (1.5 - z) * (1.5 - z)), z});
    }
    const ToolProfile ball(rings);
    FigureList lines;
    for (double x : {0.0, 0.75, 1.5, 2.25, 3.0, 3.75, 4.5, 5.25, 6.0, 6.75, 7.5, 8.0}) {
        lines.push_back(std::make_unique<tFigura>());
        lines.back()->przestawczyZ = 10;
        lines.back()->poz = {{static_cast<float>(x), -2, 0}, {static_cast<float>(x), 4, 0}};
    }
    tpix2d remaining = initial;
    ASSERT_TRUE(simulateMaterial(remaining, cell, {{&lines, ball}}, 2));
    const DeviationMap map = compareWithModel(initial, remaining, model,
                                              reachableSurface(model, cell, {{ball, 0}}, 2), cell);
    // Against the model the untouched cell at the wall's foot shows 2 mm.
    EXPECT_FLOAT_EQ(map.figures.largestMaterialLeft, 2);
    // Above the reachable surface: at x = 9.5 the ball at 8 leaves its
    // equator, 1.5, over 1.5 - sqrt(2.25 - 1.5625) = 0.670844; at 9.25 it
    // leaves 0.670844 over 0.381966 and at 9.75 the 2 mm over 1.5.
    EXPECT_NEAR(map.figures.largestLeftAboveReach, 1.5 - 0.670844, 0.0011);
    EXPECT_DOUBLE_EQ(map.figures.leftAboveReachX, 9.5);
    EXPECT_DOUBLE_EQ(map.figures.leftAboveReachY, 0);
    EXPECT_NEAR(remaining[37][4] - map.reachable[37][4], 0.670844 - 0.381966, 0.0011);
    EXPECT_NEAR(remaining[39][4] - map.reachable[39][4], 0.5, 0.0011);
    // Square to the reachable surface: at 9.5 its slope runs from 0.381966
    // to 1.5 over 0.5 mm, 2.236068, so the 0.829156 is 0.829156 / sqrt(6) thick.
    EXPECT_NEAR(map.figures.largestThicknessLeft, 0.338502, 0.0011);
    EXPECT_DOUBLE_EQ(map.figures.thicknessLeftX, 9.5);
    EXPECT_DOUBLE_EQ(map.figures.thicknessLeftY, 0);
    // Cell by cell for the simulation's colours: that thickness at 9.5, none
    // under a pass, the scallop 0.25 mm off the pass at 2.25 (on the flat
    // floor, square is vertical); there the reachable surface is the model.
    EXPECT_NEAR(map.thicknessLeft[38][4], 0.338502, 0.0011);
    EXPECT_FLOAT_EQ(map.thicknessLeft[6][4], 0);
    EXPECT_NEAR(map.thicknessLeft[8][4], 1.5 - std::sqrt(2.25 - 0.0625), 0.0011);
    EXPECT_FLOAT_EQ(map.reachGap[8][4], 0);
    // Beyond the ball's last stand the reachable surface stands above the
    // floor: 1.5 at 9.75, square to its slope from 0.670844 up to the wall's 5.
    EXPECT_NEAR(map.reachGap[39][4], 1.5 / std::sqrt(1 + std::pow((5 - 0.670844) / 0.5, 2)), 0.002);
    // Without a tool nothing is reachable: the gap is infinite, nothing left above it.
    const DeviationMap none =
        compareWithModel(initial, remaining, model, reachableSurface(model, cell, {}, 2), cell);
    EXPECT_TRUE(std::isinf(none.reachGap[8][4]));
    EXPECT_FLOAT_EQ(none.thicknessLeft[8][4], 0);
}

TEST(MaterialSimulation, MovesTransfersAndThreads) {
    FigureList figures;
    auto add = [&](double transfer, std::vector<TrPkt3D> points) {
        figures.push_back(std::make_unique<tFigura>());
        figures.back()->przestawczyZ = transfer;
        figures.back()->poz = std::move(points);
    };
    add(3, {{1, 1, -1}, {9, 1, -1}});
    add(7, {}); // no points: no moves, no transfer
    add(4, {{9, 8, -2}});
    add(5, {{2, 8, 0.5f}, {2, 2, 0.5f}, {6, 5, 1}});
    std::vector<SimulatedPass> passes;
    passes.push_back({&figures, ToolProfile({{0.75, 0}, {1.5, 0.5}})});
    const std::vector<ToolMove> moves = toolMoves(passes);
    ASSERT_EQ(moves.size(), 6u);
    auto same = [](const Point3& p, double x, double y, double z) {
        return p.x == x && p.y == y && p.z == z;
    };
    EXPECT_TRUE(same(moves[0].a, 1, 1, -1) && same(moves[0].b, 9, 1, -1));
    EXPECT_TRUE(same(moves[1].a, 9, 1, 3) && same(moves[1].b, 9, 8, 3)); // transfer at 3
    EXPECT_TRUE(same(moves[2].a, 9, 8, -2) && same(moves[2].b, 9, 8, -2));
    EXPECT_TRUE(same(moves[3].a, 9, 8, 4) && same(moves[3].b, 2, 8, 4)); // transfer at 4
    EXPECT_TRUE(same(moves[4].a, 2, 8, 0.5) && same(moves[4].b, 2, 2, 0.5));

    // A transfer below the material cuts it: at (9, 4.5) only the transfer passes.
    const double cell = 0.25;
    tpix2d one = block(48, 48, 6), three = block(48, 48, 6);
    ASSERT_TRUE(simulateMaterial(one, cell, passes, 1));
    ASSERT_TRUE(simulateMaterial(three, cell, passes, 3));
    EXPECT_FLOAT_EQ(one[36][18], 3);
    for (int ix = 0; ix < 48; ++ix)
        for (int iy = 0; iy < 48; ++iy) ASSERT_EQ(one[ix][iy], three[ix][iy]);

    SimulationControl control;
    control.abort = true;
    tpix2d aborted = block(48, 48, 6);
    EXPECT_FALSE(simulateMaterial(aborted, cell, passes, 2, &control));
    EXPECT_EQ(control.movesTotal, 6);
}

TEST(SegmentSweep, MoveAlmostAlongYCutsItsWholeGroove) {
    // A 2 mm flat tool 10 mm along y drifting 2e-8 mm in x, as float noise of
    // a path at x = 0 leaves it: the bounds across the line run to 5e8 mm, far
    // beyond any cell, and the groove is still cut on both sides of the line.
    const double cell = 0.1;
    const tpix2d down =
        swept(block(31, 121, 5), cell, ToolProfile({{1, 0}}), {1, 1, 2}, {1 + 2e-8, 11, 2});
    for (int ix : {1, 5, 10, 15, 19})
        for (int iy : {15, 60, 105})
            EXPECT_FLOAT_EQ(down[ix][static_cast<std::size_t>(iy)], 2) << ix << " " << iy;
    EXPECT_FLOAT_EQ(down[21][60], 5); // 1.1 mm off the line
    EXPECT_FLOAT_EQ(down[20][0], 5);  // sqrt(2) mm from the start
}
