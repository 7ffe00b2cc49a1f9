// G-code export: the exact program of a small hand-made case in both dialects,
// the feed and spindle words the operation asks for, and the reader of the
// subset taking it back to the figures' points.
#include "output/GCodeExport.h"
#include "GCodeReader.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

FigureList handMadeFigures() {
    FigureList figures;
    auto add = [&](double transfer, std::vector<TrPkt3D> points) {
        figures.push_back(std::make_unique<tFigura>());
        figures.back()->przestawczyZ = transfer;
        figures.back()->poz = std::move(points);
    };
    add(0.2, {{0, 0, -1}, {10, 0, -1}, {10, 0, -3}, {10, 5, -3.5f}});
    add(9, {}); // no points: left out, its transfer height too
    add(6, {{20, -2.5f, 0.5f}, {-0.0001f, 1, 0.5f}});
    return figures;
}

TOperacjaDane finishing() {
    TOperacjaDane o;
    o.nazwa = "Fin(1)";
    o.szybkosc = 1200;
    o.posuwWiercenia = 300;
    o.obroty = 18000;
    o.warstwaGrubosc = 1;
    return o;
}

// The moves of both dialects: the step down above each start, the plunge, the
// plunge feed for the steep drop, the rise before a transfer that would run
// below the next start, and the transfer height after each figure.
const char* handMadeMoves = "G0 Z11.000\n"
                            "S18000.000 M3\n"
                            "G0 X0.000 Y0.000\n"
                            "G0 Z0.000\n"
                            "G1 Z-1.000 F300.000\n"
                            "G1 X10.000 Y0.000 Z-1.000 F1200.000\n"
                            "G1 X10.000 Y0.000 Z-3.000 F300.000\n"
                            "G1 X10.000 Y5.000 Z-3.500 F1200.000\n"
                            "G0 Z0.200\n"
                            "G0 Z1.500\n"
                            "G0 X20.000 Y-2.500\n"
                            "G1 Z0.500 F300.000\n"
                            "G1 X0.000 Y1.000 Z0.500 F1200.000\n"
                            "G0 Z6.000\n"
                            "G0 Z11.000\n"
                            "M5\n"
                            "M2\n";

} // namespace

TEST(GCodeExport, HandMadeProgramInBothDialects) {
    const FigureList figures = handMadeFigures();
    EXPECT_DOUBLE_EQ(gcodeSafeHeight(figures), 11.0);
    EXPECT_EQ(gcodeText(figures, finishing(), GCodeDialect::grbl),
              std::string("(Korvane3D Fin 1 )\nG21\nG90\nG17 G94\n") + handMadeMoves);
    EXPECT_EQ(gcodeText(figures, finishing(), GCodeDialect::linuxCnc),
              std::string("%\n(Korvane3D Fin 1 )\nG21\nG90\nG17 G40 G49 G80 G94\nG64 P0.010\n") +
                  handMadeMoves + "%\n");
}

TEST(GCodeExport, FeedAndSpindleWordsFollowTheOperation) {
    const FigureList figures = handMadeFigures();
    TOperacjaDane o = finishing();
    o.posuwWiercenia = 0; // no plunge feed: plunges at the working feed
    o.obroty = 0;         // no spindle speed: no spindle start
    const test::GCodeProgram p = test::readGCode(gcodeText(figures, o, GCodeDialect::grbl));
    EXPECT_EQ(p.words, (std::vector<std::string>{"G21", "G90", "G17", "G94", "M5", "M2"}));
    for (const auto& m : p.moves) {
        if (!m.rapid) {
            EXPECT_EQ(m.feed, 1200.0);
        }
    }

    o = finishing();
    o.obroty = 24000.5;
    o.szybkosc = 800;
    const std::string text = gcodeText(figures, o, GCodeDialect::linuxCnc);
    EXPECT_NE(text.find("\nS24000.500 M3\n"), std::string::npos);
    const test::GCodeProgram q = test::readGCode(text);
    std::vector<double> feeds;
    for (const auto& m : q.moves)
        if (!m.rapid) feeds.push_back(m.feed);
    EXPECT_EQ(feeds, (std::vector<double>{300, 800, 300, 800, 300, 800}));

    o.szybkosc = 0;
    EXPECT_THROW(gcodeText(figures, o, GCodeDialect::grbl), std::invalid_argument);
}

TEST(GCodeExport, NegativeLayerThicknessNeverRapidsBelowAStart) {
    // A layer thickness below 0 (an operation file written by hand) would put
    // the approach under the figure's first point: the rapid would plunge
    // into the material. The approach stays at the start at the lowest.
    TOperacjaDane o = finishing();
    o.warstwaGrubosc = -2;
    const test::GCodeProgram p =
        test::readGCode(gcodeText(handMadeFigures(), o, GCodeDialect::grbl));
    std::vector<double> rapidZ;
    for (const auto& m : p.moves)
        if (m.rapid) rapidZ.push_back(m.z);
    EXPECT_EQ(rapidZ, (std::vector<double>{11, 11, -1, 0.2, 0.5, 0.5, 6, 11}));
}

TEST(GCodeExport, DialectNames) {
    EXPECT_EQ(gcodeDialect("grbl"), GCodeDialect::grbl);
    EXPECT_EQ(gcodeDialect("LinuxCNC"), GCodeDialect::linuxCnc);
    EXPECT_EQ(gcodeDialect("fanuc"), std::nullopt);
    EXPECT_EQ(gcodeDialect(""), std::nullopt);
}

TEST(GCodeExport, EmptyListIsAProgramWithoutMoves) {
    const FigureList none;
    EXPECT_EQ(gcodeText(none, finishing(), GCodeDialect::grbl),
              "(Korvane3D Fin 1 )\nG21\nG90\nG17 G94\nG0 Z5.000\nS18000.000 M3\nG0 Z5.000\nM5\n"
              "M2\n");
}
