// The grid's nearest point against a scan of every live point, on point sets
// made to trip it: equal distances, repeated points, tight clusters far
// apart, cell borders, negative coordinates, removed figures and radii.
#include "generation/PointIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>

using namespace korvane;

namespace {

struct Offered {
    int figure, point;
    TrPkt3D p;
};

// The plain answer: the least (distance, figure, point) within the radius.
PointHit scanNearest(const std::vector<Offered>& points, const std::vector<bool>& removed,
                     const TrPkt3D& q, double radius) {
    PointHit best;
    for (const Offered& o : points) {
        if (removed[size_t(o.figure)]) continue;
        const double dx = double(q.x) - o.p.x, dy = double(q.y) - o.p.y, dz = double(q.z) - o.p.z;
        const double d = dx * dx + dy * dy + dz * dz;
        if (d > radius * radius) continue;
        if (!best || d < best.d2 ||
            (d == best.d2 && std::tie(o.figure, o.point) < std::tie(best.figure, best.point)))
            best = {d, o.figure, o.point};
    }
    return best;
}

// Adds the points, then removes figures one by one from the front of
// `removal`, checking a query set against the scan after each removal.
void checkAgainstScan(const std::vector<Offered>& points, const std::vector<TrPkt3D>& queries,
                      const std::vector<int>& removal) {
    PointIndex index;
    int figures = 0;
    for (const Offered& o : points) {
        index.add(o.figure, o.point, o.p);
        figures = std::max(figures, o.figure + 1);
    }
    std::vector<bool> removed(size_t(figures), false);
    auto check = [&] {
        for (const TrPkt3D& q : queries)
            for (double radius :
                 {std::numeric_limits<double>::infinity(), 0.0, 0.3, 1.0, 2.5, 40.0}) {
                const PointHit want = scanNearest(points, removed, q, radius);
                const PointHit got = index.nearest(q, radius);
                ASSERT_EQ(bool(got), bool(want)) << q.x << ' ' << q.y << " r " << radius;
                if (!want) continue;
                ASSERT_EQ(got.figure, want.figure) << q.x << ' ' << q.y << " r " << radius;
                ASSERT_EQ(got.point, want.point) << q.x << ' ' << q.y << " r " << radius;
                ASSERT_EQ(got.d2, want.d2);
            }
    };
    check();
    for (int f : removal) {
        index.remove(f);
        removed[size_t(f)] = true;
        check();
    }
    EXPECT_TRUE(index.empty() ==
                std::all_of(removed.begin(), removed.end(), [](bool r) { return r; }));
}

} // namespace

TEST(PointIndex, EqualDistancesGoToTheFirstFigureAndPointOnARingAroundTheQuery) {
    // Points on whole and half millimetres: many lie at exactly the same
    // distance from queries on the lattice, across cell borders and below 0.
    std::vector<Offered> points;
    int figure = 0;
    for (int x = -6; x <= 6; x += 3)
        for (int y = -6; y <= 6; y += 3) {
            // Figures listed in an order unrelated to position.
            const int f = (figure * 7) % 25;
            points.push_back({f, 0, {x * 0.5f, y * 0.5f, 0}});
            points.push_back({f, 1, {-x * 0.5f, y * 0.5f, 0}}); // the mirror: a tie
            ++figure;
        }
    std::vector<TrPkt3D> queries;
    for (int x = -8; x <= 8; ++x)
        for (int y = -8; y <= 8; ++y) queries.push_back({x * 0.5f, y * 0.5f, 0});
    checkAgainstScan(points, queries, {0,  24, 12, 7,  3,  1,  2,  4,  5,  6,  8,  9, 10,
                                       11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23});
}

TEST(PointIndex, RepeatedPointsAndFarClustersWithEmptyCellsBetween) {
    std::mt19937 random(26);
    std::uniform_real_distribution<float> jitter(-0.4f, 0.4f);
    std::vector<Offered> points;
    // Three tight clusters 150 mm apart, every point offered twice by two
    // figures and some twice within a figure, heights differing.
    const TrPkt3D centres[] = {{-75, -20, 0}, {75, 10, 3}, {0, 130, 1}};
    int figure = 0;
    for (int k = 0; k < 90; ++k, ++figure) {
        const TrPkt3D& c = centres[k % 3];
        const TrPkt3D p{c.x + jitter(random), c.y + jitter(random), c.z + (k % 2) * 0.2f};
        points.push_back({figure, 0, p});
        points.push_back({figure, 1, p});
        points.push_back({(figure + 45) % 90, 2, p});
    }
    std::vector<TrPkt3D> queries;
    for (int k = 0; k < 60; ++k) queries.push_back({-120 + 4.1f * k, -60 + 3.3f * k, float(k % 3)});
    for (const TrPkt3D& c : centres) queries.push_back(c);
    queries.push_back(points[7].p); // on a repeated point: distance 0 four times over
    std::vector<int> removal;
    for (int f = 0; f < 90; ++f) removal.push_back((f * 37) % 90);
    checkAgainstScan(points, queries, removal);
}

TEST(PointIndex, RandomStrokeEndsAcrossAPrintBed) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(0, 200);
    std::vector<Offered> points;
    for (int f = 0; f < 300; ++f) {
        // Ends snapped to 0.1 mm, as strokes of one layer often are.
        auto snap = [](float v) { return std::round(v * 10) / 10; };
        points.push_back({f, 0, {snap(coordinate(random)), snap(coordinate(random)), 0.2f}});
        points.push_back({f, 1, {snap(coordinate(random)), snap(coordinate(random)), 0.2f}});
    }
    std::vector<TrPkt3D> queries;
    for (int k = 0; k < 40; ++k) queries.push_back({coordinate(random), coordinate(random), 0.2f});
    queries.push_back({-50, 250, 0}); // outside the occupied box
    std::vector<int> removal;
    for (int f = 0; f < 300; f += 3) removal.push_back(f);
    checkAgainstScan(points, queries, removal);
}

TEST(PointIndex, EmptyAndRemovedIndexesAnswerNothing) {
    PointIndex index;
    EXPECT_TRUE(index.empty());
    EXPECT_FALSE(index.nearest({0, 0, 0}));
    index.add(3, 0, {1, 1, 0});
    index.remove(5); // never added
    EXPECT_FALSE(index.empty());
    index.remove(3);
    EXPECT_TRUE(index.empty());
    EXPECT_FALSE(index.nearest({1, 1, 0}));
}
