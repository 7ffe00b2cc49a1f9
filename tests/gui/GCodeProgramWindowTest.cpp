// A G-code program from another CAM system in the window: Output > Open G-code
// program chooses it in the open dialog, the output list gains it under its
// name, selected and previewed; a refused program dropped on the window says
// which line and word, and the list stays as it was.
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "OperatorSupport.h"
#include "Screenshots.h"
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "output/DaneWyjsciowe.h"

#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

const char* const pocket = "%\n(Pocket from another CAM system)\nG21 G90 G17\nG0 Z5\n"
                           "S12000 M3\nG0 X10 Y10\nG1 Z-1 F200\nG1 X30 F900\n"
                           "G2 X30 Y30 I0 J10\nG1 X10 F600\nG0 Z5\n"
                           "G99 G81 X40 Y10 Z-2 R1 F150\nX45\nG80\nG0 Z5\nM5\nM30\n%\n";

class GCodeProgramWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        started = std::make_unique<test::StartedMainWindow>(ui, dir / "data");
        window = &started->window();
        ASSERT_TRUE(started->started()) << started->failure();
        started->activate();
        outputs = window->findChild<QListWidget*>("lbPlikiWy");
        ASSERT_TRUE(outputs);
    }

    // Output > Open G-code program with the mouse, `file` chosen in the dialog.
    void openThroughTheMenu(const std::filesystem::path& file) {
        auto* bar = window->menuBar();
        auto* menu = window->findChild<QMenu*>("mPlikiWy");
        auto* item = window->findChild<QAction*>("mOtworzProgram");
        ASSERT_TRUE(bar && menu && item);
        ASSERT_TRUE(item->isEnabled());
        test::OnModal chooser([](QWidget& w) { return qobject_cast<QFileDialog*>(&w) != nullptr; },
                              [&](QWidget& w) {
                                  auto& dialog = static_cast<QFileDialog&>(w);
                                  dialog.selectFile(QString::fromStdString(file.string()));
                                  static_cast<QDialog&>(dialog).accept();
                              });
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(test::waitFor([&] { return menu->isVisible(); }));
        test::keepShown(*window, "gcode-output-menu");
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        ASSERT_TRUE(test::waitFor([&] { return outputs->count() > 0; }));
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    std::unique_ptr<test::StartedMainWindow> started;
    MainWindow* window = nullptr;
    QListWidget* outputs = nullptr;
};

TEST_F(GCodeProgramWindow, OpenedProgramJoinsTheOutputListSelectedAndShown) {
    test::writeFile(dir / "Pocket.ngc", pocket);
    ASSERT_NO_FATAL_FAILURE(openThroughTheMenu(dir / "Pocket.ngc"));
    ASSERT_EQ(outputs->count(), 1);
    EXPECT_EQ(outputs->item(0)->text().toStdString(), "Pocket");
    EXPECT_EQ(outputs->currentRow(), 0);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    // The preview reads the program's output file: the pocket and two holes.
    ASSERT_TRUE(outputReader);
    EXPECT_EQ(outputReader->ListaFigur.size(), 3u);
    EXPECT_FLOAT_EQ(outputReader->min.z, -2);
    EXPECT_TRUE(std::filesystem::exists(dataFolder / outputFolderName / "Pocket.feeds"));
    test::keepShown(*window, "gcode-program-opened");

    // A program refused when dropped: its line and word, nothing added.
    test::writeFile(dir / "Offsets.tap", "G21\nG0 Z5\nG55\nG1 X1 F100\n");
    ASSERT_NO_FATAL_FAILURE(test::dropFile(*window, dir / "Offsets.tap"));
    ASSERT_EQ(ui.messages.size(), 1u);
    const std::string& text = ui.messages[0].text;
    EXPECT_TRUE(ui.messages[0].error);
    EXPECT_NE(text.find(txt("Main_window", "gcodeOdrzucony")), std::string::npos) << text;
    EXPECT_NE(text.find(txt("Main_window", "gcodeLinia") + " 3: G55"), std::string::npos) << text;
    EXPECT_NE(text.find("G55: " + txt("Main_window", "gcodeUkladWspolrzednych")), std::string::npos)
        << text;
    EXPECT_EQ(outputs->count(), 1);
    EXPECT_FALSE(std::filesystem::exists(dataFolder / outputFolderName / "Offsets.out"));

    // A program named as a built output replaces it only when the operator says so.
    const auto built = dataFolder / outputFolderName / "Lining.out";
    const std::string lines = "Operation type=3\r\nObject0\r\n0.000 0.000 0.000\r\n"
                              "5.000 0.000 0.000\r\n";
    test::writeFile(built, lines);
    test::writeFile(dir / "Lining.nc", pocket);
    ui.answer = Button::No;
    ASSERT_NO_FATAL_FAILURE(test::dropFile(*window, dir / "Lining.nc"));
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], txt("Main_window", "gcodeZastapicWyjscie") + "\r\nLining");
    EXPECT_EQ(test::readFile(built), lines);
    ui.answer = Button::Yes;
    ASSERT_NO_FATAL_FAILURE(test::dropFile(*window, dir / "Lining.nc"));
    EXPECT_NE(test::readFile(built), lines);
    EXPECT_EQ(outputs->currentItem()->text().toStdString(), "Lining");
}

} // namespace
