// The simulation page: a hand-made build swept on the worker thread, its
// picture with the three colours where they belong and the legend, and an
// abort that leaves the page idle. The page is kept as a picture.
#include "SimulationPage.h"
#include "TestSupport.h"

#include "foundation/Interfejs.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

void keep(const QImage& image, const char* name) {
    if (const char* artefacts = std::getenv("KORVANE_ARTEFACTS")) {
        std::filesystem::create_directories(artefacts);
        image.save(QString("%1/%2.png").arg(artefacts).arg(name));
    }
}

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

int pixelsLike(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            // The colour shaded: the same proportions within a rounding step.
            const double s = colour.red() ? double(c.red()) / colour.red() : 0;
            if (s > 0.3 && std::abs(c.green() - colour.green() * s) < 3 &&
                std::abs(c.blue() - colour.blue() * s) < 3)
                ++n;
        }
    return n;
}

} // namespace

TEST(SimulationPageGui, HandMadeBuildShowsGougeLeftMaterialAndLegend) {
    test::RecordingUserInterface ui;
    test::resetState(ui, {"US"});
    test::loadTexts("US");
    SimulationPage page;
    page.resize(700, 560);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));

    page.run(handMadeBuild());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.running(); }, 60000));
    const QImage picture = page.picture();
    ASSERT_EQ(picture.size(), QSize(41, 41));
    // The bump's 25 cells gouged 2 mm; north is up: the bump's rows 18..22
    // are picture rows 18..22 of 41, its columns 10..14.
    EXPECT_EQ(pixelsLike(picture, QColor(0xE0, 0x20, 0x20)), 25);
    EXPECT_EQ(picture.pixelColor(12, 20), QColor(181, 25, 25));
    EXPECT_GT(pixelsLike(picture, QColor(0x30, 0xB0, 0x40)), 300); // cut, x < 12
    EXPECT_GT(pixelsLike(picture, QColor(0xF0, 0xB0, 0x20)), 250); // left, x > 13
    EXPECT_EQ(page.findChild<QProgressBar*>()->value(), 100);
    EXPECT_FALSE(page.abortButton()->isEnabled());

    const QImage shown = page.grab().toImage();
    keep(shown, "simulation_page_US");
    // The legend's swatches are drawn at the bottom left.
    EXPECT_GT(pixelsLike(shown.copy(0, shown.height() - 40, 400, 40), QColor(0xE0, 0x20, 0x20)),
              20);

    // An abort right after the start leaves the page idle with the last picture.
    page.run(handMadeBuild());
    page.abort();
    EXPECT_FALSE(page.running());
    EXPECT_FALSE(page.abortButton()->isEnabled());
    EXPECT_EQ(page.picture(), picture);
}
