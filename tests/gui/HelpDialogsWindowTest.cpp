// The help menu's memory information and about dialogs as windows: opened
// from the main window's menu, their figures and texts, the refresh button,
// the dealer panel of the Taiwanese interface; US and SA screenshots.
#include "AboutDialog.h"
#include "DialogTestSupport.h"
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "MemoryInfoDialog.h"
#include "Screenshots.h"
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

using test::child;
using test::keepShown;

class HelpDialogsGui : public ::testing::Test {
  protected:
    void start(const std::string& language) {
        test::resetState(ui, {language});
        test::loadTexts(language);
        texts->arabski = language == "SA";
    }
    test::RecordingUserInterface ui;
};

} // namespace

TEST_F(HelpDialogsGui, MemoryInformationShowsSizesAndRefreshes) {
    const QRegularExpression size("^[0-9]+(b|KB|MB)$");
    for (const char* language : {"US", "SA"}) {
        start(language);
        MemoryInfoDialog dialog;
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(dialog.layoutDirection() == Qt::RightToLeft, std::string(language) == "SA");
        EXPECT_EQ(dialog.windowTitle().toStdString(), txt("MemoryInfo", "Caption"));
        auto* physical = child<QLabel>(dialog, "lCalkowita0");
        EXPECT_TRUE(size.match(physical->text()).hasMatch()) << physical->text().toStdString();
        EXPECT_TRUE(physical->text().endsWith("MB")); // a machine has megabytes at least
        for (int row = 0; row < 3; ++row)
            EXPECT_TRUE(size.match(child<QLabel>(
                                       dialog, QString("lDostepna%1").arg(row).toUtf8().constData())
                                       ->text())
                            .hasMatch());
        for (int row = 0; row < 9; ++row)
            EXPECT_TRUE(
                size.match(child<QLabel>(dialog, QString("lSterta%1").arg(row).toUtf8().constData())
                               ->text())
                    .hasMatch());
        // Refresh reads the heap again: a block of 8 MiB held now is counted
        // as allocated.
        auto* allocated = child<QLabel>(dialog, "lSterta3");
        allocated->clear();
        std::vector<char> block(8 << 20, 1);
        QTest::mouseClick(child<QPushButton>(dialog, "btnOdswiez"), Qt::LeftButton);
        ASSERT_TRUE(allocated->text().endsWith("MB")) << allocated->text().toStdString();
        EXPECT_GE(allocated->text().chopped(2).toInt(), 8);
        EXPECT_EQ(block[4096], 1);
        keepShown(dialog, std::string("memory-info-") + language);
        dialog.accept();
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HelpDialogsGui, AboutWithTheDealerPanelForCountry886) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        AboutDialog dialog(1);
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(dialog.layoutDirection() == Qt::RightToLeft, std::string(language) == "SA");
        EXPECT_EQ(dialog.findChild<QGroupBox*>("pDealer"), nullptr);
        EXPECT_TRUE(child<QLabel>(dialog, "lEmail")
                        ->text()
                        .contains("href=\"mailTo:support@vardimon.example\""));
        EXPECT_TRUE(child<QLabel>(dialog, "lWWW")->text().contains("vardimon.example"));
        keepShown(dialog, std::string("about-") + language);
        const int height = dialog.sizeHint().height();

        AboutDialog dealer(886);
        dealer.show();
        QApplication::processEvents();
        auto* panel = child<QGroupBox>(dealer, "pDealer");
        ASSERT_NE(panel, nullptr);
        EXPECT_TRUE(panel->isVisible());
        EXPECT_EQ(panel->title().toStdString(), txt("About", "lDealer.Caption"));
        EXPECT_GT(dealer.sizeHint().height(), height);
        keepShown(dealer, std::string("about-dealer-") + language);
    }
}

TEST_F(HelpDialogsGui, MainWindowMenuOpensMemoryInformationAndAbout) {
    test::TempDir data;
    test::StartedMainWindow started(ui, data.path());
    ASSERT_TRUE(started.started());
    MainWindow& window = started.window();
    started.activate();

    auto* memory = child<QAction>(window, "mPamiecInfo");
    ASSERT_NE(memory, nullptr);
    EXPECT_TRUE(memory->isEnabled());
    EXPECT_EQ(memory->shortcut(), QKeySequence("Ctrl+M"));
    QString opened;
    auto closeModal = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        opened = modal->objectName();
        qobject_cast<QDialog*>(modal)->accept();
    };
    QTimer::singleShot(0, closeModal);
    memory->trigger();
    EXPECT_EQ(opened, "fPamiecInfo");

    QTimer::singleShot(0, closeModal);
    child<QAction>(window, "mOprogramie")->trigger();
    EXPECT_EQ(opened, "fOprogramie");
    window.close();
}
