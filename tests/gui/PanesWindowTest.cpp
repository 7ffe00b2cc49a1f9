// The tool and operation panes in the real window: library order, the
// selected tool's description, check marks (mouse, Space, context menu) that
// feed the project, deleting with the buttons; a screenshot beside the sample
// model is kept.
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "Screenshots.h"
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace korvane;

TEST(MainWindowPanes, ShowTheLibrariesAndFollowTheRules) {
    test::RecordingUserInterface ui;
    test::TempDir data;
    test::StartedMainWindow started(ui, data.path());
    ASSERT_TRUE(started.started());
    MainWindow& window = started.window();

    auto* tools = window.findChild<QListWidget*>("lbFrezy");
    auto* detail = window.findChild<QLabel*>("lOpisFreza");
    auto* toolDelete = window.findChild<QPushButton*>("btnFrezUsun");
    auto* operations = window.findChild<QListWidget*>("clbOperacje");
    auto* build = window.findChild<QAction*>("mBudujPlikiWy");
    ASSERT_TRUE(tools && detail && toolDelete && operations && build);

    ASSERT_EQ(tools->count(), 4);
    EXPECT_EQ(tools->item(1)->text(), "Conical2");
    EXPECT_EQ(tools->item(3)->text(), "EndSloting6");
    EXPECT_FALSE(toolDelete->isEnabled());
    tools->setCurrentRow(1);
    EXPECT_TRUE(toolDelete->isEnabled());
    EXPECT_EQ(detail->text(), "Conical cutter\nd1 = 2   d2 = 4   h  = 5");
    EXPECT_EQ(tools->toolTip(), detail->text());

    ASSERT_EQ(operations->count(), 6);
    EXPECT_EQ(operations->item(0)->text(), "Roughing");
    EXPECT_FALSE(build->isEnabled());
    operations->item(3)->setCheckState(Qt::Checked); // as a click on the box does
    EXPECT_TRUE(build->isEnabled());
    EXPECT_EQ(project->d.lProcesu, std::vector<std::string>{"Lining"});

    operations->setFocus();
    operations->setCurrentRow(5);
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(operations, &space);
    EXPECT_EQ(operations->item(5)->checkState(), Qt::Checked);
    EXPECT_EQ(project->d.lProcesu, (std::vector<std::string>{"Lining", "Mixed"}));

    window.findChild<QAction*>("pmiZaznaczWszystkie")->trigger();
    for (int i = 0; i < operations->count(); ++i)
        EXPECT_EQ(operations->item(i)->checkState(), Qt::Checked);
    EXPECT_EQ(project->d.lProcesu.size(), 6u);

    // A tool used by an operation stays; an unused one goes after "Yes".
    tools->setCurrentRow(3);
    toolDelete->click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(tools->count(), 4);
    tools->setCurrentRow(0);
    toolDelete->click();
    EXPECT_EQ(tools->count(), 3);
    EXPECT_FALSE(std::filesystem::exists(data / "Tools" / "Ball2.tol"));

    // Back to an unchanged project.
    window.findChild<QAction*>("pmiWylaczWszystkie")->trigger();
    EXPECT_FALSE(build->isEnabled());
    EXPECT_FALSE(project->DoZapisu());

    // The panes beside the sample model, every operation checked.
    ASSERT_NO_FATAL_FAILURE(test::dropSampleModel(window));
    window.findChild<QAction*>("pmiZaznaczWszystkie")->trigger();
    tools->setCurrentRow(0);
    QApplication::processEvents();
    test::keepScreenshot(window, "main-window-panes");
    EXPECT_EQ(ui.messages.size(), 1u);
    // The model left the project unsaved: the user cancels the question for its name.
    EXPECT_TRUE(test::closeCancellingTheName(window));
}
