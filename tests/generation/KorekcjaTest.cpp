// The path correction of single points against hand-made triangles: the exact
// distances it is built on, the cases worked out by hand, the hand-out of the
// points to the workers, and the spatial index against the plain scan.
#include "CorrectionSupport.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/KorygujMasterWatek.h"
#include "generation/PointCorrection.h"
#include "generation/TriangleDistance.h"
#include "generation/TriangleGrid.h"
#include "geometry/Figury.h"
#include "geometry/Frez.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace korvane;

namespace {

TFrezDane ball(double diameter) {
    return {"", "Ball", toolBallNose, diameter, 0, diameter, diameter, diameter * 3};
}

TFrezDane endMill(double diameter) {
    return {"", "Flat", toolEndMill, diameter, 0, diameter, 5, 5};
}

// A 10 x 10 mm floor at height z.
TriangleList floorAt(float z) {
    return {{{0, 0, z}, {10, 0, z}, {10, 10, z}}, {{0, 0, z}, {10, 10, z}, {0, 10, z}}};
}

std::vector<std::int32_t> all(const TriangleList& list) {
    std::vector<std::int32_t> v;
    for (std::size_t i = 0; i < list.size(); ++i) v.push_back(std::int32_t(i));
    return v;
}

TrPkt3D correctOnce(const PointCorrector& c, TrPkt3D p, const TriangleList& list) {
    return c.correctAgainst(p, all(list), all(list));
}

class Correction : public ::testing::Test {
  protected:
    void SetUp() override { pixelSize = 0.2; }
};

} // namespace

TEST(TriangleDistance, NearestPointOnFaceEdgeAndVertex) {
    const TTrojkat t = test::sortedTriangle({0, 0, 0}, {4, 0, 0}, {0, 4, 0});
    const Point3 face = nearestOnTriangle(t, {1, 1, 3});
    EXPECT_DOUBLE_EQ(face.x, 1);
    EXPECT_DOUBLE_EQ(face.y, 1);
    EXPECT_DOUBLE_EQ(face.z, 0);
    const Point3 edge = nearestOnTriangle(t, {3, 3, 1}); // beyond the hypotenuse
    EXPECT_DOUBLE_EQ(edge.x, 2);
    EXPECT_DOUBLE_EQ(edge.y, 2);
    const Point3 corner = nearestOnTriangle(t, {-2, -1, 5});
    EXPECT_DOUBLE_EQ(corner.x, 0);
    EXPECT_DOUBLE_EQ(corner.y, 0);
    EXPECT_DOUBLE_EQ(corner.z, 0);
    // A triangle fallen to a segment: its nearest edge point.
    const TTrojkat line = test::sortedTriangle({0, 0, 0}, {2, 0, 0}, {4, 0, 0});
    const Point3 onLine = nearestOnTriangle(line, {3, 1, 0});
    EXPECT_DOUBLE_EQ(onLine.x, 3);
    EXPECT_DOUBLE_EQ(onLine.y, 0);
}

TEST(TriangleDistance, SectionOfASlopeAtAHeight) {
    // Rising 1 mm per mm in x: at z = 2 the section is the line x = 2, y 0..2.
    const TTrojkat t = test::sortedTriangle({0, 0, 0}, {4, 0, 4}, {4, 4, 4});
    const auto s = nearestSectionPoint(t, 5, 1, 2);
    ASSERT_TRUE(s);
    EXPECT_DOUBLE_EQ(s->x, 2);
    EXPECT_DOUBLE_EQ(s->y, 1);
    EXPECT_DOUBLE_EQ(s->distance, 3);
    EXPECT_FALSE(nearestSectionPoint(t, 5, 1, 0)); // at the lowest vertex: no strict section
    EXPECT_FALSE(nearestSectionPoint(t, 5, 1, 4));
}

TEST(TriangleDistance, BallTouchesFaceEdgeOrVertex) {
    // A 45 degree slope z = x over x 0..10: a ball of radius 1 above x = 5
    // touches the face at its centre height 5 + sqrt(2).
    const TTrojkat slope = test::sortedTriangle({0, 0, 0}, {10, 0, 10}, {10, 10, 10});
    EXPECT_NEAR(*ballContactHeight(slope, 5, 3, 1), 5 + std::sqrt(2.0), 1e-12);
    // Above the floor's corner vertex, 0.6 mm off in x and 0.8 mm in y: the
    // vertex holds it at 0.6 (1 - 0.36 - 0.64 = 0 would be the rim).
    const TTrojkat flat = test::sortedTriangle({0, 0, 0}, {4, 0, 0}, {0, 4, 0});
    EXPECT_NEAR(*ballContactHeight(flat, -0.6, -0.0, 1), 0.8, 1e-12);
    // Beside the edge y = 0 of the floor, 0.6 mm off: on the edge at 0.8.
    EXPECT_NEAR(*ballContactHeight(flat, 2, -0.6, 1), 0.8, 1e-12);
    EXPECT_NEAR(*ballContactHeight(flat, 1, 1, 1), 1, 1e-12);
    EXPECT_FALSE(ballContactHeight(flat, 2, -1.5, 1));
}

TEST_F(Correction, BallAlreadyAtItsDistanceStays) {
    const TriangleList floor = floorAt(0);
    const TFrez frez(ball(2));
    const PointCorrector c(frez, 0.5, 100, pixelSize, floor);
    // Centre 1.5 above the floor: the radius 1 plus the allowance 0.5.
    const TrPkt3D p{5, 5, 0.5f};
    const TrPkt3D q = correctOnce(c, p, floor);
    EXPECT_EQ(q.x, p.x);
    EXPECT_EQ(q.y, p.y);
    EXPECT_EQ(q.z, p.z);
}

TEST_F(Correction, BallTooLowIsRaisedAndHoveringBallDrawnDown) {
    const TriangleList floor = floorAt(0);
    const TFrez frez(ball(2));
    const PointCorrector c(frez, 0.5, 100, pixelSize, floor);
    const TrPkt3D low = correctOnce(c, {5, 5, 0.2f}, floor);
    EXPECT_NEAR(low.z, 0.5, 1e-6);
    EXPECT_EQ(low.x, 5.0f);
    const TrPkt3D hovering = correctOnce(c, {5, 5, 0.55f}, floor);
    EXPECT_NEAR(hovering.z, 0.5, 1e-6);
    // 0.6 above: the floor lies below the ball's reach plus a tenth of its
    // radius, and the point stays.
    EXPECT_EQ(correctOnce(c, {5, 5, 0.65f}, floor).z, 0.65f);
}

TEST_F(Correction, SurfacePointAtTheBallCentreGoesStraightUp) {
    // The floor at 1 mm and the ball's tip at 0: its centre lies on the floor.
    const TriangleList floor = floorAt(1);
    const TFrez frez(ball(2));
    const PointCorrector c(frez, 0.5, 100, pixelSize, floor);
    const TrPkt3D q = correctOnce(c, {5, 5, 0}, floor);
    EXPECT_EQ(q.x, 5.0f);
    EXPECT_EQ(q.y, 5.0f);
    EXPECT_NEAR(q.z, 1.5, 2e-6);
    // A slope through the centre: it ends at the ball radius plus allowance
    // from the slope, whichever way it went.
    const TriangleList slope = {test::sortedTriangle({0, 0, -4}, {10, 0, 6}, {10, 10, 6}),
                                test::sortedTriangle({0, 0, -4}, {10, 10, 6}, {0, 10, -4})};
    const PointCorrector onSlope(frez, 0.5, 100, pixelSize, slope);
    const TrPkt3D s = correctOnce(onSlope, {4, 5, -1}, slope);
    EXPECT_NEAR(test::distanceToModel(slope, {s.x, s.y, s.z + 1.0}), 1.5, 1e-5);
}

TEST_F(Correction, BallInAValleyEndsClearOfBothSides) {
    // A V valley of 90 degrees along y at x = 5: the ball of radius 1 rests
    // with its centre sqrt(2) above the bottom line.
    const TriangleList valley = {test::sortedTriangle({0, 0, 5}, {5, 0, 0}, {5, 10, 0}),
                                 test::sortedTriangle({0, 0, 5}, {5, 10, 0}, {0, 10, 5}),
                                 test::sortedTriangle({5, 0, 0}, {10, 0, 5}, {10, 10, 5}),
                                 test::sortedTriangle({5, 0, 0}, {10, 10, 5}, {5, 10, 0})};
    const TFrez frez(ball(2));
    const PointCorrector c(frez, 0, 100, pixelSize, valley);
    const TrPkt3D q = correctOnce(c, {5.3f, 5, 0}, valley);
    const double d = test::distanceToModel(valley, {q.x, q.y, q.z + 1.0});
    EXPECT_GE(d, 1 - 1e-6);
    EXPECT_LE(d, 1 + 1e-5);
    EXPECT_NEAR(q.x, 5, 1e-5);
    EXPECT_NEAR(q.z, std::sqrt(2.0) - 1, 1e-5);
}

TEST_F(Correction, BallLiftedOutOfANarrowGrooveFarOutStaysClearAsStored) {
    // A V groove 1.6 mm wide and 10 mm deep in a top at 400 mm, 1000 mm out:
    // narrower than the ball of radius 1, pushed from one side into the other
    // it never settles and is lifted onto the rims. Stored as a Single, a
    // height there is only good to 3e-5 mm: rounded down, it would sink the
    // ball into a rim.
    const TriangleList groove = {
        test::sortedTriangle({999.2f, 0, 400}, {1000, 0, 390}, {1000, 10, 390}),
        test::sortedTriangle({999.2f, 0, 400}, {1000, 10, 390}, {999.2f, 10, 400}),
        test::sortedTriangle({1000, 0, 390}, {1000.8f, 0, 400}, {1000.8f, 10, 400}),
        test::sortedTriangle({1000, 0, 390}, {1000.8f, 10, 400}, {1000, 10, 390}),
        test::sortedTriangle({990, 0, 400}, {999.2f, 0, 400}, {999.2f, 10, 400}),
        test::sortedTriangle({990, 0, 400}, {999.2f, 10, 400}, {990, 10, 400}),
        test::sortedTriangle({1000.8f, 0, 400}, {1010, 0, 400}, {1010, 10, 400}),
        test::sortedTriangle({1000.8f, 0, 400}, {1010, 10, 400}, {1000.8f, 10, 400})};
    const TFrez frez(ball(2));
    const PointCorrector c(frez, 0, 1000, pixelSize, groove);
    for (int i = 0; i <= 60; ++i) {
        const TrPkt3D p{999.7f + 0.01f * float(i), 5, 399};
        // No flank triangles: nothing lifts the ball after its own correction.
        const TrPkt3D q = c.correctAgainst(p, all(groove), {});
        const double d = test::distanceToModel(groove, {q.x, q.y, q.z + 1.0});
        EXPECT_GE(d, 1.0) << i;
        EXPECT_LE(d, 1.001) << i;
    }
}

TEST_F(Correction, FlankPushedOutOfAWall) {
    // A slope rising 8 mm per mm in x between x = 5 and 6. A flat end mill of
    // 2 mm, flank levels from 1 mm every 0.2 mm up to 5 mm.
    const TriangleList wall = {test::sortedTriangle({5, 0, 0}, {6, 0, 8}, {6, 10, 8}),
                               test::sortedTriangle({5, 0, 0}, {6, 10, 8}, {5, 10, 0})};
    const TFrez frez(endMill(2));
    const PointCorrector c(frez, 0, 100, pixelSize, wall);
    // The axis at x = 4.5: at level 1 the wall's section x = 5.125 lies 0.625
    // away, a cut of 0.375, the deepest (at level 5 it lies 1.125 away); the
    // tool moves back to 1 mm from the section, x = 4.125. There its flat
    // bottom's rim still reaches the slope at x = 5.125, 1 mm high: it is
    // lifted to stand on it.
    const TrPkt3D q = correctOnce(c, {4.5f, 5, 0}, wall);
    EXPECT_EQ(q.x, 4.125f);
    EXPECT_EQ(q.y, 5.0f);
    EXPECT_NEAR(q.z, 1.0f, 1e-5);
    // The axis on the section: pushed downhill across it, to x = 4.125 too.
    const TrPkt3D on = correctOnce(c, {5.125f, 5, 0}, wall);
    EXPECT_EQ(on.x, 4.125f);
    EXPECT_EQ(on.y, 5.0f);
    // With an allowance of 0.25 the flank keeps 1.25 from the section.
    const PointCorrector kept(frez, 0.25, 100, pixelSize, wall);
    EXPECT_EQ(correctOnce(kept, {4.5f, 5, 0}, wall).x, 3.875f);
    // Levels at or above MaxZ are not examined.
    const PointCorrector capped(frez, 0, 0.9, pixelSize, wall);
    EXPECT_EQ(correctOnce(capped, {4.5f, 5, 0}, wall).x, 4.5f);
}

TEST_F(Correction, ConeFlankKeptOffAWall) {
    // A V cutter: point at the tip, 4 mm across at 2 mm, so its radius equals
    // the height; levels from the tip every 0.2 mm up to 2 mm. The wall rises
    // 8 mm per mm from x = 5. With the axis at x = 4.5 the cut r - G =
    // h - (0.5 + h / 8) is deepest at h = 2: the section x = 5.25 lies 0.75
    // away from the axis against a radius of 2, and the tool goes back to 3.25.
    const TriangleList wall = {test::sortedTriangle({5, 0, 0}, {6, 0, 8}, {6, 10, 8}),
                               test::sortedTriangle({5, 0, 0}, {6, 10, 8}, {5, 10, 0})};
    const TFrez frez({"", "V", toolConical, 0, 4, 4, 2, 2});
    const PointCorrector c(frez, 0, 100, pixelSize, wall);
    const TrPkt3D q = correctOnce(c, {4.5f, 5, 0}, wall);
    EXPECT_NEAR(q.x, 3.25, 1e-6);
    EXPECT_EQ(q.y, 5.0f);
    EXPECT_EQ(q.z, 0.0f); // only the ball end is moved up or down
}

TEST_F(Correction, ToolHeightsBeyondReasonStillCorrect) {
    const TriangleList wall = {test::sortedTriangle({5, 0, 0}, {6, 0, 8}, {6, 10, 8}),
                               test::sortedTriangle({5, 0, 0}, {6, 10, 8}, {5, 10, 0})};
    // No cell size: no flank levels, the point stays.
    const TFrez flat(endMill(2));
    EXPECT_EQ(correctOnce(PointCorrector(flat, 0, 100, 0, wall), {4.5f, 5, 0}, wall).x, 4.5f);
    // A shank 10^12 mm long: the levels stop, the wall's cut is still found.
    const TFrez tall({"", "Tall", toolEndMill, 2, 0, 2, 5, 1e12});
    EXPECT_EQ(correctOnce(PointCorrector(tall, 0, 100, pixelSize, wall), {4.5f, 5, 0}, wall).x,
              4.125f);
}

TEST_F(Correction, PointsBeyondTheModelAndPlaneFiguresStay) {
    modelTriangles = floorAt(0);
    modelSize = {10, 10, 0};
    auto f = std::make_unique<tFigura>();
    f->poz = {{5, 5, -1}, {5, 6, -1}};
    f->plaszczyzna = true;
    figureList.push_back(std::move(f));
    auto g = std::make_unique<tFigura>();
    // Far beyond the floor's edge; beyond it by more than the slack (two cells)
    // plus the ball's reach; and just beyond it, where the ball of radius 1
    // reaches round the edge, its centre 1 from the edge point (0, 5, 0).
    g->poz = {{-5, 5, 0}, {-1, 5, 0}, {-0.5f, 5, 0}};
    figureList.push_back(std::move(g));
    const TFrez frez(ball(2));
    cKorygujMaster(frez, 0, 10, 2).Execute();
    EXPECT_EQ(figureList[0]->poz[0].z, -1.0f);
    EXPECT_EQ(figureList[0]->poz[1].z, -1.0f);
    const auto& p = figureList[1]->poz;
    EXPECT_EQ(p[0].x, -5.0f);
    EXPECT_EQ(p[0].z, 0.0f);
    EXPECT_EQ(p[1].x, -1.0f);
    EXPECT_EQ(p[1].z, 0.0f);
    EXPECT_NEAR(p[2].x, -0.5 / std::sqrt(1.25), 1e-6);
    EXPECT_NEAR(p[2].z, 1 / std::sqrt(1.25) - 1, 1e-6);
}

TEST(CorrectionShares, PointsHandedOutInTurn) {
    EXPECT_EQ(pointShares(7, 1), (std::vector<long long>{7})); // one worker: every point
    EXPECT_EQ(pointShares(10, 4), (std::vector<long long>{2, 2, 2, 4}));
    EXPECT_EQ(pointShares(7, 4), (std::vector<long long>{2, 2, 2, 1}));
    EXPECT_EQ(pointShares(5, 2), (std::vector<long long>{2, 3})); // 2.5 rounds to 2
    // Fewer points than the rounded shares ask: the later workers get none.
    EXPECT_EQ(pointShares(4, 6), (std::vector<long long>{1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(pointShares(0, 3), (std::vector<long long>{0, 0, 0}));
    // 10 s for a quarter of 1000 points: 30 s to go.
    EXPECT_DOUBLE_EQ(remainingSeconds(10, 1000, 250), 30);
    EXPECT_DOUBLE_EQ(remainingSeconds(4, 8, 8), 0);
    EXPECT_EQ(remainingTimeText(3725.4), "1:02:05");
    EXPECT_EQ(remainingTimeText(-2), "0:00:00");
}

TEST(CorrectionShares, RepeatedPointsRemovedAndAStopLeavesTheRest) {
    pixelSize = 0.2;
    modelTriangles = floorAt(0);
    auto f = std::make_unique<tFigura>();
    f->poz = {{5, 5, -0.3f}, {5, 5, -0.3f}, {6, 5, -0.3f}};
    figureList.push_back(std::move(f));
    const TFrez frez(ball(2));
    generationTerminate = true;
    cKorygujMaster(frez, 0, 10, 1).Execute();
    ASSERT_EQ(figureList[0]->count(), 2);
    EXPECT_EQ(figureList[0]->poz[0].z, -0.3f); // not raised: the stop came first
}

TEST(TriangleGridIndex, SameTrianglesAsTheScan) {
    const TriangleList mesh = test::ridgeAndWallMesh();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(-4, 44), y(-4, 34), z(-1, 9);
    const double any = -std::numeric_limits<double>::infinity();
    std::vector<std::int32_t> fromGrid, fromScan;
    for (const double reach : {0.0, 0.35, 1.75, 6.0})
        for (const auto order : {TriangleGrid::Order::byPosition, TriangleGrid::Order::byTop}) {
            const TriangleGrid grid(mesh, reach, order);
            for (int k = 0; k < 2000; ++k) {
                const double px = x(random), py = y(random), above = k % 2 ? any : z(random);
                grid.near(px, py, above, fromGrid);
                test::scanNear(mesh, reach, px, py, above, fromScan);
                ASSERT_EQ(fromGrid, fromScan) << reach << " " << px << " " << py << " " << above;
            }
            // On the grid lines of the mesh (box edges), far outside, and at the
            // height of the block's top (6: not above it).
            for (const double px : {0.0, 12.0, 26.0, 26.01, 40.0, -100.0, 1e9})
                for (const double above : {any, 6.0}) {
                    grid.near(px, 15, above, fromGrid);
                    test::scanNear(mesh, reach, px, 15, above, fromScan);
                    ASSERT_EQ(fromGrid, fromScan) << reach << " " << px << " " << above;
                }
        }
    const TriangleGrid empty(TriangleList{}, 1);
    empty.near(1, 1, any, fromGrid);
    EXPECT_TRUE(fromGrid.empty());
}
