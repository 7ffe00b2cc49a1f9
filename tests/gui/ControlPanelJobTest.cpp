// The machine console in the window during a job, against the simulator
// program on the network: the output selected in the list and started with
// F2 (the tool question answered Ignore), paused with the panel's STOP,
// continued with Shift+F2, stopped with the window's Space key and continued
// with the machine's own button, run to its end with every point of the output
// machined in order. Screenshots of the panel idle and during the job in US
// and SA; the heartbeats per second and the longest time a machine wait kept
// the window from its events are printed.
#include "../machine/MachineTestSupport.h"
#include "ControlPanelWindow.h"
#include "MachineTrace.h"
#include "MainWindow.h"

#include "Screenshots.h"
#include "SimulatorProgram.h"
#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "libraries/Operacje.h"
#include "libraries/Projekt.h"
#include "machine/Ethernet.h"
#include "machine/TransmitArm.h"
#include "output/DaneWyjsciowe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>

using namespace korvane;

namespace {

constexpr int deadlineMs = 60000;

// korvane3d-sim on free ports: the XSE100 (300 steps per mm, the work origin
// at 50, 50 mm, the table 100 mm below the top) in real time.
std::unique_ptr<test::SimulatorProgram> simulator(const std::filesystem::path& trace) {
    return std::make_unique<test::SimulatorProgram>(
        std::vector<std::string>{"--product", "XSE100", "--trace", trace.string()});
}

// The machine's Y in steps, from its status.
long long machineY(test::SimulatorProgram& sim) {
    std::smatch m;
    const std::string status = sim.ask("status");
    if (!std::regex_search(status, m, std::regex("position -?\\d+ (-?\\d+)"))) return -1;
    return std::stoll(m[1]);
}

struct StepPoint {
    long long x, y;
};

// A point of the output in steps: 300 per mm from the origin at 50 mm.
StepPoint at(double x, double y) {
    return {std::llround((x + 50) * 300), std::llround((y + 50) * 300)};
}

std::unique_ptr<tFigura> figure(std::vector<std::pair<float, float>> xy) {
    auto f = std::make_unique<tFigura>();
    for (auto [x, y] : xy) f->poz.push_back({x, y, -1});
    f->przestawczyZ = 2;
    return f;
}

class ControlPanelJob : public ::testing::Test {
  protected:
    void start(const std::string& language) {
        test::resetState(ui, {"95", language, "dataDir=" + (dir / language).string()});
        test::resetMachine();
        sim = simulator(trace());
        window = std::make_unique<MainWindow>(false);
        ASSERT_TRUE(window->start());
        const auto shown = showStatusText;
        showStatusText = [this, shown](const std::string& text) {
            statusText = text;
            shown(text);
        };

        // The operation and its output: two hatching figures.
        FigureList figures;
        figures.push_back(figure({{10, 10}, {30, 10}, {30, 14}, {10, 14}, {10, 18}, {30, 18}}));
        figures.push_back(figure({{40, 40}, {60, 40}, {60, 44}, {40, 44}, {40, 48}}));
        ASSERT_TRUE(
            writeOutputFile(dataFolder / outputFolderName / "Cut.out", opHatching, figures));
        TOperacjaDane operation;
        operation.nazwa = "Cut";
        operation.idTyp = opHatching;
        operation.narzedzie = "T1";
        operation.szybkosc = 1000;
        operation.szybkoscPrzestawcza = 3000;
        operation.posuwWiercenia = 300;
        operation.obroty = 18000;
        operationLibrary->Lista.push_back(std::make_unique<TOperacjaDane>(operation));
        project->d.material.rozmZ = 10; // the safe height 11 mm over the table
        window->logic().refillOutputList();

        // No machine on USB; the simulator on the network.
        test::networkMachineLinks(sim->ports);
        ethernetLink->wakeWatchdog();
        ASSERT_TRUE(QTest::qWaitFor([] { return ethernetActive; }, deadlineMs));

        window->show();
        activate(window.get());
        QTest::keyClick(window.get(), Qt::Key_F5);
        panel = window->controlPanel();
        ASSERT_TRUE(panel && panel->isVisible());
        activate(panel);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !shownValue("wmz").isEmpty(); }, deadlineMs));
    }
    void TearDown() override {
        if (window && window->controlPanel()) window->controlPanel()->stopHeartbeat();
        window.reset();
        test::resetMachine();
        sim.reset();
    }

    std::filesystem::path trace() const { return dir / "trace.txt"; }
    static void activate(QWidget* w) {
        QApplication::setActiveWindow(w);
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    QString shownValue(const char* name) const {
        return panel->findChild<QLabel*>(name)->text().trimmed();
    }
    void keep(const std::string& name) { test::keepScreenshot(*panel, name); }
    // The job's moves in the trace, in steps.
    std::vector<test::TracePoint> jobMoves() {
        EXPECT_EQ(sim->ask("flush"), "ok");
        return test::readJobMoves(trace());
    }

    // Runs a whole job through the window; `language` names the screenshots.
    void runJob(const std::string& language) {
        start(language);
        EXPECT_NE(panel->windowTitle().toStdString().find("[Ethernet]"), std::string::npos);
        EXPECT_EQ(panel->layoutDirection() == Qt::RightToLeft, language == "SA");
        keep("control-panel-idle-" + language);

        // The output clicked in the list, F2 in the main window; the tool
        // question comes up modal and is answered Ignore.
        auto* outputs = window->findChild<QListWidget*>("lbPlikiWy");
        ASSERT_EQ(outputs->count(), 1);
        activate(window.get());
        QTest::mouseClick(outputs->viewport(), Qt::LeftButton, {},
                          outputs->visualItemRect(outputs->item(0)).center());
        ASSERT_EQ(window->logic().selectedOutput(), 0);
        // Space is STOP, except in the operation list, where it checks the
        // operation (and stops nothing).
        auto* operations = window->findChild<QListWidget*>("clbOperacje");
        ASSERT_GT(operations->count(), 0);
        operations->setFocus();
        operations->setCurrentRow(0);
        const Qt::CheckState checked = operations->item(0)->checkState();
        QTest::keyClick(operations, Qt::Key_Space);
        EXPECT_NE(operations->item(0)->checkState(), checked);
        EXPECT_FALSE(stopRequest);
        QTest::keyClick(operations, Qt::Key_Space);
        EXPECT_EQ(operations->item(0)->checkState(), checked);
        outputs->setFocus();
        QTest::keyClick(outputs, Qt::Key_Space); // idle: consumed by the next heartbeat
        EXPECT_TRUE(stopRequest);
        ASSERT_TRUE(QTest::qWaitFor([] { return !stopRequest; }, deadlineMs));
        EXPECT_FALSE(jobPaused);
        std::string question;
        bool yesOffered = true;
        QTimer answer;
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            question = box->text().toStdString();
            yesOffered = box->button(QMessageBox::Yes) != nullptr;
            box->button(QMessageBox::Ignore)->click();
        });
        answer.start();
        QElapsedTimer clock;
        clock.start();
        const long beatsBefore = panel->heartbeats();
        panel->clearLongestStall(); // the job's stalls, not the windows' first drawing
        QTest::keyClick(window.get(), Qt::Key_F2);
        answer.stop();
        EXPECT_EQ(question.rfind(txt("Main_window", "wymienNarzedzie"), 0), 0u) << question;
        EXPECT_FALSE(yesOffered) << question; // no tool length dialog installed here
        ASSERT_TRUE(transArm.isOpen());

        // The panel shows the job as it runs; STOP pauses it over the point
        // where it stopped, at the safe height.
        activate(panel);
        ASSERT_TRUE(QTest::qWaitFor([&] { return jobRunning && shownValue("wpy").toDouble() > 12; },
                                    deadlineMs));
        keep("control-panel-during-job-" + language);
        EXPECT_FALSE(panel->findChild<QPushButton*>("kr")->isEnabled()); // no jogs now
        QTest::mouseClick(panel->findChild<QPushButton*>("kstop"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([] { return jobPaused; }, deadlineMs));
        EXPECT_FALSE(jobRunning);
        EXPECT_EQ(statusText, txt("Control_panel", "obrobkaNaMaszynieWstrzymana"));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return std::fabs(shownValue("wpz").toDouble() - 11) < 0.005; }, deadlineMs));
        EXPECT_NEAR(shownValue("wpy").toDouble() * 100, panel->panel().breakpoint().y, 1);

        // Shift+F2 continues; STOP of the machine menu pauses again.
        activate(window.get());
        QTest::keyClick(window.get(), Qt::Key_F2, Qt::ShiftModifier);
        EXPECT_TRUE(jobRunning);
        EXPECT_FALSE(jobPaused);
        EXPECT_EQ(statusText, txt("Control_panel", "obrobkaNaMaszynieWtoku"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return machineY(*sim) > at(0, 16).y; }, deadlineMs));
        outputs->setFocus();
        QTest::keyClick(outputs, Qt::Key_Space);
        ASSERT_TRUE(QTest::qWaitFor([] { return jobPaused; }, deadlineMs));

        // The machine's continue button goes through the window's continue.
        EXPECT_EQ(sim->ask("continue"), "ok");
        ASSERT_TRUE(QTest::qWaitFor([] { return jobRunning; }, deadlineMs));
        ASSERT_TRUE(
            QTest::qWaitFor([] { return !jobRunning && !transArm.isOpen(); }, deadlineMs * 2));
        EXPECT_FALSE(jobPaused);
        EXPECT_EQ(statusText, txt("Control_panel", "obrobkaNaMaszynieZakonczona"));
        const double seconds = static_cast<double>(clock.elapsed()) / 1000;
        const long beats = panel->heartbeats() - beatsBefore;

        // Every point of the output, in the order of the file.
        const auto moves = jobMoves();
        std::size_t from = 0;
        for (const StepPoint& p :
             {at(10, 10), at(30, 10), at(30, 14), at(10, 14), at(10, 18), at(30, 18), at(40, 40),
              at(60, 40), at(60, 44), at(40, 44), at(40, 48)}) {
            while (from < moves.size() && (moves[from].x != p.x || moves[from].y != p.y)) ++from;
            ASSERT_LT(from, moves.size()) << "(" << p.x << ", " << p.y << ") not reached in order";
        }
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;

        std::printf("[ figures  ] %s: %ld heartbeats in %.1f s of the job, %.1f per second; the "
                    "window was kept from its events at most %lld ms\n",
                    language.c_str(), beats, seconds, beats / seconds,
                    static_cast<long long>(panel->longestStall()));
        RecordProperty("heartbeatsPerSecond_" + language, std::to_string(beats / seconds));
        RecordProperty("longestStallMs_" + language, std::to_string(panel->longestStall()));
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
    std::unique_ptr<test::SimulatorProgram> sim;
    std::unique_ptr<MainWindow> window;
    ControlPanelWindow* panel = nullptr;
    std::string statusText;
};

TEST_F(ControlPanelJob, StartPauseContinueStopAndEndInEnglish) {
    runJob("US");
}

TEST_F(ControlPanelJob, StartPauseContinueStopAndEndRightToLeft) {
    runJob("SA");
}

} // namespace
