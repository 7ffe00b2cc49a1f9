// Spirals made to descend after their points were raised: small climbs raised
// away, large ones end the spiral, other figures left alone. The nearest point
// by plan squares and the transition between two contours against the plain
// scans, on points full of equal distances.
#include "generation/SpiralaiLaczenie.h"
#include "SpiralReference.h"
#include "SweepSupport.h"
#include "generation/NearestPoint.h"
#include "geometry/Figury.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

using namespace korvane;

namespace {

// A figure along x, one point a mm, at the heights given.
void add(std::vector<float> heights, int spirala) {
    auto f = std::make_unique<tFigura>();
    for (size_t k = 0; k < heights.size(); ++k)
        f->poz.push_back({static_cast<float>(k), 2, heights[k]});
    f->spirala = spirala;
    f->laczona = spirala == 1;
    f->przestawczyZ = 7;
    figureList.push_back(std::move(f));
}

// Each figure's x and z.
std::vector<std::vector<std::pair<float, float>>> pieces() {
    std::vector<std::vector<std::pair<float, float>>> all;
    for (const auto& f : figureList) {
        all.emplace_back();
        for (const TrPkt3D& p : f->poz) all.back().emplace_back(p.x, p.z);
    }
    return all;
}

using Pieces = std::vector<std::vector<std::pair<float, float>>>;

} // namespace

TEST(KeepSpiralsDescending, SmallClimbsAreRaisedAwayFromTheEnd) {
    // 4.8 lies 0.05 below the 4.85 after it, 4.9 0.05 below 4.95.
    add({5.0f, 4.9f, 4.95f, 4.8f, 4.85f, 4.7f}, 1);
    // Only the first point can rise: it is raised whatever it takes.
    add({4.0f, 5.0f, 4.5f}, 1);
    keepSpiralsDescending({0.1});
    EXPECT_EQ(pieces(),
              (Pieces{{{0, 5.0f}, {1, 4.95f}, {2, 4.95f}, {3, 4.85f}, {4, 4.85f}, {5, 4.7f}},
                      {{0, 5.0f}, {1, 5.0f}, {2, 4.5f}}}));
}

TEST(KeepSpiralsDescending, ALargeClimbEndsTheSpiralThere) {
    add({1.0f, 3.0f}, 0); // no spiral: it may climb
    // 5.0 would have to rise 0.8 to the 5.8 after it.
    add({6.0f, 5.5f, 5.0f, 5.8f, 5.6f, 5.2f}, 1);
    add({2.0f, 2.5f}, 0);
    keepSpiralsDescending({0.25});
    EXPECT_EQ(pieces(), (Pieces{{{0, 1.0f}, {1, 3.0f}},
                                {{0, 6.0f}, {1, 5.5f}, {2, 5.0f}},
                                {{3, 5.8f}, {4, 5.6f}, {5, 5.2f}},
                                {{0, 2.0f}, {1, 2.5f}}}));
    // Both pieces are spirals with the figure's marks.
    for (size_t i : {1, 2}) {
        EXPECT_EQ(figureList[i]->spirala, 1);
        EXPECT_TRUE(figureList[i]->laczona);
        EXPECT_EQ(figureList[i]->przestawczyZ, 7);
    }
    EXPECT_EQ(figureList[2]->Pmin.x, 3.0f);
    EXPECT_EQ(figureList[2]->Pmax.z, 5.8f);
}

TEST(KeepSpiralsDescending, ASteadyClimbLeavesNoOnePointPiece) {
    // 4.5 ends the piece of 5.5 and 5.0; 4.0 would leave 4.5 alone: it rises.
    add({5.0f, 4.0f, 4.5f, 5.5f, 5.0f}, 1);
    keepSpiralsDescending({0.1});
    EXPECT_EQ(pieces(), (Pieces{{{0, 5.0f}, {1, 4.5f}, {2, 4.5f}}, {{3, 5.5f}, {4, 5.0f}}}));
}

TEST(KeepSpiralsDescending, AShortClimbClearOfTheSurfaceGoesOnWithoutAPiece) {
    // A flat motion map at 0 under the spiral, 1 mm cells.
    pixelSize = 1;
    rasterSizeX = rasterSizeY = 10;
    allocateRasters();
    motionHeights.fill(0);
    const std::vector<float> spiral{6.0f, 5.5f, 5.0f, 5.8f, 5.6f, 5.2f};
    // The link from 5.0 to 5.8: 1 mm long, climbing 0.8.
    auto split = [&](SpiralClimbs climbs) {
        figureList.clear();
        add(spiral, 1);
        keepSpiralsDescending(climbs);
        return figureList.size() > 1;
    };
    EXPECT_FALSE(split({0.25, 1.5, 1}));
    EXPECT_EQ(figureList[0]->count(), 6);
    EXPECT_EQ(figureList[0]->poz[3].z, 5.8f);
    EXPECT_TRUE(split({0.25, 0.9, 1}));   // longer than the reach
    EXPECT_TRUE(split({0.25, 1.5, 0.7})); // climbing more than allowed
    // The surface halfway along the link stands above it.
    motionHeights[2][2] = motionHeights[3][2] = 5.7f;
    EXPECT_TRUE(split({0.25, 1.5, 1}));
    EXPECT_TRUE(linkClearOfMotionMap({1, 2, 5.7f}, {4, 2, 5.7f}));
    EXPECT_FALSE(linkClearOfMotionMap({1, 2, 5.6f}, {4, 2, 5.7f}));
}

namespace {

// A closed ring of `count` points about (cx, cy), its radius wobbling by whole
// quarters of a mm so that many points lie equally far from others.
tFigura ring(float cx, float cy, float radius, float z, int count, test::Draw& draw) {
    tFigura f;
    f.zamknieta = true;
    for (int k = 0; k < count; ++k) {
        const double a = 2 * 3.14159265358979 * k / count;
        const float r = radius + draw(3) / 4;
        f.poz.push_back({std::round(4 * float(cx + r * std::cos(a))) / 4,
                         std::round(4 * float(cy + r * std::sin(a))) / 4, z - draw(2) / 4});
    }
    f.poz.push_back(f.poz.front());
    return f;
}

} // namespace

TEST(NearestPoint, FindsWhatThePlainScanFindsTheFirstOfEqualDistances) {
    test::Draw draw{99};
    for (const int count : {1, 7, 300}) {
        // Points on a half-mm lattice: equal distances everywhere.
        std::vector<TrPkt3D> points;
        for (int k = 0; k < count; ++k) points.push_back({draw(40) / 2, draw(20) / 2, draw(3) / 2});
        for (const double square : {0.3, 2.0, 50.0}) {
            const NearestPoint index(points, square);
            for (int q = 0; q < 400; ++q) {
                // Queries inside the points' box and far outside it.
                const TrPkt3D p{draw(80) / 2 - 10, draw(60) / 2 - 10, draw(3) / 2};
                const size_t limit = q % 3 == 0 ? points.size() : size_t(draw(count)) + 1;
                size_t plain = 0;
                double best = std::numeric_limits<double>::infinity();
                for (size_t i = 0; i < limit; ++i)
                    if (const double d = distance3(p, points[i]); d < best) best = d, plain = i;
                const NearestPoint::Found found = index.nearest(p, limit);
                ASSERT_EQ(found.index, plain) << count << " " << square << " " << q;
                ASSERT_EQ(found.distance, best);
            }
        }
    }
}

TEST(SpiralTransition, IsThePlainLoopsBitForBit) {
    test::makeRelief(30, 30, 4);
    motionHeights = modelHeights;
    test::Draw draw{5};
    for (const float radius : {3.0f, 6.0f}) {
        // Around each other, and side by side (the lower one's points far
        // from the upper one's squares).
        const tFigura upper = ring(15, 15, radius, 9, 90, draw);
        for (const float cx : {15.0f, 24.0f}) {
            const tFigura lower = ring(cx, 15, radius + 1, 8, 120, draw);
            double widest = 0, plainWidest = 0;
            const auto turn = spiralTransition(upper, lower, 0.5, widest);
            const auto plain = test::referenceSpiralTransition(upper, lower, plainWidest);
            EXPECT_TRUE(test::samePoints(turn, plain)) << radius << " " << cx;
            EXPECT_EQ(widest, plainWidest);
            EXPECT_EQ(turn.size(), 120u);
        }
    }
}

TEST(JoinAtBorders, JoinsWhatThePlainLoopJoinsBitForBit) {
    test::makeRelief(40, 30, 4);
    motionHeights = modelHeights;
    // A wall 20 mm high across the border from x = 10 to 20 mm at the bottom
    // and from y = 10 to 20 mm at the left.
    for (int c = 40; c <= 80; ++c) motionHeights[c][0] = motionHeights[0][c] = 20;
    test::Draw draw{2024};
    // With the window open, every connector is made; below the wall, the
    // connectors over it are not and their figures stay apart.
    for (const double high : {100.0, 10.0}) {
        for (const int count : {3, 40, 300}) {
            lowLimit = 0;
            highLimit = high;
            const FigureList start = test::borderFigures(count, 40, 30, draw);
            auto run = [&](auto&& join) {
                figureList.clear();
                for (const auto& f : start) figureList.push_back(std::make_unique<tFigura>(*f));
                join(count / 3);
                return std::move(figureList);
            };
            const FigureList joined = run([](int from) { joinAtBorders(from); });
            const FigureList plain = run([](int from) { test::referenceJoinAtBorders(from); });
            ASSERT_EQ(joined.size(), plain.size()) << high << " " << count;
            if (count > 3) {
                EXPECT_LT(joined.size(), start.size()) << high << " " << count;
            }
            for (size_t k = 0; k < joined.size(); ++k) {
                EXPECT_EQ(joined[k]->orgIndex, plain[k]->orgIndex);
                EXPECT_TRUE(test::samePoints(joined[k]->poz, plain[k]->poz)) << k;
            }
        }
    }
}
