#include "MachineTestSupport.h"

#include "machine/JobFile.h"
#include "machine/RecordLengths.h"

#include <gtest/gtest.h>

#include <cmath>

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

// Row 0 (XKC): k 3, divisor 0.75, 0.979415 steps per 0.01 mm in X and Y, 5.33333 in Z.
TEST_F(JobFile, ClassicHeaderAndTrailer) {
    const auto r = write({});
    const std::vector<std::string> header = {
        bytes({'s', 0}),
        // Rapid 2000 mm/min · 3 = 6000: 10^6 / 10000 / 0.75 = 133.3; working
        // 3000: 266.7.
        bytes({'v', 0, 133, 0}), bytes({'v', 1, 0x0B, 0x01}), bytes({'p', 100}),
        bytes({'t', 1, 180}), // 18000 rpm / 100
        bytes({'p', 100}), bytes({'p', 200}), bytes({'r', 1, 1}),
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
    safeHeight = 10; // the header leaves the writer at z = round(1000 · 5.33333) = 5333 steps
    tFigura f;
    f.poz = {{10, 10, -1}, {20, 10, -1}};
    f.przestawczyZ = 5;
    const auto r = write({&f});
    const std::vector<std::string> figure(r.begin() + 14, r.end() - 7);
    const std::vector<std::string> expected = {
        bytes({'p', 1}), bytes({'f', 0}), bytes({'r', 1, 1}),
        // Rapid to (979, 979) steps at the safe height: L = round(1384.5 + 0.5) =
        // 1385, T = 3 · L = 4155; flags: dz not positive.
        bytes({'a', 4, 0x3B, 0x10, 0, 0xD3, 0x03, 0, 0xD3, 0x03, 0, 0, 0, 0}), bytes({'p', 1}),
        // Down to one layer above the point, z = -0.5 mm = -267 steps: dz = -5600,
        // L = round(5600.5) = 5600 (halves to even), T = 16800.
        bytes({'a', 7, 0xA0, 0x41, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x15, 0}), bytes({'p', 1}),
        bytes({'f', 1}),
        // Plunge feed 300 · 5.33333 · 3 = 4800: 10^6 / 8000 / 0.75 = 166.7.
        bytes({'v', 3, 0xA7, 0}), bytes({'f', 3}),
        // The plunge to -1 mm = -533 steps: dz = -266, T = 3 · 266 = 798.
        bytes({'a', 7, 0x1E, 0x03, 0, 0, 0, 0, 0, 0, 0, 0x0A, 0x01, 0}), bytes({'p', 1}),
        bytes({'f', 1}),
        // The cut to x = 1959 steps, dx = 980, T = 2940; the end point is a stop:
        // no limit, pause.
        bytes({'a', 6, 0x7C, 0x0B, 0, 0xD4, 0x03, 0, 0, 0, 0, 0, 0, 0}), bytes({'l', 1, 0}),
        bytes({'p', 1}), bytes({'p', 1}), bytes({'f', 0}),
        // Lift to the transfer height 5 mm = 2667 steps: dz = 3200, T = 9600.
        bytes({'a', 3, 0x80, 0x25, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x0C, 0}), bytes({'p', 1}),
        bytes({'r', 1, 1})};
    EXPECT_EQ(figure, expected);
    // The trailer goes back from (1959, 979, 2667) to (0, 0, 5333):
    // L = round(sqrt(1959² + 979² + 2666²) + 0.5) = round(3450.67) = 3451.
    EXPECT_EQ(r[r.size() - 3],
              bytes({'a', 3, 0x71, 0x28, 0, 0xA7, 0x07, 0, 0xD3, 0x03, 0, 0x6A, 0x0A, 0}));
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

    // GPR: 2.5 steps per 0.01 mm, 3.739 filament steps per unit. A 0.4 mm wide,
    // 0.5 mm thick line takes 0.4 · 0.5 / 2.40528 = 0.0831503 mm of filament per
    // mm: 0.0831503 · 100 · 3.739 = 31.0899 filament steps per mm of travel.
    plotstate.info1 = "GPR-0001";
    fwMajor = 6;
    IdentifyMachine();
    op.zuzycieMaterialu = 100;
    tFigura f;
    f.poz = {{10, 10, 0.2f},    {20, 10, 0.2f},    {30, 10, 0.2f},
             {30.4f, 10, 0.2f}, {30.8f, 10, 0.2f}, {30.8f, 20, 0.202f}};
    tFigura firstLayer; // extrudes a tenth
    firstLayer.NrWarstwy = 0;
    firstLayer.poz = {{10, 30, 0.2f}, {20, 30, 0.2f}, {30, 30, 0.2f}};
    const auto r = write({&f, &firstLayer}, printing);
    std::vector<long long> filament;
    std::size_t plain = 0;
    // After the header's four speeds and six pauses.
    for (std::size_t i = 10; i < r.size(); ++i) {
        if (r[i] == PadCommand16("sBS")) {
            const std::string& move = r[++i];
            ASSERT_EQ(move.size(), 15u);
            ASSERT_EQ(move[0], 'a');
            EXPECT_EQ(static_cast<unsigned char>(move[1]) & 4, 4); // filament pushed: dz negative
            const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(move[at]); };
            filament.push_back(byte(11) | byte(12) << 8 | (byte(13) & 0x0F) << 16);
        } else if (r[i][0] == 'a') {
            ++plain;
        }
    }
    // The first move extrudes over 10 mm plus the approach's length field of
    // 100 steps (0.4 mm): 10.4 · 31.0899 = 323.335. What rounding leaves is
    // carried: 310.899 + 0.335 = 311.234; 0.4 mm give 12.436 + 0.234 = 12.670,
    // then 12.436 - 0.330 = 12.106. The first layer: 32.334, then 31.090 + 0.334.
    EXPECT_EQ(filament, (std::vector<long long>{323, 311, 13, 12, 32, 31}));
    // Per figure rapid, approach and lift; the first figure's plain move up by
    // 0.002 mm; the trailer's move back.
    EXPECT_EQ(plain, 3u + 1u + 3u + 1u);
}

TEST_F(JobFile, MarksTheMoveToEveryPoint) {
    tFigura a, b;
    a.poz = {{10, 10, -1}, {20, 10, -1}, {20, 20, -1}};
    b.poz = {{30, 30, -2}, {40, 30, -2}};
    TJobWriter w(dir / "out.bin", op, TJobContext{});
    w.WriteJobHeader();
    w.WriteJobFigure(a, 0);
    w.WriteJobFigure(b, 0);
    w.WriteJobTrailer();
    const auto r = records(readFile(dir / "out.bin"));
    const auto& marks = w.marks();
    ASSERT_EQ(marks.size(), 5u);
    const std::vector<std::pair<std::size_t, std::size_t>> points = {
        {0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}};
    for (std::size_t i = 0; i < marks.size(); ++i) {
        EXPECT_EQ(marks[i].at.figure, points[i].first) << i;
        EXPECT_EQ(marks[i].at.point, points[i].second) << i;
        ASSERT_LT(marks[i].record, static_cast<long long>(r.size()));
        EXPECT_EQ(r[static_cast<std::size_t>(marks[i].record)][0], 'a') << i;
    }
    // The plunge reaches the first point: the record before it selects the plunge slot.
    EXPECT_EQ(r[static_cast<std::size_t>(marks[0].record) - 1], bytes({'f', 3}));
}

TEST_F(JobFile, SubstrateRaisesEveryHeight) {
    // Classic row: 5.33333 steps per 0.01 mm on z. A substrate of 3 mm lifts
    // the approach over the first point (z -1 + 0.5) from round(-266.67) = -267
    // to round(2.5 * 533.333) = 1333 steps: 1600 steps higher.
    tFigura a;
    a.poz = {{10, 10, -1}, {20, 10, -1}};
    TJobWriter plain(dir / "plain.bin", op, TJobContext{});
    plain.WriteJobHeader();
    plain.WriteJobFigure(a, 0);
    plain.WriteJobTrailer();
    TJobContext raised;
    raised.gruboscPodkladki = 3;
    TJobWriter lifted(dir / "lifted.bin", op, raised);
    lifted.WriteJobHeader();
    lifted.WriteJobFigure(a, 0);
    lifted.WriteJobTrailer();
    const auto p = records(readFile(dir / "plain.bin"));
    const auto l = records(readFile(dir / "lifted.bin"));
    // The approach goes down 1600 steps less; the plunge after it is the same
    // half millimetre in both.
    const auto dz = [](const std::string& move) {
        const long long v = static_cast<unsigned char>(move[11]) |
                            static_cast<unsigned char>(move[12]) << 8 |
                            static_cast<unsigned char>(move[13]) << 16;
        return move[1] & 4 ? -v : v;
    };
    const auto plunge = static_cast<std::size_t>(plain.marks()[0].record);
    ASSERT_EQ(plunge, static_cast<std::size_t>(lifted.marks()[0].record));
    EXPECT_EQ(dz(l[plunge]), dz(p[plunge]));
    // The approach is the move record two before the plunge's "v", "f" pair.
    const std::size_t approach = plunge - 5;
    ASSERT_EQ(p[approach][0], 'a');
    EXPECT_EQ(dz(l[approach]) - dz(p[approach]), 1600);
}

TEST_F(JobFile, StopWhoseMoveRoundsToNothingGoesWithTheMoveBefore) {
    // Firmware 7 keeps the whole 16-bit speed of a move: its low byte last, bits
    // 8 to 11 at the top of the z field, 12 to 15 at the top of the flags.
    plotstate.info1 = "GMN-0001";
    fwMajor = 7;
    IdentifyMachine();
    const auto speed = [](const std::string& move) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(move[at]); };
        return byte(14) | (byte(13) >> 4) << 8 | (byte(1) >> 4) << 12;
    };
    // The corner at (20, 20) is reached twice: the second time within a step.
    tFigura f;
    f.poz = {{10, 20, -1}, {20, 20, -1}, {20.0001f, 20, -1}, {20, 30, -1}};
    TJobWriter w(dir / "out.bin", op, TJobContext{});
    w.WriteJobHeader();
    w.WriteJobFigure(f, 0);
    w.WriteJobTrailer();
    const auto r = records(readFile(dir / "out.bin"));
    const auto& marks = w.marks();
    // The plunge to the first point, the corner, the last point: nothing for
    // the repeated corner.
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[1].at.point, 1u);
    EXPECT_EQ(marks[2].at.point, 3u);
    // Both stops pause after a move that brakes to rest.
    for (std::size_t m : {1, 2}) {
        const auto at = static_cast<std::size_t>(marks[m].record);
        EXPECT_EQ(speed(r[at]), 65535) << m;
        EXPECT_EQ(r[at + 1], bytes({'p', 10})) << m;
    }
}

} // namespace
} // namespace korvane::test
