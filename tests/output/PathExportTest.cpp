// Export of output figures: the HPGL plot of three views and the DXF drawing of
// 3D polylines, byte for byte, and read back.
#include "output/PathExport.h"
#include "TestSupport.h"
#include "import/HPGL.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

std::unique_ptr<tFigura> figure(std::vector<TrPkt3D> points) {
    auto f = std::make_unique<tFigura>();
    f->poz = std::move(points);
    return f;
}

FigureList list(std::vector<std::vector<TrPkt3D>> figures) {
    FigureList out;
    for (auto& points : figures) out.push_back(figure(std::move(points)));
    return out;
}

std::vector<tFigura> readPlot(const std::string& text) {
    Thpgl reader;
    reader.openText(text);
    std::vector<tFigura> out;
    for (tFigura f; reader.get_figura(f); f = tFigura{}) out.push_back(std::move(f));
    return out;
}

int occurrences(const std::string& text, const std::string& word) {
    int n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

} // namespace

TEST(HpglExport, ThreeViewsOfAFigureAt400UnitsPerMm) {
    const auto figures = list({{{1.5f, 2, 0}, {2.5f, -1, 0.25f}}});
    EXPECT_EQ(hpglText(figures), "PA 600,800;\r\nPD 1000,-400;\r\nPU;\r\nSP1;\r\n"
                                 "PA 6600,0;\r\nPD 7000,100;\r\nPU;\r\nSP1;\r\n"
                                 "PA 12800,0;\r\nPD 11600,100;\r\nPU;\r\n");
}

TEST(HpglExport, OnePointFigureHasNoPenDownAndEmptyFiguresAreLeftOut) {
    const auto figures = list({{}, {{1, 1, 1}}, {}});
    EXPECT_EQ(hpglText(figures), "PA 400,400;\r\nPU;\r\nSP1;\r\n"
                                 "PA 6400,400;\r\nPU;\r\nSP1;\r\n"
                                 "PA 12400,400;\r\nPU;\r\n");
    EXPECT_EQ(hpglText(list({{}, {}})), "");
}

TEST(HpglExport, CoordinatesBeyondAnyPlotAreHeldAt10To12Units) {
    // 1e30 mm would not fit any integer; the plot holds it at 10^12 units.
    const auto figures = list({{{1e30f, -1e30f, 0}}});
    EXPECT_EQ(hpglText(figures).substr(0, 34), "PA 1000000000000,-1000000000000;\r\n");
}

TEST(HpglExport, ReadsBackAsThreeFiguresPerDrawnFigure) {
    const auto figures =
        list({{{0, 0, -1}, {10, 0, -1}, {10, 5, -2}}, {{3, 3, 0}}, {}, {{1, 2, 3}, {4, 5, 6}}});
    const auto read = readPlot(hpglText(figures));
    // The one-point figure draws nothing; our reader counts 1/40 mm, so the
    // plot comes back ten times enlarged.
    ASSERT_EQ(read.size(), 6u);
    ASSERT_EQ(read[0].poz.size(), 3u);
    EXPECT_FLOAT_EQ(read[0].poz[2].x, 100);
    EXPECT_FLOAT_EQ(read[0].poz[2].y, 50);
    ASSERT_EQ(read[1].poz.size(), 3u);
    EXPECT_FLOAT_EQ(read[1].poz[0].x, 150); // 6000 units further
    EXPECT_FLOAT_EQ(read[1].poz[2].y, -20);
    ASSERT_EQ(read[5].poz.size(), 2u);
    EXPECT_FLOAT_EQ(read[5].poz[1].x, 350); // y 5 mm beyond 12000 units
    EXPECT_FLOAT_EQ(read[5].poz[1].y, 60);
}

TEST(DxfExport, ExactLayoutWithThreeDecimals) {
    const auto figures = list({{{12.5f, 3, -1.25f}}, {}});
    EXPECT_EQ(dxfText(figures, 0), "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"
                                   "  0\r\nPOLYLINE\r\n  70\r\n8\r\n"
                                   "  0\r\nVERTEX\r\n  10\r\n12.500\r\n  20\r\n3.000\r\n"
                                   "  30\r\n-1.250\r\n"
                                   "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    EXPECT_EQ(dxfText(FigureList{}, 0),
              "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
}

TEST(DxfExport, DecimalsFollowTheUnitAndSevenSignificantDigits) {
    auto coordinates = [](float x, int unit) {
        const std::string text = dxfText(list({{{x, 0, 0}}}), unit);
        const auto at = text.find("  10\r\n") + 6;
        return text.substr(at, text.find('\r', at) - at);
    };
    EXPECT_EQ(coordinates(12.5f, 1), "12.500");
    EXPECT_EQ(coordinates(12.5f, 2), "12.5000");
    EXPECT_EQ(coordinates(12.5f, 3), "12.5");
    EXPECT_EQ(coordinates(12345.678f, 0), "12345.680");
    EXPECT_EQ(coordinates(1234567.8f, 0), "1234568.000");
    EXPECT_EQ(coordinates(0.0004f, 0), "0.000");
    EXPECT_EQ(coordinates(-0.0004f, 0), "0.000");
    EXPECT_EQ(coordinates(-0.0006f, 0), "-0.001");
}

TEST(DxfExport, OnePolylinePerFigureWithPoints) {
    const auto figures =
        list({{{0, 0, 0}, {1, 0, 0}}, {}, {{2, 2, 2}}, {{0, 1, 0}, {1, 1, 0}, {2, 1, 0}}});
    const std::string text = dxfText(figures, 0);
    EXPECT_EQ(occurrences(text, "POLYLINE"), 3);
    EXPECT_EQ(occurrences(text, "VERTEX"), 6);
    EXPECT_EQ(occurrences(text, "SEQEND"), 3);
}

TEST(PathExportFiles, WritesTheFilesAndReportsAFolderThatIsNotThere) {
    test::TempDir dir;
    const auto figures = list({{{1, 2, 3}, {4, 5, 6}}});
    ZapiszHpgl(figures, dir / "paths.plt");
    ZapiszDXF(figures, dir / "paths.dxf", 0);
    EXPECT_EQ(test::readFile(dir / "paths.plt"), hpglText(figures));
    EXPECT_EQ(test::readFile(dir / "paths.dxf"), dxfText(figures, 0));
    EXPECT_THROW(ZapiszHpgl(figures, dir / "missing" / "paths.plt"), std::runtime_error);
    EXPECT_THROW(ZapiszDXF(figures, dir / "missing" / "paths.dxf", 0), std::runtime_error);
}
