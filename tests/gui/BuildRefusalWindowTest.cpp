// An operation that cannot make paths is refused at the build: the program
// started with the sample project on its command line, the hatching alone
// checked and built; its step-over then edited to 0 in the operation dialog (a value
// the dialog takes); F4 says which operation and which field, in the interface
// language, and the output built before is kept. The message is kept as a
// screenshot.
#include "MainWindowSupport.h"
#include "OperatorSupport.h"
#include "Program.h"
#include "Screenshots.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace korvane;

class BuildRefusal : public ::testing::TestWithParam<const char*> {};

TEST_P(BuildRefusal, StepOverOfZero) {
    const std::string language = GetParam();
    test::TempDir dir, runtime;
    for (const char* name : {"Sample.stl", "Sample.prj"})
        std::filesystem::copy_file(test::sampleFolder / name, dir / name);
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    const auto data = dir / "data";
    Program program(std::vector<std::string>{"95", language, "dataDir='" + data.string() + "'",
                                             (dir / "Sample.prj").string()});
    ASSERT_TRUE(program.start());
    MainWindow& window = program.window();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(test::modelReady(window));
    auto* operations = window.findChild<QListWidget*>("clbOperacje");
    auto* outputs = window.findChild<QListWidget*>("lbPlikiWy");
    auto* status = window.findChild<QLabel*>("sbPanel0");
    ASSERT_TRUE(operations && outputs && status);

    // Everything unchecked from the list's menu, then the hatching (fourth in
    // library order, named in the interface language) checked with Space; the
    // project saved and built.
    window.findChild<QAction*>("pmiWylaczWszystkie")->trigger();
    test::clickRow(operations, 3);
    QTest::keyClick(operations, Qt::Key_Space);
    ASSERT_EQ(operations->item(3)->checkState(), Qt::Checked);
    const std::string hatching = operations->item(3)->text().toStdString();
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_F4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.logic().genProcWtoku(); }, 600000));
    const auto output = data / "Output" / "Sample" / (hatching + ".out");
    ASSERT_EQ(outputs->count(), 1);
    ASSERT_TRUE(std::filesystem::exists(output));
    const QString built = status->text();

    // Enter on it opens it; a step-over of 0 is saved.
    const test::OnModal operationDialog([](QWidget& w) { return test::named(w, "fOperacjeDlg"); },
                                        [](QWidget& dialog) {
                                            QApplication::setActiveWindow(&dialog);
                                            test::typeOver(dialog.findChild<QWidget*>("eSzerokosc"),
                                                           "0");
                                            QTest::keyClick(&dialog, Qt::Key_Return);
                                        });
    test::clickRow(operations, 3);
    QTest::keyClick(operations, Qt::Key_Return);
    ASSERT_EQ(QApplication::activeModalWidget(), nullptr);
    QApplication::setActiveWindow(&window);

    std::string text;
    const test::OnModal message(test::isMessageBox, [&](QWidget& box) {
        text = static_cast<QMessageBox&>(box).text().toStdString();
        test::keepShown(box, "refusal-build-" + language);
        QTest::keyClick(&box, Qt::Key_Return);
    });
    QTest::keyClick(&window, Qt::Key_F4);
    EXPECT_EQ(text, language == "PL"
                        ? "Nie można utworzyć ścieżek narzędzia dla operacji »" + hatching +
                              "«\r\n»Szerokość przejścia«: wartość musi być większa od 0."
                        : "No tool paths can be made for the operation »" + hatching +
                              "«\r\n»Step-over«: the value must be greater than 0.");
    EXPECT_FALSE(window.logic().genProcWtoku());
    EXPECT_TRUE(std::filesystem::exists(output));
    EXPECT_EQ(outputs->count(), 1);
    EXPECT_EQ(status->text(), built);
}

INSTANTIATE_TEST_SUITE_P(Languages, BuildRefusal, ::testing::Values("US", "PL"));
