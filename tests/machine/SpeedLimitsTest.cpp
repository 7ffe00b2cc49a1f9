#include "MachineTestSupport.h"

#include "machine/RampTables.h"
#include "machine/SpeedLimits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace korvane::test {
namespace {

class SpeedLimits : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        resetMachine();
    }
    void TearDown() override { resetMachine(); }
    RecordingUserInterface ui;
};

TEST(RampTables, AnchorsAndOrder) {
    const auto& c = classicRamp();
    ASSERT_EQ(c.size(), 16000u);
    EXPECT_EQ(c[0], 11288);
    EXPECT_EQ(c[1], 5644);
    EXPECT_EQ(c[2], 3991);
    EXPECT_EQ(c[4], 2822);
    EXPECT_EQ(c[100], 564);
    EXPECT_EQ(c[1000], 176);
    EXPECT_EQ(c[15999], 36);
    const auto& s = standardRamp();
    ASSERT_EQ(s.size(), 65536u);
    EXPECT_EQ(s[0], 10234);
    EXPECT_EQ(s[1], 10234);
    EXPECT_EQ(s[2], 9213);
    EXPECT_EQ(s[3], 7668);
    EXPECT_EQ(s[4], 6875);
    EXPECT_EQ(s[100], 1908);
    EXPECT_EQ(s[1000], 811);
    EXPECT_EQ(s.back(), 159);
    const auto& a = alternativeRampTable();
    EXPECT_EQ(a[0], 40920);
    EXPECT_EQ(a[1], 40920);
    EXPECT_EQ(a[4], 20460);
    EXPECT_EQ(a[100], 4092);
    EXPECT_EQ(a.back(), 159);
    for (const auto* t : {&c, &s, &a})
        for (std::size_t i = 1; i < t->size(); ++i) ASSERT_LE((*t)[i], (*t)[i - 1]) << i;
}

// Row 0 (XKC): maxSpeed 2000 mm/min is the machine value 133 (k 3, divisor 0.75);
// 0.979415 steps per 0.01 mm; acceleration 1; the classic ramp.
TEST_F(SpeedLimits, ShortAndStraightFigures) {
    EXPECT_EQ(ComputeSpeedLimits({{0, 0, 0}, {10, 0, 0}}, 0, false),
              (std::vector<std::uint16_t>{stopMarker, stopMarker}));
    // Collinear: the middle point runs at maxSpeed; braking over 50 mm (4897
    // steps, ramp index beyond the end: 36) is no slower.
    EXPECT_EQ(ComputeSpeedLimits({{0, 0, 0}, {50, 0, 0}, {100, 0, 0}}, 0, false),
              (std::vector<std::uint16_t>{stopMarker, 133, stopMarker}));
    // A zero-length segment stops on its first point.
    EXPECT_EQ(ComputeSpeedLimits({{0, 0, 0}, {5, 0, 0}, {5, 0, 0}, {9, 0, 0}}, 0, false)[1],
              stopMarker);
}

TEST_F(SpeedLimits, PointShortlyBeforeTheEndIsSlowedForBraking) {
    // 0.5 mm before the stop: 49 steps, ramp index round(2 · 49 · 3) = 294,
    // 564 · 2.94^-0.50577 = 326.9 on the ramp through 564 at 100 and 176 at 1000.
    const auto limits = ComputeSpeedLimits({{0, 0, 0}, {50, 0, 0}, {50.5f, 0, 0}}, 0, false);
    ASSERT_EQ(limits.size(), 3u);
    EXPECT_EQ(limits[1], DecelerationLimit(49, limits[2], false));
    EXPECT_EQ(limits[1], 327);
}

TEST_F(SpeedLimits, SharpAndSoftCorners) {
    auto corner = [](double degrees) {
        const double r = degrees * M_PI / 180;
        return std::vector<TrPkt3D>{
            {0, 0, 0},
            {100, 0, 0},
            {static_cast<float>(100 + 100 * std::cos(r)), static_cast<float>(100 * std::sin(r)), 0},
            {static_cast<float>(100 + 200 * std::cos(r)), static_cast<float>(200 * std::sin(r)),
             0}};
    };
    EXPECT_EQ(ComputeSpeedLimits(corner(15.0), 0, false)[1], stopMarker);
    // A soft corner is capped at (1 - sqrt(14.9 / 15)) · 1.1 · 2000 = 7.3 mm/min,
    // raised to the floor of 100 mm/min: 10^6 / 500 / 0.75 = 2666.7.
    EXPECT_EQ(ComputeSpeedLimits(corner(14.9), 0, false),
              (std::vector<std::uint16_t>{stopMarker, 2667, 133, stopMarker}));
    // The job's entry point is a stop marker too.
    EXPECT_EQ(ComputeSpeedLimits(corner(5), 2, false)[2], stopMarker);
}

// KWA: newSpeedEncoding, acceleration 4, mult 1, the standard ramp (10234,
// 10234, 9213, 7668, 6875 at 4, ... 159 at the end).
TEST_F(SpeedLimits, BrakingRisesWithTheDistanceFromAStop) {
    plotstate.info1 = "KWA-2000";
    IdentifyMachine();
    EXPECT_EQ(DecelerationLimit(0, stopMarker, false), 10234);
    EXPECT_EQ(DecelerationLimit(10, stopMarker, false), 9213); // index 10 / 5 = 2
    EXPECT_LT(DecelerationLimit(20000, stopMarker, false), 9213);
    EXPECT_EQ(DecelerationLimit(1LL << 40, 500, false), 159);
}

TEST_F(SpeedLimits, RampIndexRoundsHalvesToEven) {
    // GPR: acceleration 1, so an odd distance falls half-way: 3 / 2 and 5 / 2
    // both go to index 2, 7 / 2 to index 4.
    plotstate.info1 = "GPR-0001";
    fwMajor = 6;
    IdentifyMachine();
    EXPECT_EQ(DecelerationLimit(3, stopMarker, false), 9213);
    EXPECT_EQ(DecelerationLimit(5, stopMarker, false), 9213);
    EXPECT_EQ(DecelerationLimit(7, stopMarker, false), 6875);
}

TEST_F(SpeedLimits, LookupEqualsTheLinearScan) {
    std::mt19937 random(7);
    std::uniform_int_distribution<long long> distance(-5, 300000);
    std::uniform_int_distribution<int> limit(0, 65535);
    for (const char* product : {"KWA-2000", "GMN-0001", "GMN-0001", "XKC-3020"}) {
        plotstate.info1 = product;
        IdentifyMachine();
        for (int mult : {1, 2}) {
            machineParams.mult = mult;
            for (int i = 0; i < 20000; ++i) {
                const long long d = i < 200 ? i : distance(random);
                const auto next = static_cast<std::uint16_t>(i % 7 == 0 ? 65535 : limit(random));
                ASSERT_EQ(DecelerationLimit(d, next, false),
                          DecelerationLimitLinear(d, next, false))
                    << product << " d=" << d << " next=" << next << " m=" << mult;
            }
        }
    }
    std::vector<TrPkt3D> figure;
    std::uniform_real_distribution<float> step(-2, 2);
    TrPkt3D p{};
    for (int i = 0; i < 2000; ++i) {
        p.x += step(random);
        p.y += step(random);
        p.z += step(random) / 4;
        figure.push_back(p);
    }
    EXPECT_EQ(ComputeSpeedLimits(figure, 5, false), ComputeSpeedLimitsLinear(figure, 5, false));
}

} // namespace
} // namespace korvane::test
