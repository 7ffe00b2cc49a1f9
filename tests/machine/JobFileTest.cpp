#include "MachineTestSupport.h"

#include "foundation/Rounding.h"
#include "machine/JobFile.h"
#include "machine/Ploter.h"
#include "machine/SpeedLimits.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

// Splits a job file by the record-length table.
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

class JobFile : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        resetMachine();
        op.szybkosc = 1000;
        op.szybkoscPrzestawcza = 2000;
        op.posuwWiercenia = 300;
        op.obroty = 18000;
        op.warstwaGrubosc = 0.5;
        op.warstwaSzer = 0.4;
    }
    void TearDown() override { resetMachine(); }
    std::vector<std::string> write(const std::vector<const tFigura*>& figures,
                                   TJobContext context = {}) {
        TJobWriter w(dir / "out.bin", op, context);
        w.WriteJobHeader();
        for (const auto* f : figures) w.WriteJobFigure(*f, 0);
        w.WriteJobTrailer();
        const auto r = records(readFile(dir / "out.bin"));
        EXPECT_EQ(w.records(), static_cast<long long>(r.size()));
        return r;
    }
    std::string le16v(long long v) { return le16(v); }

    RecordingUserInterface ui;
    TempDir dir;
    TOperacjaDane op;
};

TEST(PauseRecords, Splitting) {
    const auto long15100 = pauseRecords(15100);
    ASSERT_EQ(long15100.size(), 60u);
    EXPECT_EQ(long15100[58], bytes({'p', 255}));
    EXPECT_EQ(long15100[59], bytes({'p', 55}));
    EXPECT_EQ(pauseRecords(256), (std::vector<std::string>{bytes({'p', 255}), bytes({'p', 1})}));
    EXPECT_EQ(pauseRecords(200), (std::vector<std::string>{bytes({'p', 200})}));
    EXPECT_TRUE(pauseRecords(0).empty());
}

TEST_F(JobFile, ClassicHeaderAndTrailer) {
    const double k = machineParams.speedFactor;
    const auto r = write({});
    const std::vector<std::string> header = {
        bytes({'s', 0}), bytes({'v', 0}) + le16(SpeedToMachine(roundHalfEven(2000 * k))),
        bytes({'v', 1}) + le16(SpeedToMachine(roundHalfEven(1000 * k))), bytes({'p', 100}),
        bytes({'t', 1, 180}), bytes({'p', 100}), bytes({'p', 200}), bytes({'r', 1, 1}),
        bytes({'p', 100}), // the spin-up of 0.1 s
        bytes({'p', 200}), bytes({'p', 200}), bytes({'p', 200}), bytes({'p', 200}),
        bytes({'p', 200}),
        // trailer
        bytes({'p', 10}), bytes({'r', 0, 2}), bytes({'p', 1}), bytes({'f', 2}), bytes({'s', 0}),
        bytes({'p', 10})};
    // The trailer's move back to the origin at the safe height is empty: the
    // writer already stands there.
    EXPECT_EQ(r, header);
}

TEST_F(JobFile, ExtendedHeaderWaitsForTheSpindle) {
    plotstate.info1 = "GMN-0001";
    fwMajor = 6;
    fwMinor = 40;
    IdentifyMachine();
    op.obroty = 30000; // limited to spindleSpeedMax
    const auto r = write({});
    EXPECT_EQ(r[2], bytes({'p', 10}));
    EXPECT_EQ(r[3], std::string("t") + bytes({1}) + le32(18000));
    EXPECT_EQ(r[7], bytes({'p', 10}));
    EXPECT_EQ(r[8], "sfw" + std::string(13, ' '));
    EXPECT_EQ(r.back(), bytes({'p', 10}));
    EXPECT_EQ(r[r.size() - 2], PadCommand16("SE"));
}

TEST_F(JobFile, TwoPointFigureStopsAtItsEnd) {
    safeHeight = 10;
    tFigura f;
    f.poz = {{10, 10, -1}, {20, 10, -1}};
    f.przestawczyZ = 5;
    const auto r = write({&f});
    // After the header: p1 f0 r11, rapid, p1, approach, p1 f1, v3 f3 plunge p1, f1, the cut.
    std::size_t i = 14;
    EXPECT_EQ(r[i++], bytes({'p', 1}));
    EXPECT_EQ(r[i++], bytes({'f', 0}));
    EXPECT_EQ(r[i++], bytes({'r', 1, 1}));
    const std::string rapid = r[i++];
    EXPECT_EQ(rapid[0], 'a');
    const EncodedMove expected =
        EncodeMove(roundHalfEven(1000 * machineParams.stepsX),
                   roundHalfEven(1000 * machineParams.stepsY), 0, -1, machineParams.speedFactor);
    EXPECT_EQ(rapid.substr(1), expected.bytes.substr(1));
    EXPECT_EQ(r[i++], bytes({'p', 1}));
    EXPECT_EQ(r[i++][0], 'a'); // one layer above the first point
    EXPECT_EQ(r[i++], bytes({'p', 1}));
    EXPECT_EQ(r[i++], bytes({'f', 1}));
    EXPECT_EQ(r[i++],
              bytes({'v', 3}) + le16(SpeedToMachine(roundHalfEven(300 * machineParams.stepsZ *
                                                                  machineParams.speedFactor))));
    EXPECT_EQ(r[i++], bytes({'f', 3}));
    EXPECT_EQ(r[i++][0], 'a'); // the plunge
    EXPECT_EQ(r[i++], bytes({'p', 1}));
    EXPECT_EQ(r[i++], bytes({'f', 1}));
    EXPECT_EQ(r[i++][0], 'a'); // to the second point, which is a stop
    EXPECT_EQ(r[i++], bytes({'l', 1, 0}));
    EXPECT_EQ(r[i++], bytes({'p', 1}));
    EXPECT_EQ(r[i++], bytes({'p', 1}));
    EXPECT_EQ(r[i++], bytes({'f', 0}));
    EXPECT_EQ(r[i++][0], 'a'); // lift to the transfer height
    EXPECT_EQ(r[i++], bytes({'p', 1}));
    EXPECT_EQ(r[i++], bytes({'r', 1, 1}));
}

TEST_F(JobFile, LimitRecordsOnlyForChangesAboveATenth) {
    tFigura f;
    for (int i = 0; i < 400; ++i)
        f.poz.push_back({static_cast<float>(10 + 30 * std::cos(i * 0.05) + i * 0.01),
                         static_cast<float>(10 + 30 * std::sin(i * 0.05 * (1 + i / 400.0))), -1});
    f.poz.push_back(f.poz.back()); // a stop inside
    f.poz.push_back({60, 60, -2});
    const auto r = write({&f});
    long long previous = 0;
    int limits = 0;
    for (const auto& rec : r) {
        if (rec[0] != 'l') continue;
        const long long value =
            static_cast<unsigned char>(rec[1]) | (static_cast<unsigned char>(rec[2]) << 8);
        if (value != 1 && previous > 1) {
            EXPECT_GT(std::abs(double(value - previous)) / previous, 0.1);
        }
        previous = value;
        ++limits;
    }
    EXPECT_GT(limits, 2);
}

TEST_F(JobFile, PrintingExtrudesWithinTheLayer) {
    TJobContext printing;
    printing.printer3D = true;
    EXPECT_THROW(write({}, printing), MachineRangeError); // no 32-bit speeds on this machine

    plotstate.info1 = "GPR-0001";
    fwMajor = 6;
    IdentifyMachine();
    op.zuzycieMaterialu = 100;
    tFigura f;
    f.poz = {{10, 10, 0.2f}, {20, 10, 0.2f}, {30, 10, 0.2f}, {30, 20, 0.202f}};
    const auto r = write({&f}, printing);
    std::vector<std::string> cut(r.begin() + 13, r.end());
    // f1 (no plunge in printing), then two extruding moves each after "sBS",
    // then the plain move that changes z by 0.002 mm.
    std::size_t extruding = 0, plain = 0;
    for (std::size_t i = 0; i < cut.size(); ++i) {
        if (cut[i] == PadCommand16("sBS")) {
            ++extruding;
            ASSERT_EQ(cut[i + 1][0], 'a');
            EXPECT_EQ(cut[i + 1].size(), 15u);
            EXPECT_EQ(static_cast<unsigned char>(cut[i + 1][1]) & 4,
                      4); // filament pushed: dz negative
        }
    }
    for (const auto& rec : cut)
        if (rec[0] == 'a') ++plain;
    EXPECT_EQ(extruding, 2u);
    EXPECT_EQ(plain, 2u + 1u + 2u + 1u); // rapid, approach, two extruding, plain, lift
}

} // namespace
} // namespace korvane::test
