// The job of a program from another CAM system: approached at its own height,
// plunged and cut at its own feeds, the spindle at its own speed.
#include "MachineTestSupport.h"

#include "foundation/MachineParams.h"
#include "foundation/Rounding.h"
#include "machine/JobFile.h"
#include "machine/MoveEncoding.h"
#include "machine/RecordLengths.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace korvane::test {
namespace {

std::vector<std::string> records(const std::string& file) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < file.size();) {
        const auto length =
            static_cast<std::size_t>(recordLength(static_cast<std::uint8_t>(file[at])));
        out.push_back(file.substr(at, length));
        at += length;
    }
    return out;
}

class JobFileFeeds : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        resetMachine();
        safeHeight = 10;
        op.szybkosc = 1000;
        op.szybkoscPrzestawcza = 2000;
        op.posuwWiercenia = 300;
        op.obroty = 18000;
        op.warstwaGrubosc = 0.5;
    }
    void TearDown() override { resetMachine(); }

    RecordingUserInterface ui;
    TempDir dir;
    TOperacjaDane op;
};

// Row 0 (XKC): k 3, 5.33333 steps per 0.01 mm in Z, 16-bit speeds.
TEST_F(JobFileFeeds, EachMoveAtItsFeedAndTheSpindleAtItsSpeed) {
    tFigura f;
    f.poz = {{10, 10, -1}, {20, 10, -1}, {30, 10, -1}, {40, 10, -1}, {50, 10, -1}};
    f.przestawczyZ = 5;
    FigureFeeds feeds;
    feeds.approachZ = 2;
    feeds.plungeFeed = 150;
    feeds.feeds = {0, 1000, 600, 600, 1000};
    feeds.spindle = 12000;
    TJobWriter w(dir / "out.bin", op, TJobContext{});
    w.WriteJobHeader();
    w.WriteJobFigure(f, 0, &feeds);
    w.WriteJobTrailer();
    const auto r = records(readFile(dir / "out.bin"));
    const double k = machineParams.speedFactor;
    auto speed = [&](int slot, double v) {
        return bytes({'v', slot}) + le16(SpeedToMachine(roundHalfEven(v)));
    };
    auto at = [&](const std::string& record) {
        return std::find(r.begin() + 14, r.end(), record) - r.begin();
    };
    // The spindle goes to 12000 rpm before the figure, as the header sets it.
    EXPECT_EQ(r[14], bytes({'p', 100}));
    EXPECT_EQ(r[15], bytes({'t', 1, 120}));
    EXPECT_EQ(r[16], bytes({'p', 100}));
    // The approach ends 2 mm high: from the safe height (5333 steps) down to
    // 1067 steps, 3 mm above the point instead of the layer's 0.5 mm.
    ASSERT_EQ(r[20][0], 'a'); // over the first point at the safe height
    const std::string approach = r[22];
    ASSERT_EQ(approach[0], 'a');
    const long long dz = static_cast<unsigned char>(approach[11]) |
                         static_cast<unsigned char>(approach[12]) << 8 |
                         static_cast<unsigned char>(approach[13]) << 16;
    EXPECT_EQ(dz, 4266);
    // The plunge at 150 mm/min, then 1000 (the header's), 600 twice, 1000.
    const auto plunge = at(speed(3, 150 * machineParams.stepsZ * k));
    EXPECT_LT(plunge, static_cast<long>(r.size())) << "no plunge speed";
    const auto slow = at(speed(1, 600 * k));
    const auto fast = at(speed(1, 1000 * k));
    ASSERT_LT(slow, static_cast<long>(r.size()));
    ASSERT_LT(fast, static_cast<long>(r.size()));
    EXPECT_LT(plunge, slow);
    EXPECT_LT(slow, fast);
    // Between them the moves to the points at 600: two moves.
    const long moves = std::count_if(r.begin() + slow, r.begin() + fast,
                                     [](const std::string& x) { return x[0] == 'a'; });
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const std::string& x) { return x[0] == 'v'; }),
              2 + 1 + 2);
}

} // namespace
} // namespace korvane::test
