// The main window under a real X server (Xvfb): it starts in a language, every
// caption comes from that language's file, and a screenshot with the sample
// model dropped on it is kept.
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "QtMainLoop.h"
#include "RAWview.h"
#include "Screenshots.h"
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

// Whether `o` belongs to the main window itself, not to the control panel,
// a window of its own with its own texts.
bool ownedByMainWindow(const QObject* o) {
    for (; o; o = o->parent())
        if (o->objectName() == "ster") return false;
    return true;
}

// Every text a user sees in the window's menus, panes and pages.
std::vector<std::pair<std::string, QString>> visibleCaptions(MainWindow& w) {
    std::vector<std::pair<std::string, QString>> out;
    for (QMenu* menu : w.findChildren<QMenu*>())
        if (!menu->objectName().isEmpty())
            out.emplace_back(menu->objectName().toStdString(), menu->title());
    for (QAction* a : w.findChildren<QAction*>())
        if (!a->objectName().isEmpty() && ownedByMainWindow(a))
            out.emplace_back(a->objectName().toStdString(), a->text());
    for (QGroupBox* g : w.findChildren<QGroupBox*>())
        if (ownedByMainWindow(g)) out.emplace_back(g->objectName().toStdString(), g->title());
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (ownedByMainWindow(b)) out.emplace_back(b->objectName().toStdString(), b->text());
    QTabWidget* pages = w.findChild<QTabWidget*>("pcWidoki");
    for (int i = 0; i < pages->count(); ++i)
        out.emplace_back(pages->widget(i)->objectName().toStdString(), pages->tabText(i));
    return out;
}

void startsWithCaptionsFrom(const std::string& language) {
    test::RecordingUserInterface ui;
    test::TempDir data;
    test::StartedMainWindow started(ui, data.path(), {language}, true);
    ASSERT_TRUE(started.started());
    MainWindow& window = started.window();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(texts->skrotJez, language);

    for (const auto& [name, text] : visibleCaptions(window)) {
        EXPECT_FALSE(text.isEmpty()) << name;
        EXPECT_NE(text.toStdString(), "error") << name << " has no text in " << language;
        EXPECT_EQ(text.toStdString(), txt("Main_window", name + ".Caption")) << name;
    }
    EXPECT_EQ(window.windowTitle().toStdString(), TfGlowny::caption());
    EXPECT_EQ(window.layoutDirection() == Qt::RightToLeft, language == "SA");

    // The sample model dropped on the window, as a user opens it, shown once
    // loaded and rasterised.
    ASSERT_NO_FATAL_FAILURE(test::dropSampleModel(window));
    ASSERT_FALSE(modelTriangles.empty());
    const QImage view = window.findChild<TRAWview*>("RAWview1")->grabFramebuffer();
    int lit = 0;
    for (int y = 0; y < view.height(); y += 2)
        for (int x = 0; x < view.width(); x += 2)
            if (view.pixelColor(x, y).lightness() > 60) ++lit;
    EXPECT_GT(lit, 2000) << "the model view shows no model";
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;

    test::keepScreenshot(window, "main-window-" + language);
    // The dropped model left the project unsaved: closing asks for its name,
    // and the user cancels that.
    EXPECT_TRUE(test::closeCancellingTheName(window));
}

} // namespace

TEST(MainWindow, StartsInEnglishWithEveryCaption) {
    startsWithCaptionsFrom("US");
}
TEST(MainWindow, StartsInPolishWithEveryCaption) {
    startsWithCaptionsFrom("PL");
}
TEST(MainWindow, StartsRightToLeftInArabic) {
    startsWithCaptionsFrom("SA");
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Background threads' end handlers run on the Qt event loop, as in the program.
    QtMainLoop loop;
    setMainLoop(&loop);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
