#include "geometry/Frez.h"
#include "foundation/State.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

using namespace korvane;

namespace {

TFrezDane tool(std::int32_t typ, double d1, double d2, double d3, double h, double hc) {
    TFrezDane t;
    t.typ = typ;
    t.d1 = d1;
    t.d2 = d2;
    t.d3 = d3;
    t.h = h;
    t.hc = hc;
    return t;
}

double maxDistance(const TFrez& f, float atZ) {
    double d = 0;
    for (const TPkt3D& q : f.Powierzchnia)
        if (q.z == atZ) d = std::max(d, std::hypot(q.x, q.y));
    return d;
}

void expectDistinctOffsets(const TFrez& f) {
    std::set<std::pair<int, int>> seen;
    for (const TPkt3D& q : f.Powierzchnia) {
        EXPECT_TRUE(seen.emplace(q.x, q.y).second) << q.x << "," << q.y;
        EXPECT_GE(q.z, 0.0f);
    }
}

const TPkt3D* find(const TFrez& f, int x, int y) {
    for (const TPkt3D& q : f.Powierzchnia)
        if (q.x == x && q.y == y) return &q;
    return nullptr;
}

} // namespace

TEST(FrezTest, FlatEndMillTipDisk) {
    pixelSize = 0.2;
    const TFrez f(tool(toolEndMill, 6, 0, 6, 30, 60));
    expectDistinctOffsets(f);
    ASSERT_NE(find(f, 0, 0), nullptr);
    EXPECT_EQ(find(f, 0, 0)->z, 0.0f);
    EXPECT_EQ(find(f, 14, 0)->z, 0.0f);
    EXPECT_EQ(find(f, 0, -14)->z, 0.0f);
    EXPECT_EQ(find(f, 15, 0), nullptr);
    EXPECT_LT(maxDistance(f, 0), 14.5); // grid points of the ring of 14 cells
    // d3 = d1: nothing above the tip.
    for (const TPkt3D& q : f.Powierzchnia) EXPECT_EQ(q.z, 0.0f);
    // The disk is filled: every cell within 13 cells is present.
    for (int x = -13; x <= 13; ++x)
        for (int y = -13; y <= 13; ++y) {
            if (x * x + y * y <= 13 * 13) {
                EXPECT_NE(find(f, x, y), nullptr) << x << "," << y;
            }
        }
}

TEST(FrezTest, BallNose) {
    pixelSize = 0.2;
    const TFrez f(tool(toolBallNose, 6, 0, 6, 3, 60));
    expectDistinctOffsets(f);
    EXPECT_EQ(find(f, 0, 0)->z, 0.0f);
    const TPkt3D* rim = find(f, 14, 0);
    ASSERT_NE(rim, nullptr);
    EXPECT_GT(rim->z, 2.0f);
    EXPECT_LE(rim->z, 3.0f);
    // Heights grow outwards along a ray.
    for (int x = 1; x <= 14; ++x) EXPECT_GE(find(f, x, 0)->z, find(f, x - 1, 0)->z);

    // The default 3 mm ball with its body widening to 5 mm up to 10 mm.
    pixelSize = 0.1;
    const TFrez ball3(tool(toolBallNose, 3, 0, 5, 3, 10));
    expectDistinctOffsets(ball3);
    EXPECT_NEAR(maxDistance(ball3, 10.0f), 25 - 0.51, 1.0);
}

TEST(FrezTest, ConeAndRingAndNothing) {
    pixelSize = 0.2;
    const TFrez cone(tool(toolConical, 0, 4, 4, 5, 60));
    expectDistinctOffsets(cone);
    EXPECT_EQ(find(cone, 0, 0)->z, 0.0f);
    // One ring per cell of height, widening by about 0.4 cells per ring.
    EXPECT_NEAR(maxDistance(cone, static_cast<float>(25 * 0.2)), 10 - 0.51, 0.6);
    EXPECT_EQ(find(cone, 0, 0)->z, 0.0f);

    const TFrez ring(tool(toolRing, 6, 0, 0, 0, 0));
    expectDistinctOffsets(ring);
    EXPECT_EQ(find(ring, 0, 0), nullptr);
    for (const TPkt3D& q : ring.Powierzchnia) EXPECT_NEAR(std::hypot(q.x, q.y), 15, 0.75);

    EXPECT_TRUE(TFrez(tool(7, 6, 0, 0, 0, 0)).Powierzchnia.empty());
    // A tip narrower than a cell has no points.
    EXPECT_TRUE(TFrez(tool(toolEndMill, 0.2, 0, 0.2, 5, 10)).Powierzchnia.empty());
    // A ball under a cell still builds (no root of a negative number).
    const TFrez tiny(tool(toolBallNose, 0.25, 0, 0.25, 1, 10));
    expectDistinctOffsets(tiny);
}

TEST(FrezTest, RadiusAtHeight) {
    pixelSize = 0.2;
    const TFrez ball(tool(toolBallNose, 6, 0, 10, 4, 8));
    EXPECT_FLOAT_EQ(ball.PromienNaWysokosci(0), 0);
    EXPECT_FLOAT_EQ(ball.PromienNaWysokosci(3), 3);
    EXPECT_FLOAT_EQ(ball.PromienNaWysokosci(4), 3);
    EXPECT_FLOAT_EQ(ball.PromienNaWysokosci(1), std::sqrt(9.0f - 4.0f));
    EXPECT_FLOAT_EQ(ball.PromienNaWysokosci(6), 4); // halfway from 3 at h to 5 at hc
    EXPECT_FLOAT_EQ(ball.PromienNaWysokosci(-1), 0);

    const TFrez mill(tool(toolEndMill, 6, 0, 6, 30, 60));
    EXPECT_FLOAT_EQ(mill.PromienNaWysokosci(0), 3);
    EXPECT_FLOAT_EQ(mill.PromienNaWysokosci(45), 3);

    const TFrez cone(tool(toolConical, 2, 4, 4, 5, 60));
    EXPECT_FLOAT_EQ(cone.PromienNaWysokosci(0), 1);
    EXPECT_FLOAT_EQ(cone.PromienNaWysokosci(2.5f), 1.5f);
    EXPECT_FLOAT_EQ(cone.PromienNaWysokosci(10), 2);

    EXPECT_FLOAT_EQ(TFrez(tool(toolRing, 6, 0, 0, 0, 0)).PromienNaWysokosci(1), 0);
    // No taper length: the upper diameter right above h, not a division by zero.
    EXPECT_FLOAT_EQ(TFrez(tool(toolEndMill, 6, 0, 8, 5, 5)).PromienNaWysokosci(6), 4);
}
