// A running build holds the operations and tools it took: the program started
// with the sample project on its command line, two operations left checked,
// the project saved, F4; while it builds, the add, edit and delete buttons are disabled and the
// Delete and Insert keys in the lists do nothing. The output list then names
// the operations that made the outputs, and once the build has ended an
// operation can be deleted again.
#include "MainWindowSupport.h"
#include "OperatorSupport.h"
#include "Program.h"
#include "TestSupport.h"

#include "foundation/Interfejs.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

// Every modal window that comes up while it lives is noted and answered:
// message boxes with Yes (or OK), dialogs cancelled.
class ModalWatch {
  public:
    ModalWatch() {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible()) return;
            seen.push_back(modal->windowTitle().toStdString() + ": " +
                           (qobject_cast<QMessageBox*>(modal)
                                ? static_cast<QMessageBox*>(modal)->text().toStdString()
                                : modal->objectName().toStdString()));
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                QAbstractButton* yes = box->button(QMessageBox::Yes);
                (yes ? yes : box->buttons().front())->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
        poll_.start(10);
    }
    std::vector<std::string> seen;

  private:
    QTimer poll_;
};

using test::clickRow;

} // namespace

TEST(BuildHoldsItsList, OperationsAndToolsStayWhileItRuns) {
    test::TempDir dir, runtime;
    for (const char* name : {"Sample.stl", "Sample.prj"})
        std::filesystem::copy_file(test::sampleFolder / name, dir / name);
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    const auto data = dir / "data";
    Program program(std::vector<std::string>{"95", "US", "dataDir='" + data.string() + "'",
                                             (dir / "Sample.prj").string()});
    ASSERT_TRUE(program.start());
    MainWindow& window = program.window();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(test::modelReady(window));

    auto* operations = window.findChild<QListWidget*>("clbOperacje");
    auto* tools = window.findChild<QListWidget*>("lbFrezy");
    auto* outputs = window.findChild<QListWidget*>("lbPlikiWy");
    ASSERT_TRUE(operations && tools && outputs);
    ASSERT_EQ(operations->count(), 6);
    // Library order: Roughing, Layering, Surfacing, Lining, Lining_from_file,
    // Mixed. Only Layering and Lining stay checked.
    for (int row : {0, 2, 5}) {
        clickRow(operations, row);
        QTest::keyClick(operations, Qt::Key_Space);
        ASSERT_EQ(operations->item(row)->checkState(), Qt::Unchecked) << row;
    }
    const std::vector<const char*> buttons = {"btnOperDodaj", "btnOperEdytuj", "btnOperUsun",
                                              "btnFrezDodaj", "btnFrezEdytuj", "btnFrezUsun"};
    auto enabled = [&](const char* name) {
        return window.findChild<QPushButton*>(name)->isEnabled();
    };

    // The changed process is saved (Ctrl+S) before the build, which asks for it.
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    ModalWatch watch;
    QTest::keyClick(&window, Qt::Key_F4);
    ASSERT_TRUE(window.logic().genProcWtoku());
    for (const char* name : buttons) EXPECT_FALSE(enabled(name)) << name;
    // The operator picks the operation being built and the one after it and
    // tries to delete them, to add one, and to delete a tool.
    for (int row : {1, 3}) {
        clickRow(operations, row);
        QTest::keyClick(operations, Qt::Key_Delete);
        QTest::keyClick(operations, Qt::Key_Return);
    }
    QTest::keyClick(operations, Qt::Key_Insert);
    clickRow(tools, 0);
    QTest::keyClick(tools, Qt::Key_Delete);
    QTest::keyClick(tools, Qt::Key_Insert);
    for (const char* name : buttons) EXPECT_FALSE(enabled(name)) << name;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.logic().genProcWtoku(); }, 600000));
    EXPECT_TRUE(watch.seen.empty()) << watch.seen.front();

    EXPECT_EQ(operations->count(), 6);
    EXPECT_EQ(operations->item(3)->text(), "Lining");
    for (const char* name : {"Layering", "Lining"})
        EXPECT_TRUE(std::filesystem::exists(data / "Operations" / (std::string(name) + ".opr")));
    ASSERT_EQ(outputs->count(), 2);
    EXPECT_EQ(outputs->item(0)->text(), "Layering");
    EXPECT_EQ(outputs->item(1)->text(), "Lining");
    EXPECT_EQ(window.findChild<QLabel*>("sbPanel0")->text().toStdString(),
              txt("Main_window", "ProcesyWyjscioweKoniec"));
    EXPECT_EQ(operations->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(operations->item(3)->checkState(), Qt::Checked);

    // The build over, the commands are back: Lining is deleted after its question.
    clickRow(operations, 3);
    for (const char* name : buttons) EXPECT_TRUE(enabled(name)) << name;
    QTest::keyClick(operations, Qt::Key_Delete);
    ASSERT_EQ(watch.seen.size(), 1u);
    EXPECT_EQ(operations->count(), 5);
    EXPECT_FALSE(std::filesystem::exists(data / "Operations" / "Lining.opr"));
}
