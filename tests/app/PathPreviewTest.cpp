// What the output preview draws, worked by hand on small outputs: the job's
// rapids and plunges between figures, the colours by kind and height, the
// scales' round steps, the playback's length and time at a point against the
// output's own estimate, picking on the screen against a projection worked
// by hand, the tool's body against the volume of its shape, the material's box
// and the millimetre axes.
#include "app/PathPreview.h"
#include "app/MaterialBox.h"
#include "app/PathPlayback.h"
#include "app/PreviewAxes.h"
#include "app/ScreenPick.h"
#include "app/ToolMesh.h"
#include "app/WyLista.h"
#include "foundation/MachineParams.h"
#include "foundation/OperationTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

using namespace korvane;

namespace {

std::unique_ptr<tFigura> figure(std::vector<TrPkt3D> points, double transferZ, int transfer = 0) {
    auto f = std::make_unique<tFigura>();
    f->poz = std::move(points);
    f->przestawczyZ = transferZ;
    f->Przestawcza = transfer;
    return f;
}

// Two cutting figures and a transfer link.
FigureList output() {
    FigureList list;
    list.push_back(figure({{1, 0, 2}, {3, 0, 2}}, 5));
    list.push_back(figure({{6, 0, -1}, {6, 4, -1}}, 7));
    list.push_back(figure({{6, 4, 7}, {0, 4, 7}}, 7, 1));
    return list;
}

std::vector<float> xyz(const std::vector<float>& data, std::size_t vertex, int stride) {
    const auto at = data.begin() + static_cast<std::ptrdiff_t>(vertex * stride);
    return {at, at + 3};
}

std::vector<float> rgb(const std::vector<float>& data, std::size_t vertex) {
    const auto at = data.begin() + static_cast<std::ptrdiff_t>(vertex * floatsPerPathVertex + 3);
    return {at, at + 3};
}

std::vector<float> vec(const Rgb& c) {
    return {c[0], c[1], c[2]};
}

// The volume a closed mesh of outward triangles encloses (divergence theorem).
double enclosed(const std::vector<float>& t, int stride) {
    double v = 0;
    for (std::size_t i = 0; i + 3 * stride <= t.size(); i += 3 * stride) {
        const float* a = &t[i];
        const float* b = &t[i + stride];
        const float* c = &t[i + 2 * stride];
        v += (double(a[0]) * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
              a[2] * (b[0] * c[1] - b[1] * c[0])) /
             6;
    }
    return v;
}

} // namespace

TEST(PathPreview, RapidsPlungesAndColoursOfTheJobsMoves) {
    const PathPreview p = pathPreview(output(), 0.5);
    EXPECT_EQ(p.first, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(p.count, (std::vector<int>{2, 2, 2}));
    EXPECT_DOUBLE_EQ(p.lowZ, -1);
    EXPECT_DOUBLE_EQ(p.highZ, 2);
    // The highest cut red, the lowest blue, the transfer grey.
    EXPECT_EQ(rgb(p.points, 0), vec(heightColour(1)));
    EXPECT_EQ(rgb(p.points, 2), vec(heightColour(0)));
    EXPECT_EQ(rgb(p.points, 4), vec(rapidColour));
    // From the origin at the top transfer height 7: across, down to 0.5 above
    // the first point, the plunge, the lift to 5; across at 5, down, plunge,
    // the lift to 7; the transfer figure is a figure like any other; home.
    // The transfer figure starts where the tool is: no move to it but its own.
    ASSERT_EQ(p.travel.size() / floatsPerPathVertex, 18u);
    const std::vector<std::size_t> plunges = {4, 5, 12, 13};
    const std::vector<std::vector<float>> expected = {
        {0, 0, 7},     {1, 0, 7},  {1, 0, 7},  {1, 0, 2.5f}, {1, 0, 2.5f}, {1, 0, 2},
        {3, 0, 2},     {3, 0, 5},  {3, 0, 5},  {6, 0, 5},    {6, 0, 5},    {6, 0, -0.5f},
        {6, 0, -0.5f}, {6, 0, -1}, {6, 4, -1}, {6, 4, 7},    {0, 4, 7},    {0, 0, 7}};
    for (std::size_t v = 0; v < expected.size(); ++v) {
        EXPECT_EQ(xyz(p.travel, v, floatsPerPathVertex), expected[v]) << v;
        const bool plunge = std::find(plunges.begin(), plunges.end(), v) != plunges.end();
        EXPECT_EQ(rgb(p.travel, v), vec(plunge ? plungeColour : rapidColour)) << v;
    }
}

TEST(PathPreview, HeightScaleAndRoundSteps) {
    EXPECT_EQ(vec(heightColour(0.5)), (std::vector<float>{0.1f, 0.85f, 0.2f}));
    EXPECT_EQ(vec(heightColour(-3)), vec(heightColour(0)));
    EXPECT_EQ(vec(heightColour(7)), vec(heightColour(1)));
    EXPECT_DOUBLE_EQ(scaleStep(23, 5), 5);
    EXPECT_DOUBLE_EQ(scaleStep(0.9, 6), 0.2);
    EXPECT_DOUBLE_EQ(scaleStep(100, 6), 20);
    EXPECT_DOUBLE_EQ(scaleStep(0, 6), 1);
    EXPECT_EQ(scaleMarks(7.2, 24.2, 5), (std::vector<double>{10, 15, 20}));
    EXPECT_EQ(scaleMarks(-0.3, 0.3, 4), (std::vector<double>{-0.2, 0, 0.2}));
    EXPECT_EQ(scaleMarks(3.1, 3.2, 1), (std::vector<double>{3.1, 3.2}));
    EXPECT_EQ(scaleText(2.5, 0.5), "2.5");
    EXPECT_EQ(scaleText(20, 5), "20");
    EXPECT_EQ(scaleText(-0.2, 0.2), "-0.2");
    EXPECT_EQ(scaleText(0.05, 0.05), "0.05");
}

TEST(PathPlayback, PointsLengthsAndTimesAlongTheOutput) {
    const FigureList list = output();
    const PathTimeline t(list);
    ASSERT_EQ(t.points(), 6);
    EXPECT_EQ(t.figureOf(0), 0);
    EXPECT_EQ(t.figureOf(3), 1);
    EXPECT_EQ(t.pointOf(3), 1);
    EXPECT_EQ(t.figureOf(5), 2);
    EXPECT_EQ(t.firstOf(2), 4);
    // The transfer's 6 mm are not path.
    const double lengths[] = {0, 2, 2, 6, 6, 6};
    for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(t.lengthAt(i), lengths[i]) << i;

    machineParams.newSpeedEncoding = 0;
    TOperacjaDane oper;
    oper.idTyp = 0;
    oper.szybkosc = 100;
    // L / v + figures begun × 0.7: 6 / 100 + 2 × 0.7 at the second figure's end.
    EXPECT_DOUBLE_EQ(*minutesAt(t, 3, 0, &oper), 1.46);
    // At the last point the output's own estimate.
    EXPECT_DOUBLE_EQ(*minutesAt(t, 5, 0, &oper), *machiningMinutes(6, 3, 0, &oper));
    EXPECT_EQ(outputParameters(6, 3, 0, &oper).time, minutesText(2.16));
    EXPECT_FALSE(minutesAt(t, 6, 0, &oper));
    EXPECT_FALSE(minutesAt(t, 2, 0, nullptr));
    // Printing: the corners passed counted by the share of the length.
    oper.idTyp = opPrinting;
    EXPECT_DOUBLE_EQ(*minutesAt(t, 1, 300, &oper), 2.0 / 100 + 0.1 * 100 * 0.0000236);
    EXPECT_EQ(clockText(1.46), "0:01:28");
    EXPECT_EQ(clockText(61.5), "1:01:30");
    EXPECT_EQ(clockText(-1), "0:00:00");
    EXPECT_EQ(minutesText(59.4), "59 min");
    EXPECT_EQ(minutesText(59.5), "1 h 0 min");
    EXPECT_EQ(minutesText(60.5), "1 h 0 min");
    EXPECT_EQ(minutesText(125), "2 h 5 min");
}

TEST(ScreenPick, ProjectedUnprojectedAndNearestOnTheScreen) {
    ScreenProjection p;
    for (int i = 0; i < 4; ++i) p.modelView[i * 5] = p.projection[i * 5] = 1;
    p.viewport = {0, 0, 200, 100};
    EXPECT_EQ(*projectToWindow(p, 0.5, 0, 0), (std::array<double, 2>{150, 50}));
    const auto back = unprojectFromWindow(p, 150, 60, 0.7);
    ASSERT_TRUE(back);
    EXPECT_NEAR((*back)[0], 0.5, 1e-12);
    EXPECT_NEAR((*back)[1], 0.2, 1e-12);
    EXPECT_NEAR((*back)[2], 0.4, 1e-12);
    const std::vector<float> points = {0.5f, 0, 0, 0.55f, 0, 0, -0.5f, 0.5f, 0};
    EXPECT_EQ(nearestVertexOnScreen(points, 3, p, 152, 50, 3), 0);
    EXPECT_EQ(nearestVertexOnScreen(points, 3, p, 154, 50, 3), 1);
    EXPECT_EQ(nearestVertexOnScreen(points, 3, p, 152, 50, 1), -1);
    EXPECT_EQ(nearestVertexOnScreen(points, 3, p, 50, 75, 1), 2);

    // A perspective looking down −z, moved 2 along x and turned 90° about z:
    // gluPerspective(90°, 1, 1, 10) worked out by hand.
    ScreenProjection q;
    q.viewport = {10, 20, 100, 100};
    q.modelView = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 2, 0, 0, 1};
    q.projection = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -11.0 / 9, -1, 0, 0, -20.0 / 9, 0};
    // (0, 1, −4) turns to (−1, 0, −4), moves to (1, 0, −4): x 1/4 of the way right.
    const auto w = projectToWindow(q, 0, 1, -4);
    ASSERT_TRUE(w);
    EXPECT_NEAR((*w)[0], 10 + (1 + 0.25) / 2 * 100, 1e-9);
    EXPECT_NEAR((*w)[1], 20 + 50, 1e-9);
    EXPECT_FALSE(projectToWindow(q, 0, 1, 4));                // behind the eye
    const double depth = ((44.0 / 9 - 20.0 / 9) / 4 + 1) / 2; // clip z / w of −4, as 0..1
    const auto there = unprojectFromWindow(q, (*w)[0], (*w)[1], depth);
    ASSERT_TRUE(there);
    EXPECT_NEAR((*there)[0], 0, 1e-9);
    EXPECT_NEAR((*there)[1], 1, 1e-9);
    EXPECT_NEAR((*there)[2], -4, 1e-9);
}

TEST(ToolMesh, BodiesEncloseTheVolumeOfTheirShapes) {
    constexpr int slices = 64;
    // A polygon of n sides inscribed in radius r has the area n r² sin(2π/n) / 2.
    const double polygon = slices * std::sin(2 * std::numbers::pi / slices) / 2;
    TFrezDane mill;
    mill.typ = toolEndMill;
    mill.d1 = mill.d3 = 6;
    mill.h = mill.hc = 20;
    const std::vector<float> m = toolMesh(mill, slices);
    EXPECT_NEAR(enclosed(m, 6), polygon * 9 * 20, 1e-6 * 9 * 20);
    float top = 0, widest = 0;
    for (std::size_t i = 0; i < m.size(); i += 6) {
        top = std::max(top, m[i + 2]);
        widest = std::max(widest, std::hypot(m[i], m[i + 1]));
        EXPECT_GE(m[i + 2], 0);
    }
    EXPECT_FLOAT_EQ(top, 20);
    EXPECT_FLOAT_EQ(widest, 3);

    // A ball of radius 2 on a shank to 10 mm: a half sphere and a cylinder.
    TFrezDane ball;
    ball.typ = toolBallNose;
    ball.d1 = ball.d3 = 4;
    ball.h = ball.hc = 10;
    const double ballVolume = std::numbers::pi * 4 * 8 + 2.0 / 3 * std::numbers::pi * 8;
    EXPECT_NEAR(enclosed(toolMesh(ball, slices), 6), ballVolume, 0.01 * ballVolume);

    // A cone from a 1 mm tip to 5 mm at 4 mm, then 5 mm up to 12: a frustum
    // and a cylinder.
    TFrezDane cone;
    cone.typ = toolConical;
    cone.d1 = 1;
    cone.d2 = cone.d3 = 5;
    cone.h = 4;
    cone.hc = 12;
    const double frustum = std::numbers::pi * 4 / 3 * (0.25 + 0.5 * 2.5 + 6.25);
    const double coneVolume = frustum + std::numbers::pi * 6.25 * 8;
    EXPECT_NEAR(enclosed(toolMesh(cone, slices), 6), coneVolume, 0.01 * coneVolume);
}

TEST(MaterialBox, BlockCoatingAndStockBoxesWithTheirEdgesFacesAndSizes) {
    TMaterial block;
    block.zrodlo = materialBlock;
    block.rozmX = 100;
    block.rozmY = 80;
    block.rozmZ = 25;
    TModel model, stock;
    model.maxX = 50;
    model.maxY = 40;
    model.maxZ = 10;
    const auto b = materialBox(block, model, stock);
    ASSERT_TRUE(b);
    EXPECT_DOUBLE_EQ(b->maxX, 100);
    EXPECT_DOUBLE_EQ(b->maxZ, 25);
    EXPECT_EQ(boxSizeText(*b), "100.0 × 80.0 × 25.0 mm");
    const std::vector<float> faces = boxFaces(*b);
    EXPECT_EQ(faces.size(), 36u * 6);
    EXPECT_NEAR(enclosed(faces, 6), 100 * 80 * 25, 1e-6);
    // Each face's stored normal is the outward one its winding gives.
    for (std::size_t i = 0; i < faces.size(); i += 18) {
        const float* a = &faces[i];
        const float* c1 = &faces[i + 6];
        const float* c2 = &faces[i + 12];
        const float ux = c1[0] - a[0], uy = c1[1] - a[1], uz = c1[2] - a[2];
        const float vx = c2[0] - a[0], vy = c2[1] - a[1], vz = c2[2] - a[2];
        const float n[3] = {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
        for (int k = 0; k < 3; ++k) EXPECT_GE(n[k] * a[3 + k], 0) << i;
    }
    std::map<float, int> lengths;
    for (const AxisSegment& e : boxEdges(*b))
        ++lengths[std::hypot(e.to.x - e.from.x, e.to.y - e.from.y, e.to.z - e.from.z)];
    EXPECT_EQ(lengths, (std::map<float, int>{{25, 4}, {80, 4}, {100, 4}}));
    const auto dimensions = boxDimensions(*b);
    ASSERT_EQ(dimensions.size(), 3u);
    EXPECT_EQ(dimensions[0].text, "100.0 mm");
    EXPECT_FLOAT_EQ(dimensions[0].at.x, 50);

    TMaterial coating;
    coating.zrodlo = materialCoating;
    coating.gruboscPowloki = 2;
    EXPECT_DOUBLE_EQ(materialBox(coating, model, stock)->maxZ, 12);
    TMaterial file;
    file.zrodlo = materialFile;
    EXPECT_FALSE(materialBox(file, model, stock)); // no stock model loaded
    stock.maxX = stock.maxY = stock.maxZ = 3;
    EXPECT_DOUBLE_EQ(materialBox(file, model, stock)->maxY, 3);
    block.rozmZ = 0;
    EXPECT_FALSE(materialBox(block, model, stock));
}

TEST(PreviewAxes, MarksAtRoundMillimetres) {
    const MillimetreAxes a = millimetreAxes({0, 0, 0, 100, 80, 25});
    EXPECT_DOUBLE_EQ(a.step, 20);
    // Three axes, marks at 0..100, 0..80 and 0..20.
    EXPECT_EQ(a.lines.size(), 3u + 6 + 5 + 2);
    std::vector<std::string> texts;
    for (const AxisLabel& l : a.labels) texts.push_back(l.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"20", "40", "60", "80", "100", "X mm", "20", "40",
                                               "60", "80", "Y mm", "20", "Z mm", "0"}));
    // The x axis runs half a step past its last mark.
    EXPECT_FLOAT_EQ(a.lines[0].to.x, 110);
    EXPECT_FLOAT_EQ(a.labels[1].at.x, 40);
}
