// The output preview, the material page and the simulation page as an
// operator meets them after building the sample project with F4, in English
// and in Arabic: the moves drawn by kind with the height legend, the path's
// length and time under the view, the playback keys moving the tool to a
// point worked out by hand, "start from here" presetting the start point
// dialog, the menu switches, the material block drawn as a box, and the
// simulation's line before its first run. Every frame is kept as a picture.
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "OperatorSupport.h"
#include "PathPreviewView.h"
#include "Screenshots.h"
#include "SimulationPage.h"
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/Settings.h"
#include "foundation/State.h"
#include "output/DaneWyjsciowe.h"

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

using namespace korvane;

namespace {

using test::waitFor;

enum class Kind { none, rapid, plunge, blue, cyan, green, yellow, red, orange, white };

// The colours as drawn: the rapids light grey, plunges magenta, the height
// scale's hues, the material's outline white (its box orange on its page).
Kind kindOf(QColor c) {
    const int r = c.red(), g = c.green(), b = c.blue();
    if (r > 245 && g > 245 && b > 245) return Kind::white;
    if (std::abs(r - 199) < 14 && std::abs(g - 199) < 14 && std::abs(b - 199) < 14)
        return Kind::rapid;
    if (r > 200 && b > 200 && g < 120) return Kind::plunge;
    if (b > 180 && r < 90 && g < 140) return Kind::blue;
    if (b > 180 && g > 160 && r < 60) return Kind::cyan;
    if (g > 150 && r < 80 && b < 90) return Kind::green;
    if (r > 200 && g > 170 && b < 60) return Kind::yellow;
    if (r > 200 && g < 80 && b < 60) return Kind::red;
    if (r > 200 && g > 110 && g < 190 && b < 90) return Kind::orange;
    return Kind::none;
}

int count(const QImage& image, Kind kind, QRect within = {}) {
    if (within.isNull()) within = image.rect();
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            n += kindOf(image.pixelColor(x, y)) == kind;
    return n;
}

// Pixels that differ between two frames within `radius` of `at`.
int changedNear(const QImage& a, const QImage& b, QPointF at, int radius) {
    int n = 0;
    for (int y = std::max(0, int(at.y()) - radius); y < std::min(a.height(), int(at.y()) + radius);
         ++y)
        for (int x = std::max(0, int(at.x()) - radius);
             x < std::min(a.width(), int(at.x()) + radius); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// The window as the screen shows it, the views' frames composed in.
void keepWindow(QWidget& window, const std::string& name) {
    QApplication::processEvents();
    test::keepScreenshot(QGuiApplication::primaryScreen()->grabWindow(window.winId()).toImage(),
                         name);
}

void click(QWidget* to, QPointF at, Qt::MouseButton button) {
    QMouseEvent press(QEvent::MouseButtonPress, at, to->mapToGlobal(at), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(to, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, to->mapToGlobal(at), button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(to, &release);
}

class OutputPreview : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        for (const char* name : {"Sample.stl", "Sample.prj"})
            std::filesystem::copy_file(test::sampleFolder / name, dir / name);
        started = std::make_unique<test::StartedMainWindow>(
            ui, dir / "data", std::vector<std::string>{"95", GetParam()});
        ASSERT_TRUE(started->started());
        window = &started->window();
        started->activate();
    }
    void TearDown() override { started.reset(); }
    std::string name(const char* what) { return std::string(what) + "_" + GetParam(); }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    std::unique_ptr<test::StartedMainWindow> started;
    MainWindow* window = nullptr;
};

} // namespace

TEST_P(OutputPreview, SampleBuildExplainedInThePreviewMaterialAndSimulationPages) {
    auto* pages = window->findChild<QTabWidget*>("pcWidoki");
    auto* simulation = window->findChild<SimulationPage*>("tsSimulation");
    ASSERT_TRUE(pages && simulation);
    // Before the first run the simulation page says what it does and its key.
    pages->setCurrentWidget(simulation);
    QApplication::processEvents();
    const std::string hint = txt("Main_window", "lSimulationHint.Caption");
    EXPECT_NE(hint.find("F9"), std::string::npos);
    EXPECT_EQ(simulation->findChild<QLabel*>("lSimulationFigures")->text().toStdString(), hint);
    keepWindow(*window, name("simulation_before_run"));

    test::dropFile(*window, dir / "Sample.prj");
    ASSERT_TRUE(test::modelReady(*window));
    QTest::keyClick(window, Qt::Key_F4);
    ASSERT_TRUE(waitFor([&] { return !window->logic().genProcWtoku(); }));
    auto* outputs = window->findChild<QListWidget*>("lbPlikiWy");
    ASSERT_GT(outputs->count(), 0);
    EXPECT_EQ(outputs->currentRow(), 0);
    EXPECT_EQ(pages->currentWidget(), window->findChild<QWidget*>("tsPodgladOut"));
    auto* view = window->findChild<PathPreviewView*>("rwPodgladWy");
    auto* slider = window->findChild<QSlider*>("tbOdtwarzanie");
    auto* position = window->findChild<QLabel*>("lPunktOdtwarzania");
    auto* figures = window->findChild<QLabel*>("lParametryWy");
    ASSERT_TRUE(view && slider && position && figures);
    QApplication::processEvents();
    keepWindow(*window, name("preview_window"));
    const QImage frame = view->grabFramebuffer();
    test::keepScreenshot(frame, name("preview"));

    // Rapids grey, plunges magenta, cuts in the height scale's colours, the
    // material's outline orange; the legend's scale in the top right corner.
    EXPECT_GT(count(frame, Kind::rapid), 300);
    EXPECT_GT(count(frame, Kind::plunge), 20);
    int hues = 0;
    for (Kind k : {Kind::blue, Kind::cyan, Kind::green, Kind::yellow, Kind::red})
        hues += count(frame, k) > 200;
    EXPECT_GE(hues, 4);
    EXPECT_GT(count(frame, Kind::white), 300);
    const QRect legend(frame.width() - 160, 0, 160, 260);
    for (Kind k : {Kind::blue, Kind::cyan, Kind::green, Kind::yellow, Kind::red})
        EXPECT_GT(count(frame, k, legend), 100) << int(k);

    // Under the view the output's length and time, the figures of its parameters.
    window->findChild<QAction*>("pmiParPlikuWy")->trigger();
    ASSERT_FALSE(ui.messages.empty());
    std::smatch m;
    const std::string parameters = ui.messages.back().text;
    ASSERT_TRUE(std::regex_search(parameters, m, std::regex(" : ([0-9.]+ m)\r\n.* : (.+)$")))
        << parameters;
    const std::string length = m[1], time = m[2];
    const std::string shown = figures->text().toStdString();
    EXPECT_NE(shown.find(length), std::string::npos) << shown;
    EXPECT_NE(shown.find(time), std::string::npos) << shown;

    // Playback: Home and three steps forward put the tool on point 3 of the
    // first figure, at its coordinates; End on the last point at the whole time.
    const FigureList& paths = outputReader->ListaFigur;
    ASSERT_GT(paths[0]->poz.size(), 3u);
    const int uploads = view->pathUploads();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Home);
    const QImage atStart = view->grabFramebuffer();
    // Forward is to the right, and to the left in a right-to-left language.
    const auto forward =
        slider->layoutDirection() == Qt::RightToLeft ? Qt::Key_Left : Qt::Key_Right;
    for (int i = 0; i < 3; ++i) QTest::keyClick(view, forward);
    EXPECT_EQ(slider->value(), 3);
    EXPECT_EQ(view->toolAt(), 3);
    const TrPkt3D p3 = paths[0]->poz[3];
    const QString at3 =
        QString::asprintf("X %.3f  Y %.3f  Z %.3f", double(p3.x), double(p3.y), double(p3.z));
    EXPECT_TRUE(position->text().contains(at3)) << position->text().toStdString();
    EXPECT_TRUE(position->text().startsWith(
        QString::fromStdString(txt("Main_window", "lFigura.Caption") + " 0, " +
                               txt("Main_window", "lPunkt.Caption") + " 3")))
        << position->text().toStdString();
    const QImage atThree = view->grabFramebuffer();
    test::keepScreenshot(atThree, name("preview_tool_at_point_3"));
    const auto screen3 = view->pointOnScreen(3);
    ASSERT_TRUE(screen3);
    // The tool's body stands over the point: the frame changes there.
    EXPECT_GT(changedNear(atStart, atThree, *screen3, 40), 80);
    QTest::keyClick(view, Qt::Key_End);
    EXPECT_EQ(slider->value(), slider->maximum());
    std::size_t points = 0;
    for (const auto& f : paths) points += f->poz.size();
    EXPECT_EQ(slider->maximum() + 1, static_cast<int>(points));
    std::smatch clock;
    const std::string end = position->text().toStdString();
    ASSERT_TRUE(std::regex_search(end, clock, std::regex("([0-9]+):([0-9]{2}):([0-9]{2})$")))
        << end;
    const double minutes =
        std::stoi(clock[1]) * 60 + std::stoi(clock[2]) + std::stoi(clock[3]) / 60.0;
    std::smatch total;
    ASSERT_TRUE(std::regex_search(time, total, std::regex("(?:([0-9]+) h )?([0-9]+) min")));
    const double totalMinutes =
        (total[1].matched ? std::stoi(total[1]) * 60 : 0) + std::stoi(total[2]);
    EXPECT_LE(std::fabs(minutes - totalMinutes), 0.5) << end << " / " << time;
    EXPECT_EQ(view->pathUploads(), uploads);

    // A right click on point 1 of the second figure offers "start from here",
    // which opens the start point dialog preset to that point; OK starts
    // there (refused for want of a machine, the start point kept).
    ASSERT_GT(paths.size(), 1u);
    const int second = static_cast<int>(paths[0]->poz.size()) + 1;
    const auto screen = view->pointOnScreen(second);
    ASSERT_TRUE(screen);
    double shownX = -1, shownY = -1, shownZ = -1;
    {
        QTimer popup;
        QObject::connect(&popup, &QTimer::timeout, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                popup.stop();
                EXPECT_EQ(menu->actions().front()->text().toStdString(),
                          txt("Main_window", "pmiStartTutaj.Caption"));
                QTest::keyClick(menu, Qt::Key_Down);
                QTest::keyClick(menu, Qt::Key_Return);
            }
        });
        popup.start(10);
        test::OnModal dialog([](QWidget& w) { return test::named(w, "TfPktStartDlg"); },
                             [&](QWidget& w) {
                                 shownX = w.findChild<QDoubleSpinBox*>("feuX")->value();
                                 shownY = w.findChild<QDoubleSpinBox*>("feuY")->value();
                                 shownZ = w.findChild<QDoubleSpinBox*>("feuZ")->value();
                                 QTest::keyClick(&w, Qt::Key_Return);
                             });
        click(view, *screen, Qt::RightButton);
        ASSERT_TRUE(waitFor([&] { return shownX >= 0; }, std::chrono::seconds(60)));
    }
    // The point picked is the one under the mouse, worked out from the slider.
    const int picked = slider->value();
    int figure = 0, point = picked;
    while (point >= static_cast<int>(paths[static_cast<std::size_t>(figure)]->poz.size()))
        point -= static_cast<int>(paths[static_cast<std::size_t>(figure++)]->poz.size());
    const TrPkt3D q = paths[static_cast<std::size_t>(figure)]->poz[static_cast<std::size_t>(point)];
    EXPECT_NEAR(shownX, q.x, 0.0006);
    EXPECT_NEAR(shownY, q.y, 0.0006);
    EXPECT_NEAR(shownZ, q.z, 0.0006);
    EXPECT_EQ(startFigureIndex, figure);
    EXPECT_EQ(startPointIndex, point);
    EXPECT_LT(std::hypot(view->pointOnScreen(picked)->x() - screen->x(),
                         view->pointOnScreen(picked)->y() - screen->y()),
              13);

    // The model and the material's outline switched off from the model menu,
    // kept in the settings, and on again.
    const QImage all = view->grabFramebuffer();
    window->findChild<QAction*>("mPodgladMaterial")->trigger();
    EXPECT_TRUE(settings.podgladBezMaterialu);
    EXPECT_LT(count(view->grabFramebuffer(), Kind::white), 50);
    window->findChild<QAction*>("mPodgladModel")->trigger();
    EXPECT_TRUE(settings.podgladBezModelu);
    const QImage bare = view->grabFramebuffer();
    test::keepScreenshot(bare, name("preview_paths_only"));
    EXPECT_NE(bare, all);
    EXPECT_EQ(encodeSettings(settings)[285], 1);
    EXPECT_EQ(encodeSettings(settings)[286], 1);
    window->findChild<QAction*>("mPodgladModel")->trigger();
    window->findChild<QAction*>("mPodgladMaterial")->trigger();
    EXPECT_FALSE(settings.podgladBezModelu || settings.podgladBezMaterialu);

    // The material page: the block as a box with its size, never black.
    pages->setCurrentWidget(window->findChild<QWidget*>("tsMaterial"));
    QApplication::processEvents();
    auto* stock = window->findChild<TRAWview*>("rwMaterial");
    const QImage material = stock->grabFramebuffer();
    keepWindow(*window, name("material_page"));
    EXPECT_GT(count(material, Kind::orange), 5000);
    int black = 0;
    for (int y = 0; y < material.height(); ++y)
        for (int x = 0; x < material.width(); ++x) black += material.pixel(x, y) == qRgb(0, 0, 0);
    EXPECT_LT(black, material.width() * material.height() / 100);

    // F9 runs the simulation from any page and shows it (the window active
    // again after the dialog, as when the operator clicks it).
    started->activate();
    QTest::keyClick(window, Qt::Key_F9);
    EXPECT_EQ(pages->currentWidget(), simulation);
    ASSERT_TRUE(waitFor([&] { return !simulation->running(); }));
    ASSERT_TRUE(simulation->result().completed);
    QApplication::processEvents();
    keepWindow(*window, name("simulation_sample"));
}

INSTANTIATE_TEST_SUITE_P(Languages, OutputPreview, ::testing::Values("US", "SA"));
