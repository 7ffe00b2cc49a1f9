#include "MachineTestSupport.h"

#include "foundation/Rounding.h"
#include "machine/Ploter.h"
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

TEST_F(SpeedLimits, ShortAndStraightFigures) {
    EXPECT_EQ(ComputeSpeedLimits({{0, 0, 0}, {10, 0, 0}}, 0, false),
              (std::vector<std::uint16_t>{stopMarker, stopMarker}));
    // Collinear: the middle point runs at maxSpeed, slowed only by braking.
    const auto limits = ComputeSpeedLimits({{0, 0, 0}, {50, 0, 0}, {100, 0, 0}}, 0, false);
    ASSERT_EQ(limits.size(), 3u);
    const auto cruise = static_cast<std::uint16_t>(std::min<long long>(
        SpeedToMachine(roundHalfEven(machineParams.maxSpeed * machineParams.speedFactor)), 65535));
    const std::uint16_t braking =
        DecelerationLimit(roundHalfEven(50 * 100 * machineParams.stepsX), stopMarker, false);
    EXPECT_EQ(limits[1], std::max(cruise, braking));
    // A zero-length segment stops on its first point.
    EXPECT_EQ(ComputeSpeedLimits({{0, 0, 0}, {5, 0, 0}, {5, 0, 0}, {9, 0, 0}}, 0, false)[1],
              stopMarker);
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
    const auto soft = ComputeSpeedLimits(corner(14.9), 0, false);
    EXPECT_LT(soft[1], stopMarker);
    // The soft corner's cap: (1 - sqrt(14.9 / 15)) * 1.1 * maxSpeed, at least 100 mm/min.
    const double cap = std::max((1 - std::sqrt(14.9 / 15)) * 1.1 * machineParams.maxSpeed, 100.0);
    const auto capValue =
        SpeedToMachine(roundHalfEven(roundHalfEven(cap) * machineParams.speedFactor));
    EXPECT_GE(soft[1], std::min<long long>(capValue, 65535));
    // The job's entry point is a stop marker too.
    EXPECT_EQ(ComputeSpeedLimits(corner(5), 2, false)[2], stopMarker);
}

TEST_F(SpeedLimits, BrakingRisesWithTheDistanceFromAStop) {
    plotstate.info1 = "KWA-2000";
    IdentifyMachine();
    const std::uint16_t nearStop = DecelerationLimit(10, stopMarker, false);
    const std::uint16_t farStop = DecelerationLimit(20000, stopMarker, false);
    EXPECT_EQ(DecelerationLimit(0, stopMarker, false), standardRamp()[0]);
    EXPECT_GT(nearStop, farStop);
    EXPECT_EQ(DecelerationLimit(1LL << 40, 500, false), standardRamp().back());
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
