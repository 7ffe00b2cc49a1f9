// A picture relief's raster as triangles for the model view: every cell a
// vertex on a small map, a coarser grid keeping the last column and row.
#include "app/ReliefMesh.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

bool same(const TrPkt3D& p, float x, float y, float z) {
    return p.x == x && p.y == y && p.z == z;
}

} // namespace

TEST(ReliefMesh, EveryCellOnASmallMapCounterClockwiseFromAbove) {
    tpix2d heights(3, 2);
    heights[1][1] = 4;
    heights[2][0] = 1;
    const TriangleList t = reliefTriangles(heights, 0.5, 10);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_TRUE(same(t[0].a, 0, 0, 0));
    EXPECT_TRUE(same(t[0].b, 0.5f, 0, 0));
    EXPECT_TRUE(same(t[0].c, 0.5f, 0.5f, 4));
    EXPECT_TRUE(same(t[1].c, 0, 0.5f, 0));
    EXPECT_TRUE(same(t[2].b, 1, 0, 1));
    for (const TTrojkat& k : t) {
        const float z = (k.b.x - k.a.x) * (k.c.y - k.a.y) - (k.b.y - k.a.y) * (k.c.x - k.a.x);
        EXPECT_GT(z, 0); // the normal's z: facing up
    }
}

TEST(ReliefMesh, CoarserGridKeepsTheFarEdges) {
    // Eleven columns, at most four vertices a side: columns 0, 4, 8 and 10.
    const TriangleList t = reliefTriangles(tpix2d(11, 3), 0.1, 4);
    EXPECT_EQ(t.size(), 3u * 1 * 2);
    EXPECT_FLOAT_EQ(t.back().b.x, 1.0f);
    EXPECT_FLOAT_EQ(t.back().c.y, 0.2f);
    EXPECT_TRUE(reliefTriangles(tpix2d(1, 5), 0.1, 4).empty());
}
