// The model view's state without a window: reset, navigation, the mouse rules,
// the axes, the tool sketches and what is handed to the graphics card.
#include "app/RawViewState.h"
#include "app/ToolSketch.h"
#include "app/ViewGeometry.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

RawViewState viewOf(TMinMax extents, TTrybPracy mode = tpPrzegladRAW) {
    RawViewState v;
    v.FTrybPracy = mode;
    v.ParametryModelu = extents;
    return v;
}

void navigate(RawViewState& v, const std::vector<NavigationStep>& steps) {
    for (const auto& s : steps) v.Nawigacja(s.typOperacji, s.deltaX, s.deltaY);
}

} // namespace

TEST(RawViewReset, FitsTheExtentsToTheViewAndCentresThem) {
    RawViewState v = viewOf({0, 0, 0, 100, 100, 0});
    v.katPoziom = 10;
    v.katPion = -4;
    v.przesuwPoziom = 1;
    v.przesuwPion = 2;
    v.reset(400, 300);
    // √√(400² + 300²) / 141.42… × 0.15
    EXPECT_NEAR(v.skala, 0.023717, 1e-6);
    EXPECT_EQ(v.przesuwPoziom_1szy, -50);
    EXPECT_EQ(v.przesuwPion_1szy, -50);
    EXPECT_EQ(v.przesuwZ_1szy, 0);
    EXPECT_EQ(v.katPoziom, 0);
    EXPECT_EQ(v.katPion, 0);
    EXPECT_EQ(v.przesuwPoziom, 0);
    EXPECT_EQ(v.przesuwPion, 0);
}

TEST(RawViewReset, ModesAndExtentsWithoutArea) {
    RawViewState serial = viewOf({10, 20, 4, 30, 60, 24}, tpPrzegladRAWtermSeryjne);
    serial.reset(400, 300);
    EXPECT_EQ(serial.przesuwPoziom_1szy, -20);
    EXPECT_EQ(serial.przesuwPion_1szy, -40);
    EXPECT_EQ(serial.przesuwZ_1szy, -14);

    RawViewState tool = viewOf({}, tpPrzegladNarzedzi);
    tool.reset(201, 201);
    EXPECT_EQ(tool.skala, 0.01);

    // A point, or no model at all: the zoom of a 100 mm diagonal, √500 / 100 × 0.15.
    RawViewState point = viewOf({5, 5, 0, 5, 5, 0});
    point.reset(400, 300);
    EXPECT_NEAR(point.skala, 0.033541, 1e-6);
    EXPECT_EQ(point.przesuwPoziom_1szy, -5);
    RawViewState none = viewOf({});
    none.reset(400, 300);
    EXPECT_NEAR(none.skala, 0.033541, 1e-6);
}

TEST(RawViewNavigation, StepsAndTheZoomFloor) {
    RawViewState v;
    v.skala = 0.001;
    v.Nawigacja(navRotate, 10, 4);
    EXPECT_EQ(v.katPoziom, 5);
    EXPECT_EQ(v.katPion, -2);
    v.Nawigacja(navPan, -100, 50);
    EXPECT_DOUBLE_EQ(v.przesuwPoziom, -1);
    EXPECT_DOUBLE_EQ(v.przesuwPion, 0.5);
    v.Nawigacja(navZoom, 0, 30); // 0.001 - 30 × 0.0001 < 0
    EXPECT_EQ(v.skala, 0);
    v.Nawigacja(navZoom, 0, -5);
    EXPECT_NEAR(v.skala, 0.0005, 1e-12);
    const RawViewState before = v;
    v.Nawigacja(0, 7, 7);
    v.Nawigacja(4, 7, 7);
    EXPECT_EQ(v.katPoziom, before.katPoziom);
    EXPECT_EQ(v.skala, before.skala);
    EXPECT_EQ(v.przesuwPion, before.przesuwPion);
    EXPECT_EQ(SkalaWZakresie(-1e-9), 0);
    EXPECT_EQ(SkalaWZakresie(0.25), 0.25);
}

TEST(RawViewMouse, ButtonsAndHeldKeysChooseTheAxes) {
    RawViewState v;
    v.skala = 0.02;
    // Right button with Ctrl zooms: a drag 100 pixels up enlarges by 0.01.
    ASSERT_TRUE(v.press(MouseButton::right, {.ctrl = true}, 50, 200));
    EXPECT_TRUE(v.Skalowanie);
    EXPECT_FALSE(v.Obroty);
    navigate(v, v.move({}, 60, 100));
    EXPECT_NEAR(v.skala, 0.03, 1e-12);
    EXPECT_EQ(v.katPoziom, 0);
    v.release();

    // Rotate with Alt: only katPion; with Shift: only katPoziom.
    v.press(MouseButton::right, {}, 0, 0);
    navigate(v, v.move({.alt = true}, 20, -10)); // dx 20, dy 10 upwards
    EXPECT_EQ(v.katPoziom, 0);
    EXPECT_EQ(v.katPion, -5);
    navigate(v, v.move({.shift = true}, 40, -30));
    EXPECT_EQ(v.katPoziom, 10);
    EXPECT_EQ(v.katPion, -5);
    v.release();
    EXPECT_FALSE(v.Obroty);

    // Pan with Ctrl moves only vertically; with Shift only horizontally.
    v.press(MouseButton::left, {.ctrl = true}, 0, 0);
    navigate(v, v.move({.ctrl = true}, 100, -200));
    EXPECT_EQ(v.przesuwPoziom, 0);
    EXPECT_DOUBLE_EQ(v.przesuwPion, 2);
    navigate(v, v.move({.shift = true}, 150, 0));
    EXPECT_DOUBLE_EQ(v.przesuwPoziom, 0.5);
    EXPECT_DOUBLE_EQ(v.przesuwPion, 2);
    v.release();

    // The middle button zooms; a drag down below 0 stops at 0.
    v.press(MouseButton::middle, {}, 0, 0);
    navigate(v, v.move({}, 0, 1000));
    EXPECT_EQ(v.skala, 0);
    v.release();
    EXPECT_TRUE(v.move({}, 5, 5).empty()); // no drag mode after the release
}

TEST(RawViewMouse, WheelNotchAndLock) {
    RawViewState v;
    v.skala = 0.02;
    ASSERT_TRUE(v.wheel(120));
    EXPECT_NEAR(v.skala, 0.02096, 1e-12);
    v.wheel(-120 * 300);
    EXPECT_EQ(v.skala, 0);

    v.skala = 0.02;
    v.Locked = true;
    EXPECT_FALSE(v.press(MouseButton::left, {}, 0, 0));
    EXPECT_FALSE(v.Przesuwanie);
    EXPECT_FALSE(v.wheel(120));
    EXPECT_EQ(v.skala, 0.02);
    v.Locked = false;
    v.press(MouseButton::left, {}, 0, 0);
    v.Locked = true;
    EXPECT_TRUE(v.move({}, 50, 50).empty());
    EXPECT_FALSE(v.release());
    EXPECT_TRUE(v.Przesuwanie); // the drag ends with the first release after unlocking
}

TEST(RawViewAxes, HalfTheViewRoundedToEven) {
    const auto axes = axisSegments(401, 303); // 200.5 → 200, 151.5 → 152
    ASSERT_EQ(axes.size(), 7u);
    EXPECT_EQ(axes[0].from.y, -152);
    EXPECT_EQ(axes[0].to.y, 152);
    EXPECT_EQ(axes[1].from.x, -200);
    EXPECT_EQ(axes[2].from.y, 142); // arrowhead of y
    EXPECT_EQ(axes[2].from.x, -5);
    EXPECT_EQ(axes[5].from.x, 190); // arrowhead of x
    EXPECT_EQ(axes[5].from.y, -5);
    EXPECT_EQ(axes[6].from.z, -152);
    EXPECT_EQ(axes[6].to.z, 152);
}

TEST(ToolSketches, BodiesAre300UnitsLongAndCentred) {
    for (int type : {0, 1, 2}) {
        const auto s = toolSketch(type);
        ASSERT_TRUE(s) << type;
        float length = 0;
        for (const auto& p : s->pieces) {
            if (p.shape == SketchShape::cylinder) length += p.length;
            if (p.shape == SketchShape::sphere) length += p.baseRadius;
        }
        EXPECT_EQ(length, 300) << type;
        EXPECT_EQ(s->pieces.back().shape, SketchShape::disc);
        EXPECT_EQ(s->pieces.back().baseRadius, 62);
    }
    EXPECT_EQ(toolSketch(0)->shift, -150);
    EXPECT_EQ(toolSketch(1)->shift, -100);
    EXPECT_EQ(toolSketch(1)->pieces[0].shape, SketchShape::sphere);
    EXPECT_EQ(toolSketch(2)->pieces[0].baseRadius, 15);
    EXPECT_FALSE(toolSketch(-1));
    EXPECT_FALSE(toolSketch(3));
}

TEST(ToolSketches, DimensionLinesAndLabels) {
    // Each dimension line comes with a tick at both ends.
    const auto endMill = *toolSketch(0);
    ASSERT_EQ(endMill.lines.size(), 12u);
    EXPECT_EQ(endMill.lines[0].from.x, 82); // h
    EXPECT_EQ(endMill.lines[0].from.z, -150);
    EXPECT_EQ(endMill.lines[0].to.z, -300);
    EXPECT_EQ(endMill.lines[1].from.x, 80); // its tick
    EXPECT_EQ(endMill.lines[1].to.x, 84);
    EXPECT_EQ(endMill.lines[3].from.x, 122);  // hc
    EXPECT_EQ(endMill.lines[6].from.z, -320); // d1
    EXPECT_EQ(endMill.lines[6].from.x, -50);
    EXPECT_EQ(endMill.lines[9].from.z, 20); // d3
    EXPECT_EQ(endMill.lines[9].to.x, 62);
    EXPECT_EQ(endMill.labels[0].text, "h ");
    EXPECT_EQ(endMill.labels[0].z, -225);

    EXPECT_EQ(toolSketch(1)->lines[0].from.z, -180);
    EXPECT_EQ(toolSketch(1)->labels[0].z, -240);

    const auto cone = *toolSketch(2);
    ASSERT_EQ(cone.lines.size(), 15u);
    EXPECT_EQ(cone.lines[0].from.z, -250);
    EXPECT_EQ(cone.lines[6].from.x, -15);  // d1 across the tip
    EXPECT_EQ(cone.lines[9].from.z, -340); // d2
    EXPECT_EQ(cone.lines[9].from.x, -50);
    ASSERT_EQ(cone.labels.size(), 5u);
    EXPECT_EQ(cone.labels[3].text, "d2");
    EXPECT_EQ(cone.labels[1].x, 142);
}

TEST(ViewGeometry, TrianglesWithTheirNormalAndFiguresAsStrips) {
    const TriangleList triangles = {{{0, 0, 0}, {2, 0, 0}, {0, 3, 0}},
                                    {{1, 1, 1}, {1, 1, 2}, {1, 2, 1}}};
    const auto data = triangleVertexData(triangles);
    ASSERT_EQ(data.size(), 36u);
    // (2, 0, 0) × (0, 3, 0) = (0, 0, 6) at every vertex of the first triangle.
    EXPECT_EQ((std::vector<float>(data.begin(), data.begin() + 12)),
              (std::vector<float>{0, 0, 0, 0, 0, 6, 2, 0, 0, 0, 0, 6}));
    // (0, 0, 1) × (0, 1, 0) = (−1, 0, 0)
    EXPECT_EQ((std::vector<float>(data.begin() + 33, data.end())), (std::vector<float>{-1, 0, 0}));

    FigureList figures;
    for (std::vector<TrPkt3D> points : std::vector<std::vector<TrPkt3D>>{
             {{0, 0, 0}, {1, 0, 0}}, {}, {{5, 5, 5}}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}}) {
        figures.push_back(std::make_unique<tFigura>());
        figures.back()->poz = points;
    }
    const auto strips = figureLineStrips(figures);
    EXPECT_EQ(strips.first, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(strips.count, (std::vector<int>{2, 1, 3}));
    ASSERT_EQ(strips.points.size(), 18u);
    EXPECT_EQ(strips.points[9], 1);
    EXPECT_EQ(strips.points[17], 9);
}
