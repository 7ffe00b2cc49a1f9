// The simulation page: a hand-made build swept on the worker thread, its
// figures, the 3D view with the three colours and the legend, turned and
// zoomed with the mouse, and an abort that leaves the page idle with the last
// surface. Every frame is kept as a picture.
#include "SimulationPage.h"
#include "Screenshots.h"
#include "SimulationSurfaceView.h"
#include "TestSupport.h"

#include "app/SimulationSurface.h"
#include "foundation/Interfejs.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

using namespace korvane;

namespace {

using test::keepScreenshot;

// A 20 x 20 mm block 5 mm high over a flat model with a 2 mm bump at x 5..7,
// y 9..11; a 2 mm flat tool cuts lines 1.5 mm apart at z = 0 over x < 12 only:
// the bump is gouged, the cut part is within the allowance, the rest is left.
BuildSimulationInput handMadeBuild() {
    BuildSimulationInput in;
    in.cell = 0.5;
    in.model.resize(41, 41);
    for (int ix = 10; ix <= 14; ++ix)
        for (int iy = 18; iy <= 22; ++iy) in.model[ix][static_cast<std::size_t>(iy)] = 2;
    in.initial.resize(41, 41);
    in.initial.fill(5);
    in.operations.emplace_back();
    in.tools.push_back(ToolProfile({{1, 0}}));
    FigureList lines;
    for (int k = 0; k <= 13; ++k) {
        lines.push_back(std::make_unique<tFigura>());
        lines.back()->przestawczyZ = 10;
        lines.back()->poz = {{0, 1.5f * k, 0}, {12, 1.5f * k, 0}};
    }
    in.outputs.push_back(std::move(lines));
    return in;
}

enum class Hue { none, red, amber, green };

// The class colours lit and shaded keep their hue: red far ahead of green and
// blue, amber red ahead of green ahead of blue, green ahead of both.
Hue hueOf(QColor c) {
    const int r = c.red(), g = c.green(), b = c.blue();
    if (r > 40 && r > 3 * g && r > 3 * b) return Hue::red;
    if (r > 40 && g > r / 2 && g < r && b < g / 2) return Hue::amber;
    if (g > 40 && g > 3 * r / 2 && g > 3 * b / 2) return Hue::green;
    return Hue::none;
}

int pixelsOf(const QImage& image, Hue hue) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += hueOf(image.pixelColor(x, y)) == hue;
    return n;
}

void send(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), to->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &e);
}

} // namespace

TEST(SimulationPageGui, HandMadeBuildShownAsColouredSurfaceTurnedAndZoomed) {
    test::RecordingUserInterface ui;
    test::resetState(ui, {"US"});
    test::loadTexts("US");
    SimulationPage page;
    page.resize(800, 640);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));

    page.run(handMadeBuild());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.running(); }, 60000));
    ASSERT_TRUE(page.result().completed);
    const DeviationFigures& f = page.result().map.figures;
    EXPECT_DOUBLE_EQ(f.largestGouge, 2);
    EXPECT_DOUBLE_EQ(f.gougeX, 5);
    EXPECT_DOUBLE_EQ(f.gougeY, 9);
    EXPECT_DOUBLE_EQ(f.gougedArea, 25 * 0.25);
    EXPECT_DOUBLE_EQ(f.largestMaterialLeft, 5);
    EXPECT_EQ(page.findChild<QProgressBar*>()->value(), 100);
    // Removed: 26 columns (x 0..12.5) of 41 cells and the 14 cells of x 13 on
    // a line, 5 mm each; the first cell past the lines' round ends is left whole.
    EXPECT_EQ(page.findChild<QLabel*>("lSimulationFigures")->text().toStdString(),
              "Removed 1350.0 mm³   Material left 5.000 mm   Gouge 2.000 mm (X 5.00 Y 9.00), "
              "6.25 mm²\nLeft on the reachable surface 5.000 mm (X 13.00 Y 0.50)");
    EXPECT_FALSE(page.abortButton()->isEnabled());

    SimulationSurfaceView* view = page.view();
    const QImage surface = view->grabFramebuffer();
    keepScreenshot(surface, "simulation_view_US");
    // 41 x 41 cells: 40 x 40 squares of two triangles.
    EXPECT_EQ(view->drawnTriangles(), 3200);
    // The block's uncut part in amber, the cut floor in green, the bump's
    // gouge in red, each as a patch of the surface, not a stray pixel.
    EXPECT_GT(pixelsOf(surface, Hue::amber), 20000);
    EXPECT_GT(pixelsOf(surface, Hue::green), 20000);
    const int red = pixelsOf(surface, Hue::red);
    EXPECT_GT(red, 800);
    EXPECT_LT(red, 4000);
    // Left of the middle, where x 5..7 mm lies in a block 20 mm wide.
    const int middle = surface.width() / 2;
    EXPECT_EQ(pixelsOf(surface.copy(0, 0, middle, surface.height()), Hue::red), red);
    // The legend's swatches under the view, green, amber and red.
    QApplication::processEvents(); // the layout makes room for the figures' two lines
    const QImage shown = page.grab().toImage();
    keepScreenshot(shown, "simulation_page_US");
    const QImage legend = shown.copy(0, shown.height() - 70, shown.width(), 70);
    EXPECT_GT(pixelsOf(legend, Hue::green), 20);
    EXPECT_GT(pixelsOf(legend, Hue::amber), 20);
    EXPECT_GT(pixelsOf(legend, Hue::red), 20);

    // Turned with the right button and zoomed in with the wheel: another
    // frame, the surface larger on the screen.
    send(view, QEvent::MouseButtonPress, {200, 200}, Qt::RightButton, Qt::RightButton);
    send(view, QEvent::MouseMove, {280, 160}, Qt::NoButton, Qt::RightButton);
    send(view, QEvent::MouseButtonRelease, {280, 160}, Qt::RightButton, Qt::NoButton);
    const QImage turned = view->grabFramebuffer();
    keepScreenshot(turned, "simulation_view_turned");
    EXPECT_NE(turned, surface);
    EXPECT_GT(pixelsOf(turned, Hue::amber), 1000);
    QWheelEvent wheel(QPointF(200, 200), view->mapToGlobal(QPointF(200, 200)), QPoint(),
                      QPoint(0, 600), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    const QImage zoomed = view->grabFramebuffer();
    keepScreenshot(zoomed, "simulation_view_zoomed");
    EXPECT_GT(pixelsOf(zoomed, Hue::green) + pixelsOf(zoomed, Hue::amber),
              pixelsOf(turned, Hue::green) + pixelsOf(turned, Hue::amber));

    // An abort right after the start leaves the page idle with the last surface.
    page.run(handMadeBuild());
    page.abort();
    EXPECT_FALSE(page.running());
    EXPECT_FALSE(page.abortButton()->isEnabled());
    EXPECT_EQ(view->drawnTriangles(), 3200);
    EXPECT_EQ(view->grabFramebuffer(), zoomed);
}

namespace {

// A 20 x 20 mm block 5 mm high over a model with a step: flat at 0 for x
// below 10 mm with a 2 mm bump at x 4..6, y 9..11; 3 mm high beyond, with a
// groove 1 mm wide and 2 mm deep at x 14..14.5. A flat tool 2 mm wide cuts
// lines 1 mm apart for y up to 12: at 0 over x 0..9, at 3 over x 11..20.
BuildSimulationInput stepAndBump() {
    BuildSimulationInput in;
    in.cell = 0.5;
    in.model.resize(41, 41);
    for (int ix = 20; ix <= 40; ++ix)
        for (int iy = 0; iy <= 40; ++iy)
            in.model[ix][static_cast<std::size_t>(iy)] = ix == 28 || ix == 29 ? 1.0f : 3.0f;
    for (int ix = 8; ix <= 12; ++ix)
        for (int iy = 18; iy <= 22; ++iy) in.model[ix][static_cast<std::size_t>(iy)] = 2;
    in.initial.resize(41, 41);
    in.initial.fill(5);
    in.operations.emplace_back();
    in.tools.push_back(ToolProfile({{1, 0}}));
    FigureList lines;
    for (int k = 0; k <= 12; ++k)
        for (const auto& [from, to, z] : {std::tuple{0.0f, 9.0f, 0.0f}, {11.0f, 20.0f, 3.0f}}) {
            lines.push_back(std::make_unique<tFigura>());
            lines.back()->przestawczyZ = 10;
            lines.back()->poz = {{from, float(k), z}, {to, float(k), z}};
        }
    in.outputs.push_back(std::move(lines));
    return in;
}

bool greyish(QColor c) {
    return c.red() > 70 && std::abs(c.red() - c.green()) < 8 && std::abs(c.green() - c.blue()) < 8;
}

} // namespace

TEST(SimulationPageGui, StepAndBumpColouredByWhatIsLeftWhereWorkedOutByHand) {
    test::RecordingUserInterface ui;
    test::resetState(ui, {"US"});
    test::loadTexts("US");
    SimulationPage page;
    page.resize(800, 640);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    // Before a run the page says what it does and which key runs it.
    EXPECT_EQ(page.findChild<QLabel*>("lSimulationFigures")->text().toStdString(),
              txt("Main_window", "lSimulationHint.Caption"));
    page.run(stepAndBump());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.running(); }, 60000));
    const BuildSimulationResult& r = page.result();
    ASSERT_TRUE(r.completed);
    const auto at = [&](double x, double y) {
        const auto c = surfaceCellAt(r.remaining, r.map, 0.5, r.allowance, x, y);
        return c ? c->judgement : SurfaceJudgement::reached;
    };
    EXPECT_EQ(at(2, 3), SurfaceJudgement::reached);      // the floor the lines cut
    EXPECT_EQ(at(5, 10), SurfaceJudgement::gouge);       // the bump cut through at 0
    EXPECT_EQ(at(16, 3), SurfaceJudgement::reached);     // the step's top cut at 3
    EXPECT_EQ(at(14, 3), SurfaceJudgement::unreachable); // the groove under a 2 mm tool
    EXPECT_EQ(at(2, 17), SurfaceJudgement::left);        // beyond the lines: 5 mm left
    EXPECT_EQ(at(16, 17), SurfaceJudgement::left);       // 2 mm left on the step
    const auto floor = surfaceCellAt(r.remaining, r.map, 0.5, r.allowance, 2, 17);
    EXPECT_FLOAT_EQ(floor->thickness, 5);
    EXPECT_DOUBLE_EQ(r.map.figures.largestThicknessLeft, 5);

    SimulationSurfaceView* view = page.view();
    const QImage surface = view->grabFramebuffer();
    keepScreenshot(surface, "simulation_step_and_bump");
    EXPECT_GT(pixelsOf(surface, Hue::green), 5000);
    EXPECT_GT(pixelsOf(surface, Hue::amber), 5000);
    EXPECT_GT(pixelsOf(surface, Hue::red), 200);
    int grey = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) grey += greyish(surface.pixelColor(x, y));
    EXPECT_GT(grey, 200);

    // A click on the surface names what is left there, as the map has it.
    const QPoint centre(view->width() / 2, view->height() / 2);
    send(view, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    send(view, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
    const std::string said = page.findChild<QLabel*>("lSimulationPoint")->text().toStdString();
    double x = -1, y = -1;
    ASSERT_EQ(std::sscanf(said.c_str(), "X %lf Y %lf", &x, &y), 2) << said;
    const char* names[] = {"lReached.Caption", "lOutOfReach.Caption", "lLeftOnReach.Caption",
                           "lGouge.Caption"};
    EXPECT_NE(said.find(txt("Main_window", names[static_cast<int>(at(x, y))])), std::string::npos)
        << said;
    QApplication::processEvents();
    keepScreenshot(page.grab().toImage(), "simulation_step_and_bump_page");
}
