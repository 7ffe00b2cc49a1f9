// A session in the real window: the sample project dropped on it loads its
// model and raster, F4 builds the checked operations one after another while
// the event loop keeps turning, the output list fills in operation-list order
// and the first output is shown with its parameters and exported as a plot
// and a drawing by their keys. Also: closing refused during a build, Esc
// during the second of three operations, a model that fails to load, and a
// picture through the relief dialog.
#include "FormBMPDialog.h"
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "RAWview.h"
#include "Screenshots.h"
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "geometry/Raster.h"
#include "import/HPGL.h"
#include "libraries/LibraryState.h"
#include "output/DaneWyjsciowe.h"

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>

using namespace korvane;

namespace {

using test::waitFor;

class BuildSession : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"Sample.stl", "Sample.prj"})
            std::filesystem::copy_file(test::sampleFolder / name, dir / name);
        started = std::make_unique<test::StartedMainWindow>(ui, dir / "data",
                                                            std::vector<std::string>{"95", "US"});
        window = &started->window();
        ASSERT_TRUE(started->started());
        started->activate();
        outputs = window->findChild<QListWidget*>("lbPlikiWy");
        operations = window->findChild<QListWidget*>("clbOperacje");
        ASSERT_TRUE(outputs && operations);
    }
    void TearDown() override {
        // A build still running is ended before the window goes.
        if (window->logic().genProcWtoku()) {
            window->logic().sbProcesPrzerwijClick();
            waitFor([&] { return !window->logic().genProcWtoku(); });
        }
        started.reset();
    }

    std::vector<std::string> outputNames() {
        std::vector<std::string> names;
        for (int i = 0; i < outputs->count(); ++i)
            names.push_back(outputs->item(i)->text().toStdString());
        return names;
    }
    std::filesystem::path output(const std::string& name) {
        return dataFolder / outputFolderName / (name + ".out");
    }
    // Presses the keys of an export command and answers its save dialog with `file`.
    void saveThroughDialog(const std::filesystem::path& file, const std::function<void()>& press) {
        bool answered = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->selectFile(QString::fromStdString(file.string()));
            static_cast<QDialog*>(dialog)->accept(); // public in QDialog
            answered = true;
        });
        poll.start();
        press();
        poll.stop();
        EXPECT_TRUE(answered) << file;
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
    }
    void keep(QWidget* widget, const char* name) { test::keepScreenshot(*widget, name); }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    std::unique_ptr<test::StartedMainWindow> started;
    MainWindow* window = nullptr;
    QListWidget* outputs = nullptr;
    QListWidget* operations = nullptr;
};

} // namespace

TEST_F(BuildSession, SampleProjectBuildsItsOutputsInOrder) {
    test::dropFile(*window, dir / "Sample.prj");
    ASSERT_TRUE(test::modelReady(*window));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(settings.plikProjektu, (dir / "Sample.prj").string());
    EXPECT_EQ(modelTriangles.size(), 4362u);
    EXPECT_TRUE(rasterReady);
    // 100 x 80 x 22 mm at 0.2 mm.
    EXPECT_EQ(rasterSizeX, 500);
    EXPECT_EQ(rasterSizeY, 400);
    EXPECT_EQ(rasterSizeZ, 160);
    EXPECT_FLOAT_EQ(modelHeights[150][200], 22.0f); // the boss at (30, 40)
    EXPECT_FLOAT_EQ(modelHeights[375][200], 4.0f);  // the pocket's floor
    // Library order: Roughing, Layering, Surfacing, Lining, Lining_from_file, Mixed.
    const std::vector<std::string> checked = {"Roughing", "Layering", "Surfacing", "Lining",
                                              "Mixed"};
    for (int i = 0; i < operations->count(); ++i)
        EXPECT_EQ(operations->item(i)->checkState() == Qt::Checked, i != 4) << i;

    int ticks = 0;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    QTest::keyClick(window, Qt::Key_F4);
    ASSERT_TRUE(window->logic().genProcWtoku());
    EXPECT_EQ(operations->item(0)->checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(window->findChild<QAction*>("mBudujPlikiWy")->isEnabled());
    EXPECT_TRUE(window->findChild<QAction*>("mPrzerwijBudowaniePlikowWy")->isEnabled());
    EXPECT_TRUE(window->findChild<QProgressBar*>("pbGenProc")->isVisible());

    // Closing is refused while the build runs.
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Main_window", "zakonczGenPlikowWy"));

    // The timer keeps firing while the generations run.
    const int ticksAtStart = ticks;
    bool turnedWhileBuilding = false;
    ASSERT_TRUE(waitFor([&] {
        turnedWhileBuilding =
            turnedWhileBuilding || (window->logic().genProcWtoku() && ticks > ticksAtStart + 3);
        return !window->logic().genProcWtoku();
    }));
    EXPECT_TRUE(turnedWhileBuilding);

    // One name per operation that wrote its file, in operation-list order.
    std::vector<std::string> written;
    for (const auto& name : checked)
        if (std::filesystem::exists(output(name))) written.push_back(name);
    EXPECT_EQ(outputNames(), written);
    for (const char* name : {"Layering", "Lining"})
        EXPECT_TRUE(std::find(written.begin(), written.end(), name) != written.end()) << name;
    for (int i = 0; i < operations->count(); ++i)
        EXPECT_EQ(operations->item(i)->checkState(), i != 4 ? Qt::Checked : Qt::Unchecked) << i;
    EXPECT_EQ(window->findChild<QLabel*>("sbPanel0")->text().toStdString(),
              txt("Main_window", "ProcesyWyjscioweKoniec"));
    EXPECT_FALSE(window->findChild<QProgressBar*>("pbGenProc")->isVisible());
    EXPECT_TRUE(window->findChild<QAction*>("mBudujPlikiWy")->isEnabled());

    // The first output is shown; its parameters give the length and the time.
    EXPECT_EQ(outputs->currentRow(), 0);
    EXPECT_GT(outputReader->ListaFigur.size(), 0u);
    QAction* parameters = window->findChild<QAction*>("pmiParPlikuWy");
    ASSERT_TRUE(parameters->isEnabled());
    parameters->trigger();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].caption, "Output file parameters");
    EXPECT_TRUE(std::regex_match(ui.messages[1].text,
                                 std::regex("Tool path length : [0-9]+\\.[0-9] m\r\n"
                                            "Estimated machining time : ([0-9]+ h )?[0-9]+ min")))
        << ui.messages[1].text;
    EXPECT_EQ(ui.messages[1].text.find("Tool path length : 0.0 m"), std::string::npos);
    keep(window, "build-session");
    // The old-style preview saved beside the outputs.
    window->findChild<QAction*>("pmiZapiszJakoJpg")->trigger();
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].text,
              "Saved to : " + output(written[0]).replace_extension("jpg").string());
    EXPECT_GT(std::filesystem::file_size(output(written[0]).replace_extension("jpg")), 0u);

    // The shown output exported by its keys through the save dialog: the plot
    // reads back as three views of every figure of two or more points, the
    // drawing holds one 3D polyline per figure that has points.
    std::size_t drawn = 0, withPoints = 0;
    for (const auto& figure : outputReader->ListaFigur) {
        drawn += figure->poz.size() >= 2;
        withPoints += !figure->poz.empty();
    }
    ASSERT_GT(drawn, 0u);
    const auto plot = dir / "paths.plt";
    saveThroughDialog(plot, [&] { QTest::keyClick(window, Qt::Key_F10, Qt::ControlModifier); });
    Thpgl reader;
    reader.open(plot);
    std::size_t plotted = 0;
    for (tFigura f; reader.get_figura(f); f = tFigura{}) ++plotted;
    EXPECT_EQ(plotted, 3 * drawn);
    const auto drawing = dir / "paths.dxf";
    saveThroughDialog(drawing, [&] {
        QTest::keyClick(window, Qt::Key_F11, Qt::ControlModifier | Qt::AltModifier);
    });
    std::ifstream in(drawing, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t polylines = 0;
    for (auto at = text.find("\r\nPOLYLINE\r\n  70\r\n8\r\n"); at != std::string::npos;
         at = text.find("\r\nPOLYLINE\r\n  70\r\n8\r\n", at + 1))
        ++polylines;
    EXPECT_EQ(polylines, withPoints);
    EXPECT_EQ(ui.messages.size(), 3u);

    // With the build over, the window closes.
    EXPECT_TRUE(window->close());
}

TEST_F(BuildSession, EscDuringTheSecondOfThreeStopsTheChain) {
    test::dropFile(*window, dir / "Sample.prj");
    ASSERT_TRUE(test::modelReady(*window));
    // Layering, Surfacing and Lining; the project saved so that the build starts.
    for (int i = 0; i < operations->count(); ++i)
        operations->item(i)->setCheckState(i == 1 || i == 2 || i == 3 ? Qt::Checked
                                                                      : Qt::Unchecked);
    window->logic().mProjektZapiszClick();
    ASSERT_FALSE(project->DoZapisu());

    QTest::keyClick(window, Qt::Key_F4);
    ASSERT_TRUE(window->logic().genProcWtoku());
    ASSERT_TRUE(waitFor([&] { return operations->item(2)->checkState() == Qt::PartiallyChecked; }));
    QTest::keyClick(window, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !window->logic().genProcWtoku(); }));

    EXPECT_TRUE(std::filesystem::exists(output("Layering")));
    EXPECT_FALSE(std::filesystem::exists(output("Lining")));
    const auto names = outputNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], "Layering");
    EXPECT_TRUE(std::find(names.begin(), names.end(), "Lining") == names.end());
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(operations->item(i)->checkState(), Qt::Checked) << i;
}

TEST_F(BuildSession, ModelThatFailsToLoadKeepsTheModelInUse) {
    test::dropFile(*window, dir / "Sample.prj");
    ASSERT_TRUE(test::modelReady(*window));
    test::writeFile(dir / "empty.stl", "solid empty\nendsolid empty\n");
    test::dropFile(*window, dir / "empty.stl");
    ASSERT_TRUE(test::modelReady(*window));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind(txt("Other", "zbiorPusty"), 0), 0u);
    EXPECT_EQ(modelTriangles.size(), 4362u);
    EXPECT_TRUE(rasterReady);
    EXPECT_FLOAT_EQ(modelHeights[150][200], 22.0f);
    EXPECT_EQ(window->findChild<QLabel*>("lSciezkaModelu")->toolTip().toStdString(),
              (dir / "Sample.stl").string());
    EXPECT_TRUE(window->findChild<QAction*>("mModelOtworz")->isEnabled());

    // A file of a kind the window does not open is not taken by a drag.
    test::writeFile(dir / "notes.txt", "x");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString((dir / "notes.txt").string()))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(BuildSession, PictureThroughTheReliefDialog) {
    std::filesystem::copy_file(test::sampleFolder / "relief.bmp", dir / "relief.bmp");
    bool answered = false;
    // The dialog is modal: it is answered from the event loop once it shows.
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<FormBMPDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || answered) return;
        answered = true;
        auto* width = dialog->findChild<QDoubleSpinBox*>("Szerokosc");
        auto* depth = dialog->findChild<QDoubleSpinBox*>("wysokosc");
        width->setValue(80);
        EXPECT_DOUBLE_EQ(depth->value(), 60); // 240 x 180 pixels
        keep(dialog, "bitmap-relief-dialog");
        dialog->findChild<QPushButton*>("btnOk")->click();
    });
    answer.start();
    test::dropFile(*window, dir / "relief.bmp");
    answer.stop();
    ASSERT_TRUE(answered);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(modelExtents.typPliku, modelKindBitmapShown);
    EXPECT_EQ(project->d.plikModelu, (dir / "relief.bmp").string());
    EXPECT_EQ(project->d.BMPx, 80);
    EXPECT_EQ(project->d.BMPy, 60);
    EXPECT_TRUE(rasterReady);
    EXPECT_EQ(rasterSizeX, 400);
    EXPECT_EQ(rasterSizeY, 300);
    EXPECT_TRUE(window->findChild<QLabel*>("ImageBMP")->isVisible());
    keep(window, "bitmap-relief-window");

    // Model > Picture relief in 3D: the raster as a shaded surface, turned
    // with the mouse; off again, the picture.
    QAction* inThreeD = window->findChild<QAction*>("mReliefW3D");
    inThreeD->trigger();
    EXPECT_FALSE(window->findChild<QLabel*>("ImageBMP")->isVisible());
    auto* model = window->findChild<TRAWview*>("RAWview1");
    model->Nawigacja(navRotate, 20, 60);
    const QImage surface = model->grabFramebuffer();
    test::keepScreenshot(surface, "bitmap-relief-3d");
    int lit = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) lit += qGreen(surface.pixel(x, y)) > 40;
    EXPECT_GT(lit, surface.width() * surface.height() / 10);
    inThreeD->trigger();
    EXPECT_TRUE(window->findChild<QLabel*>("ImageBMP")->isVisible());
}
