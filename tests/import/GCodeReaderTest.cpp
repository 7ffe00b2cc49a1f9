// The G-code reader against closed-form arcs, hand-worked cycles and the
// refusals, each with its line.
#include "import/GCodeReader.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korvane;

namespace {

constexpr double pi = 3.14159265358979323846;

// Every point of the figure, as (first, second) of the plane, lies on the
// circle of `radius` about (c1, c2); every chord's middle lies within the
// chord error of it; the angle turns one way only, `sweep` radians in all.
void expectArc(const tFigura& f, int first, int second, double c1, double c2, double radius,
               double sweep, bool clockwise) {
    ASSERT_GE(f.poz.size(), 2u);
    auto coordinate = [](const TrPkt3D& p, int axis) {
        return axis == 0 ? double(p.x) : axis == 1 ? double(p.y) : double(p.z);
    };
    double turned = 0;
    for (std::size_t i = 0; i < f.poz.size(); ++i) {
        const double a = coordinate(f.poz[i], first) - c1, b = coordinate(f.poz[i], second) - c2;
        EXPECT_NEAR(std::hypot(a, b), radius, 1e-5) << "point " << i;
        if (i == 0) continue;
        const double pa = coordinate(f.poz[i - 1], first) - c1,
                     pb = coordinate(f.poz[i - 1], second) - c2;
        const double mid = std::hypot((a + pa) / 2, (b + pb) / 2);
        EXPECT_LE(radius - mid, 0.002 + 1e-6) << "chord " << i;
        double step = std::atan2(b, a) - std::atan2(pb, pa);
        if (step > pi) step -= 2 * pi;
        if (step < -pi) step += 2 * pi;
        EXPECT_EQ(step < 0, clockwise) << "chord " << i;
        turned += std::fabs(step);
    }
    EXPECT_NEAR(turned, sweep, 1e-6);
    // No more chords than the error needs: one fewer would exceed it.
    const double fewer = sweep / double(f.poz.size() - 2);
    EXPECT_GT(radius * (1 - std::cos(fewer / 2)), 0.002);
}

GCodeProgram read(const std::string& text) {
    return readGCode(text);
}

void expectRefusal(const std::string& text, int line, const std::string& word,
                   GCodeProblem problem) {
    try {
        readGCode(text);
        ADD_FAILURE() << "not refused: " << text;
    } catch (const GCodeRefusal& r) {
        EXPECT_EQ(r.lineNumber, line) << text;
        EXPECT_EQ(r.word, word) << text;
        EXPECT_EQ(r.problem, problem) << text;
        EXPECT_NE(std::string(r.what()).find("line " + std::to_string(line) + ": " + word),
                  std::string::npos)
            << r.what();
    }
}

} // namespace

TEST(GCodeReader, QuarterArcsInEachPlaneTurnTheWayTheirPlaneIsSeen) {
    // G17, clockwise seen from +Z: from (10, 0) to (0, -10) about the origin.
    auto xy = read("G0 X10 Y0 Z0\nG2 X0 Y-10 I-10 J0 F100\n");
    ASSERT_EQ(xy.figures.size(), 1u);
    expectArc(*xy.figures[0], 0, 1, 0, 0, 10, pi / 2, true);
    EXPECT_EQ(xy.stats.arcs, 1);

    // G18, the plane ZX seen from +Y: from X10 to Z10 clockwise is a quarter
    // through positive X and Z; counter-clockwise three quarters through negatives.
    auto zx = read("G18 G0 X10 Y5 Z0\nG2 X0 Z10 I-10 K0 F100\n");
    ASSERT_EQ(zx.figures.size(), 1u);
    expectArc(*zx.figures[0], 2, 0, 0, 0, 10, pi / 2, true);
    for (const TrPkt3D& p : zx.figures[0]->poz) {
        EXPECT_GE(p.x, -1e-6);
        EXPECT_GE(p.z, -1e-6);
        EXPECT_FLOAT_EQ(p.y, 5);
    }
    auto zxLong = read("G18 G0 X10 Y5 Z0\nG3 X0 Z10 I-10 K0 F100\n");
    expectArc(*zxLong.figures[0], 2, 0, 0, 0, 10, 3 * pi / 2, false);

    // G19, the plane YZ seen from +X: from Y10 to Z10 counter-clockwise is the quarter.
    auto yz = read("G19 G0 X3 Y10 Z0\nG3 Y0 Z10 J-10 K0 F100\n");
    expectArc(*yz.figures[0], 1, 2, 0, 0, 10, pi / 2, false);
    auto yzLong = read("G19 G0 X3 Y10 Z0\nG2 Y0 Z10 J-10 K0 F100\n");
    expectArc(*yzLong.figures[0], 1, 2, 0, 0, 10, 3 * pi / 2, true);
    double lowest = 0;
    for (const TrPkt3D& p : yzLong.figures[0]->poz) lowest = std::min(lowest, double(p.z));
    EXPECT_NEAR(lowest, -10, 0.002);
}

TEST(GCodeReader, FullCirclesHelicesAndTheLongWayRound) {
    // Ends that coincide: a full circle, closed.
    auto full = read("G0 X10 Y0 Z0\nG3 X10 Y0 I-10 J0 F100\n");
    ASSERT_EQ(full.figures.size(), 1u);
    expectArc(*full.figures[0], 0, 1, 0, 0, 10, 2 * pi, false);
    EXPECT_TRUE(full.figures[0]->zamknieta);

    // Two turns down 2 mm: z falls evenly with the angle.
    auto helix = read("G0 X5 Y0 Z0\nG3 X5 Y0 Z-2 I-5 J0 P2 F100\n");
    const tFigura& h = *helix.figures[0];
    expectArc(h, 0, 1, 0, 0, 5, 4 * pi, false);
    double angle = 0;
    for (std::size_t i = 1; i < h.poz.size(); ++i) {
        double step =
            std::atan2(h.poz[i].y, h.poz[i].x) - std::atan2(h.poz[i - 1].y, h.poz[i - 1].x);
        if (step < 0) step += 2 * pi;
        angle += step;
        EXPECT_NEAR(h.poz[i].z, -2 * angle / (4 * pi), 1e-5) << i;
    }
    EXPECT_NEAR(h.poz.back().z, -2, 1e-6);

    // R of sqrt(50) from (0, 0) to (10, 0): positive the quarter below the
    // chord about (5, -5), negative three quarters about (5, 5) over the top.
    const double r = std::sqrt(50.0);
    auto shortWay = read("G0 X0 Y0 Z0\nG2 X10 Y0 R" + std::to_string(r) + " F100\n");
    expectArc(*shortWay.figures[0], 0, 1, 5, -5, r, pi / 2, true);
    auto longWay = read("G0 X0 Y0 Z0\nG2 X10 Y0 R-" + std::to_string(r) + " F100\n");
    expectArc(*longWay.figures[0], 0, 1, 5, 5, r, 3 * pi / 2, true);
    double top = 0;
    for (const TrPkt3D& p : longWay.figures[0]->poz) top = std::max(top, double(p.y));
    EXPECT_NEAR(top, 5 + r, 0.002);
}

TEST(GCodeReader, IncrementalAndAbsoluteCentresDrawTheSameArc) {
    auto incremental = read("G0 X4 Y3 Z0\nG91.1\nG3 X-3 Y4 I-4 J-3 F100\n");
    auto absolute = read("G0 X4 Y3 Z0\nG90.1\nG3 X-3 Y4 I0 J0 F100\n");
    auto bothIncremental = read("G0 X4 Y3 Z0\nG91 G3 X-7 Y1 I-4 J-3 F100\n");
    ASSERT_EQ(incremental.figures.size(), 1u);
    expectArc(*incremental.figures[0], 0, 1, 0, 0, 5, std::atan2(4, -3) - std::atan2(3, 4), false);
    for (const auto* other : {&absolute, &bothIncremental}) {
        ASSERT_EQ(other->figures[0]->poz.size(), incremental.figures[0]->poz.size());
        for (std::size_t i = 0; i < incremental.figures[0]->poz.size(); ++i) {
            EXPECT_FLOAT_EQ(other->figures[0]->poz[i].x, incremental.figures[0]->poz[i].x);
            EXPECT_FLOAT_EQ(other->figures[0]->poz[i].y, incremental.figures[0]->poz[i].y);
        }
    }
}

TEST(GCodeReader, InchProgramsAreMillimetresAndInchesPerMinute) {
    auto p =
        read("%\n(inch program)\nG20 G90\nG0 X1 Y1 Z0.1\nG1 Z-0.1 F10\nG1 X2\nG0 Z0.5\nM30\n%\n");
    ASSERT_EQ(p.figures.size(), 1u);
    const tFigura& f = *p.figures[0];
    ASSERT_EQ(f.poz.size(), 2u);
    EXPECT_FLOAT_EQ(f.poz[0].x, 25.4f);
    EXPECT_FLOAT_EQ(f.poz[0].z, -2.54f);
    EXPECT_FLOAT_EQ(f.poz[1].x, 50.8f);
    EXPECT_NEAR(f.przestawczyZ, 12.7, 1e-6);
    const FigureFeeds& feeds = p.feeds.figures[0];
    EXPECT_NEAR(feeds.approachZ, 2.54, 1e-9);
    EXPECT_NEAR(feeds.plungeFeed, 254, 1e-9);
    EXPECT_FLOAT_EQ(feeds.feeds[1], 254);
    EXPECT_TRUE(p.stats.inches);
}

TEST(GCodeReader, WordsCommentsAndLinesAsCamSystemsWriteThem) {
    auto p = read("\xEF\xBB\xBF%\r\n"
                  "N10 (header; with a semicolon) G21\r\n"
                  "/G1 X99 Y99 F1\r\n"
                  "n20 g0 x 1 . 5 y-.5 z2 ; the rest is a comment G41\r\n"
                  "N30 G01 Z-1. F+200 S12000 M03 T1 M06 M08\r\n"
                  "N40 G1X3Y-0.5\r\n"
                  "G40 G49 G80 G94 G54 G64 P0.01 G17\r\n"
                  "G4 P0.5\r\n"
                  "M5 M9\r\n"
                  "M30\r\n"
                  "G41 this is never read\r\n");
    ASSERT_EQ(p.figures.size(), 1u);
    const tFigura& f = *p.figures[0];
    ASSERT_EQ(f.poz.size(), 2u);
    EXPECT_FLOAT_EQ(f.poz[0].x, 1.5f);
    EXPECT_FLOAT_EQ(f.poz[0].y, -0.5f);
    EXPECT_FLOAT_EQ(f.poz[0].z, -1);
    EXPECT_FLOAT_EQ(f.poz[1].x, 3);
    EXPECT_EQ(p.feeds.figures[0].spindle, 12000);
    EXPECT_EQ(p.feeds.figures[0].plungeFeed, 200);
    EXPECT_EQ(p.stats.toolChanges, 1);
}

TEST(GCodeReader, FiguresEndAtRapidsAndWhereTheToolLiftsOutOfTheMaterial) {
    auto p = read("G0 Z5\nG0 X0 Y0\nG1 Z-1 F100\nG1 X10 F300\nG1 Z5\nG1 X20\nG1 Z-1\n"
                  "G1 X30\nG0 Z2\nG0 X40\nG1 X41 Z-1\nG28\nG0 X0 Y0\n");
    ASSERT_EQ(p.figures.size(), 3u);
    // Out at feed to the transfer height: the travel after it is rapid.
    const tFigura& a = *p.figures[0];
    ASSERT_EQ(a.poz.size(), 3u);
    EXPECT_FLOAT_EQ(a.poz[2].z, 5);
    EXPECT_EQ(a.przestawczyZ, 5);
    EXPECT_EQ(p.feeds.figures[0].approachZ, 5);
    EXPECT_EQ(p.feeds.figures[0].plungeFeed, 100);
    EXPECT_EQ(p.feeds.figures[0].feeds[1], 300);
    const tFigura& b = *p.figures[1];
    ASSERT_EQ(b.poz.size(), 2u);
    EXPECT_FLOAT_EQ(b.poz[0].x, 20);
    EXPECT_EQ(b.przestawczyZ, 2);
    // A ramp from where the rapid ended: the figure starts there, no plunge.
    const tFigura& c = *p.figures[2];
    ASSERT_EQ(c.poz.size(), 2u);
    EXPECT_FLOAT_EQ(c.poz[0].z, 2);
    EXPECT_EQ(p.feeds.figures[2].plungeFeed, 0);
    // G28 lifts to the highest rapid.
    EXPECT_EQ(c.przestawczyZ, 5);
}

TEST(GCodeReader, DrillingCyclesRetractToTheStartOrToR) {
    const std::string holes = "G0 Z10\nG0 X0 Y0\nG81 X5 Y5 Z-3 R2 F100\nX10\nG80\n";
    auto initial = read("G98\n" + holes);
    auto toR = read("G99\n" + holes);
    ASSERT_EQ(initial.figures.size(), 2u);
    ASSERT_EQ(toR.figures.size(), 2u);
    for (const auto* p : {&initial, &toR}) {
        for (std::size_t i = 0; i < 2; ++i) {
            const tFigura& f = *p->figures[i];
            ASSERT_EQ(f.poz.size(), 2u);
            EXPECT_FLOAT_EQ(f.poz[0].x, i == 0 ? 5 : 10);
            EXPECT_FLOAT_EQ(f.poz[0].z, 2);
            EXPECT_FLOAT_EQ(f.poz[1].z, -3);
            EXPECT_EQ(p->feeds.figures[i].feeds[1], 100);
        }
        EXPECT_EQ(p->stats.holes, 2);
    }
    EXPECT_EQ(initial.figures[0]->przestawczyZ, 10);
    EXPECT_EQ(toR.figures[0]->przestawczyZ, 2);

    // Pecks of 1.5 mm with a full retract to R and back down to 0.254 mm above.
    auto peck = read("G0 X0 Y0 Z10\nG99 G83 X5 Y5 Z-3 R2 Q1.5 F100\nG80\n");
    const double tops[] = {2, 0.5 + 0.254, -1 + 0.254, -2.5 + 0.254};
    const double bottoms[] = {0.5, -1, -2.5, -3};
    ASSERT_EQ(peck.figures.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(peck.figures[i]->poz.front().z, tops[i], 1e-5) << i;
        EXPECT_NEAR(peck.figures[i]->poz.back().z, bottoms[i], 1e-5) << i;
        if (i < 3) {
            EXPECT_NEAR(peck.figures[i]->przestawczyZ, 2, 1e-6) << i;
        }
    }

    // In G91 R is below the start and Z below R; L repeats step by X.
    auto repeated = read("G0 X0 Y0 Z10\nG91 G98 G81 X5 Z-5 R-2 L3 F100\n");
    ASSERT_EQ(repeated.figures.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(repeated.figures[i]->poz[0].x, 5.0f * float(i + 1));
        EXPECT_FLOAT_EQ(repeated.figures[i]->poz[0].z, 8);
        EXPECT_FLOAT_EQ(repeated.figures[i]->poz[1].z, 3);
        EXPECT_EQ(repeated.figures[i]->przestawczyZ, 10);
    }
}

TEST(GCodeReader, RefusalsNameTheLineAndTheWord) {
    using P = GCodeProblem;
    expectRefusal("G0 X0\nG1 X1 F10\nG41 D1\n", 3, "G41", P::cutterCompensation);
    expectRefusal("G0 X0\n#1=5\n", 2, "#1=5", P::expression);
    expectRefusal("G1 X[1+2] F10\n", 1, "X[1+2]", P::expression);
    expectRefusal("(sub)\nO100 sub\n", 2, "O100", P::subroutine);
    expectRefusal("G43 H1 Z10\n", 1, "G43", P::toolLengthOffset);
    expectRefusal("G0 X0\nG0 Z5 H1\n", 2, "H1", P::toolLengthOffset);
    expectRefusal("G55\n", 1, "G55", P::workOffset);
    expectRefusal("G92 X0 Y0\n", 1, "G92", P::workOffset);
    expectRefusal("G93 G1 X1 F2\n", 1, "G93", P::inverseTime);
    expectRefusal("G73 X1 Y1 Z-1 R1 Q1 F10\n", 1, "G73", P::unknownWord);
    expectRefusal("M98 P100\n", 1, "M98", P::unknownWord);
    expectRefusal("G1 X1 A5 F10\n", 1, "A5", P::unknownWord);
    expectRefusal("G1 X F10\n", 1, "X", P::badNumber);
    expectRefusal("G20\nG1 Z-1 F2207777777777777777777\n", 2, "F2207777777777777777777",
                  P::badNumber);
    expectRefusal("S-1 M3\n", 1, "S-1", P::badNumber);
    expectRefusal("G1 X1 X2 F10\n", 1, "X2", P::twiceInBlock);
    expectRefusal("G0 G1 X1 F10\n", 1, "G1", P::twiceInBlock);
    expectRefusal("G1 X1\n", 1, "G1", P::missingWord);
    expectRefusal("G0 X0 Y0\nG2 X10 Y0 F10\n", 2, "G2", P::missingWord);
    expectRefusal("G0 X0 Y0\nG2 X10 Y0 I4 F10\n", 2, "G2", P::arcGeometry);
    // An end 0.03 mm off the circle of 5 mm is beyond 0.028 mm and 0.1 % in
    // millimetres; 0.05 mm off is within 0.0028 inch in inches (a spiral then).
    expectRefusal("G0 X0 Y0\nG2 X10.03 Y0 I5 F10\n", 2, "G2", P::arcGeometry);
    EXPECT_EQ(read("G20 G0 X0 Y0\nG2 X0.39567 Y0 I0.19685 F10\n").figures.size(), 1u);
    expectRefusal("G0 X0 Y0\nG2 X10 Y0 R4 F10\n", 2, "R4", P::arcGeometry);
    expectRefusal("G0 X0 Y0\nG1 X1 I2 F10\n", 2, "I2", P::unusedWord);
    expectRefusal("G0 X0 Y0 Z5\nG81 X1 Z-1 F10\n", 2, "G81", P::missingWord);
    expectRefusal("G0 X0 Y0 Z5\nG81 X1 Z1 R-1 F10\n", 2, "G81", P::cycleGeometry);
    expectRefusal("G0 X0 Y0 Z5\nG83 X1 Z-1 R1 F10\n", 2, "G83", P::missingWord);
    expectRefusal("G18 G0 X0 Y0 Z5\nG81 X1 Z-1 R1 F10\n", 2, "G81", P::cycleGeometry);
    expectRefusal("G80 X1\n", 1, "G80", P::unusedWord);
    // No motion is in force before the program names one.
    expectRefusal("(start)\nY2 X1\n", 2, "X1", P::unusedWord);
    expectRefusal("G0 X0 (open\n", 1, "(open", P::comment);
    expectRefusal("G0 X20000\n", 1, "X20000", P::outOfReach);
}
