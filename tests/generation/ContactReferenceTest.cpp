// The exact contact of a tool with triangles: the brute-force reference on
// cases worked by hand (a vertex and an edge just inside a ball's rim, a
// vertical wall, a facet whose contact point falls just outside it), and the
// program's contact, per triangle and with the correction, against it.
#include "ContactReference.h"
#include "CorrectionSupport.h"

#include "foundation/State.h"
#include "generation/PointCorrection.h"
#include "generation/ToolContact.h"
#include "generation/TriangleClearance.h"
#include "geometry/Frez.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

using namespace korvane;
using test::sortedTriangle;

namespace {

const TFrezDane ball3{"", "Ball", toolBallNose, 3, 0, 3, 20, 20};
const TFrezDane flat3{"", "Flat", toolEndMill, 3, 0, 3, 20, 20};
// A cone from 0.2 mm at the tip to 3 mm at 5 mm: 5 / 1.4 mm up per mm out.
const TFrezDane cone{"", "Cone", toolConical, 0.2, 3, 3, 5, 5};

double tip(const TriangleList& list, const TFrezDane& tool, double x, double y) {
    return test::ContactReference(list, test::referenceParts(tool)).tip(x, y);
}

// One vertex at (1.499, 0, 10), the rest of the triangle falling away from
// the axis through the origin.
TriangleList vertexNearRim() {
    return {sortedTriangle({1.499f, 0, 10}, {5, -2, 0}, {5, 2, 0})};
}

// A wall at x = 1 from z = 0 to 10, and a floor at z = 0 beyond it.
TriangleList wall() {
    return {sortedTriangle({1, -5, 0}, {1, 5, 0}, {1, 5, 10}),
            sortedTriangle({1, -5, 0}, {1, 5, 10}, {1, -5, 10}),
            sortedTriangle({-5, -5, 0}, {1, -5, 0}, {1, 5, 0}),
            sortedTriangle({-5, -5, 0}, {1, 5, 0}, {-5, 5, 0})};
}

} // namespace

TEST(ContactReference, VertexAndEdgeJustInsideTheRim) {
    const double x = double(1.499f);
    EXPECT_NEAR(tip(vertexNearRim(), ball3, 0, 0), 10 + std::sqrt(2.25 - x * x) - 1.5, 1e-9);
    EXPECT_NEAR(tip(vertexNearRim(), flat3, 0, 0), 10, 1e-9);
    EXPECT_NEAR(tip(vertexNearRim(), cone, 0, 0), 10 - 5 / 1.4 * (x - 0.1), 1e-9);
    // Beyond the rim nothing lies under the tool.
    EXPECT_EQ(tip(vertexNearRim(), ball3, -0.002, 0), -std::numeric_limits<double>::infinity());

    // A level edge along y at x = 1.4999, 5 mm high, its face falling away.
    const TriangleList edge{sortedTriangle({1.4999f, -5, 5}, {1.4999f, 5, 5}, {6, 0, 0})};
    const double e = double(1.4999f);
    EXPECT_NEAR(tip(edge, ball3, 0, 0), 5 + std::sqrt(2.25 - e * e) - 1.5, 1e-9);
    EXPECT_NEAR(tip(edge, flat3, 0, 0), 5, 1e-9);
    // Along the edge the ball touches its nearest point: 3 mm farther on the
    // same height.
    EXPECT_NEAR(tip(edge, ball3, 0, 3), tip(edge, ball3, 0, 0), 1e-12);
}

TEST(ContactReference, VerticalWall) {
    // The ball touches the top edge 1 mm from its axis, the flat end stands on
    // it, the cone touches it on its slope.
    EXPECT_NEAR(tip(wall(), ball3, 0, 0), 10 + std::sqrt(1.25) - 1.5, 1e-9);
    EXPECT_NEAR(tip(wall(), flat3, 0, 0), 10, 1e-9);
    EXPECT_NEAR(tip(wall(), cone, 0, 0), 10 - 5 / 1.4 * 0.9, 1e-9);
    // Away from the wall the floor.
    EXPECT_NEAR(tip(wall(), ball3, -2, 0), 0, 1e-9);
    EXPECT_NEAR(tip(wall(), cone, -1.2, 0), 0, 1e-9);
}

TEST(ContactReference, FacetWhoseContactFallsJustOutside) {
    // The plane z = x; a 3 mm ball at the origin would touch it at x =
    // 1.5 / sqrt 2 = 1.06066, but the facet ends at x = 1.06 in a level edge.
    const TriangleList facet{sortedTriangle({1.06f, -5, 1.06f}, {1.06f, 5, 1.06f}, {-5, 0, -5})};
    const double e = double(1.06f);
    const double onEdge = e + std::sqrt(2.25 - e * e) - 1.5;
    EXPECT_NEAR(tip(facet, ball3, 0, 0), onEdge, 1e-9);
    EXPECT_LT(onEdge, 1.5 * std::sqrt(2.0) - 1.5 - 1e-7); // below the plane's contact
    // 0.01 mm back the contact lies on the facet.
    EXPECT_NEAR(tip(facet, ball3, -0.01, 0), -0.01 + 1.5 * std::sqrt(2.0) - 1.5, 1e-6);
    // The cone touches the plane at its rim when the plane is steeper than
    // the cone, else at its flat tip.
    EXPECT_NEAR(tip(facet, cone, -1.5, 0), -1.5 + 0.1, 1e-6);
}

// The program's contact of each tool with random triangles, some of them
// steep, some level, some vertical, against the reference.
TEST(ContactReference, ProgramContactMatches) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-3, 3), height(0, 4);
    for (const TFrezDane& tool : {ball3, flat3, cone}) {
        pixelSize = 0.1;
        const TFrez frez(tool);
        const ToolContact contact(frez, 0);
        double worst = 0;
        for (int k = 0; k < 3000; ++k) {
            TrPkt3D a{coordinate(random), coordinate(random), height(random)};
            TrPkt3D b{coordinate(random), coordinate(random), height(random)};
            TrPkt3D c{coordinate(random), coordinate(random), height(random)};
            if (k % 5 == 1) b.z = c.z = a.z;         // level
            if (k % 5 == 2) b = {a.x, a.y, a.z + 3}; // vertical
            const TriangleList one{sortedTriangle(a, b, c)};
            const double x = coordinate(random) / 2, y = coordinate(random) / 2;
            const double want = tip(one, tool, x, y), got = contact.tipOver(one[0], x, y);
            if (std::isinf(want)) {
                EXPECT_EQ(got, want) << tool.nazwa << " triangle " << k;
                continue;
            }
            worst = std::max(worst, std::abs(got - want));
            EXPECT_NEAR(got, want, 1e-6) << tool.nazwa << " triangle " << k;
        }
        EXPECT_LT(worst, 1e-6) << tool.nazwa;
    }
}

// The correction lifts a point that stands below a vertex at the very rim of
// the ball, whatever the raster said.
TEST(ContactReference, CorrectionFindsTheRimContact) {
    pixelSize = 0.2;
    const TriangleList list = vertexNearRim();
    for (const TFrezDane& tool : {ball3, flat3, cone}) {
        const TFrez frez(tool);
        const PointCorrector corrector(frez, 0, 100, pixelSize, list);
        const std::vector<std::int32_t> all{0};
        for (const float z : {0.0f, 7.0f, 8.5f}) {
            const TrPkt3D p = corrector.correctAgainst({0, 0, z}, all, all);
            EXPECT_GE(p.z, tip(list, tool, p.x, p.y) - 1e-5) << tool.nazwa << " from " << z;
        }
    }
}

// How deep a straight move cuts, with the program's exact sweep (and the
// static contacts at its ends), against the reference lowered every half
// micrometre along the move: the same, but for the ball's precision either way.
TEST(ContactReference, MoveCutMatchesTheSampledReference) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(-3, 3), height(0, 4);
    pixelSize = 0.2;
    for (const TFrezDane& tool : {ball3, flat3, cone}) {
        const TFrez frez(tool);
        int cutting = 0;
        for (int k = 0; k < 300; ++k) {
            TrPkt3D a{coordinate(random), coordinate(random), height(random)};
            TrPkt3D b{coordinate(random), coordinate(random), height(random)};
            TrPkt3D c{coordinate(random), coordinate(random), height(random)};
            if (k % 3 == 1) b = {a.x, a.y, a.z + 3}; // a vertical edge
            const TriangleList one{sortedTriangle(a, b, c)};
            const TriangleClearance clearance(frez, 0, one, pixelSize);
            const test::ContactReference exact(one, test::referenceParts(tool));
            const TrPkt3D from{coordinate(random) / 2, coordinate(random) / 2, height(random)};
            TrPkt3D to{coordinate(random) / 2, coordinate(random) / 2, height(random)};
            if (k % 4 == 1) to.z = from.z; // level
            const double dx = double(to.x) - from.x, dy = double(to.y) - from.y;
            const int n = static_cast<int>(std::ceil(std::hypot(dx, dy) / 0.0005)) + 1;
            double sampled = 0;
            for (int i = 0; i <= n; ++i) {
                const double t = double(i) / n;
                sampled = std::max(sampled, exact.tip(from.x + t * dx, from.y + t * dy) -
                                                (from.z + t * (double(to.z) - from.z)));
            }
            const double got =
                std::max({clearance.cut(from, to), clearance.tipHeight(from.x, from.y) - from.z,
                          clearance.tipHeight(to.x, to.y) - to.z});
            cutting += sampled > 0;
            EXPECT_GE(got, sampled - TriangleClearance::tolerance / 4 - 1e-6)
                << tool.nazwa << " move " << k;
            EXPECT_LE(got, sampled + TriangleClearance::tolerance / 4 + 1e-4)
                << tool.nazwa << " move " << k;
        }
        EXPECT_GT(cutting, 50) << tool.nazwa;
    }
}
