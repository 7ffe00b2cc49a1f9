// A hand-made build simulated as the window and the batch program do: each
// operation's allowance raises the surface its tool can reach, the lowest over
// the operations counts, and an aborted run is neither completed nor compared.
#include "app/BuildSimulation.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

// A 20 x 20 mm flat model under 5 mm of material; a 2 mm flat tool cuts
// lines 1.5 mm apart at z = 0.5 over x 0..12, reaching x = 13.
BuildSimulationInput flatBuild(std::vector<double> allowances) {
    BuildSimulationInput in;
    in.cell = 0.5;
    in.model.resize(41, 41);
    in.initial.resize(41, 41);
    in.initial.fill(5);
    for (double allowance : allowances) {
        in.operations.emplace_back();
        in.operations.back().zostawDoNastOper = allowance;
        in.tools.push_back(ToolProfile({{1, 0}}));
        FigureList lines;
        for (int k = 0; k <= 13; ++k) {
            lines.push_back(std::make_unique<tFigura>());
            lines.back()->przestawczyZ = 10;
            lines.back()->poz = {{0, 1.5f * k, 0.5f}, {12, 1.5f * k, 0.5f}};
        }
        in.outputs.push_back(std::move(lines));
    }
    return in;
}

} // namespace

TEST(BuildSimulation, ReachableSurfaceTakesEachOperationsAllowance) {
    // With 0.5 mm left on the model the cut floor is all the tool may reach:
    // nothing is left above it there, and past the lines' ends the uncut
    // 4.5 mm, first at (13, 0.5), 1.1 mm from the end at (12, 0).
    const BuildSimulationResult kept = simulateBuild(flatBuild({0.5}), 2);
    ASSERT_TRUE(kept.completed);
    EXPECT_DOUBLE_EQ(kept.allowance, 0.5);
    EXPECT_FLOAT_EQ(kept.map.reachable[10][10], 0.5);
    EXPECT_DOUBLE_EQ(kept.map.figures.largestLeftAboveReach, 4.5);
    EXPECT_DOUBLE_EQ(kept.map.figures.leftAboveReachX, 13);
    EXPECT_DOUBLE_EQ(kept.map.figures.leftAboveReachY, 0.5);

    // A second operation with no allowance could reach the model itself: the
    // cut floor now stands 0.5 mm above what the build's tools can reach.
    const BuildSimulationResult both = simulateBuild(flatBuild({0.5, 0}), 2);
    EXPECT_DOUBLE_EQ(both.allowance, 0);
    EXPECT_FLOAT_EQ(both.map.reachable[10][10], 0);
    EXPECT_FLOAT_EQ(both.remaining[10][10] - both.map.reachable[10][10], 0.5);
    EXPECT_DOUBLE_EQ(both.map.figures.largestLeftAboveReach, 5);

    SimulationControl control;
    control.abort = true;
    const BuildSimulationResult aborted = simulateBuild(flatBuild({0}), 2, &control);
    EXPECT_FALSE(aborted.completed);
    EXPECT_TRUE(aborted.map.reachable.empty());
}
