// The machine console as an operator meets it, against the simulator program
// on the network. The program starts as from the command line (the language,
// the Ethernet switch, the simulator's ports, a data folder and a project of a
// small block); the machine's address and the Ethernet box are set in the
// configuration dialog (in English the program is then closed and started
// again without the switch, and connects from its settings alone); F5 shows the machine's live
// position and a held arrow key jogs it; F4 builds the project's surfacing, the output is clicked
// in the list and F2 starts it (the tool question answered Ignore); the panel's STOP pauses,
// Shift+F2 continues, the window's Space pauses, the machine's own button continues, and the job
// runs to its end with every point of the output machined in order. Any other message box fails the
// test. Screenshots of the connected panel and of the panel during the job in US and SA; the
// heartbeats per second and the longest time a machine wait kept the window from its events are
// printed.
#include "ControlPanelWindow.h"
#include "DialogTestSupport.h"
#include "MachineTrace.h"
#include "MainWindowSupport.h"
#include "Program.h"
#include "Screenshots.h"
#include "SimulatorProgram.h"
#include "StateReset.h"

#include "foundation/Interfejs.h"
#include "machine/MachineState.h"
#include "machine/TransmitArm.h"
#include "output/DaneWyjsciowe.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
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

// The machine's position in steps, from its status.
std::array<long long, 3> machinePosition(test::SimulatorProgram& sim) {
    std::smatch m;
    const std::string status = sim.ask("status");
    if (!std::regex_search(status, m, std::regex("position (-?\\d+) (-?\\d+) (-?\\d+)")))
        return {-1, -1, -1};
    return {std::stoll(m[1]), std::stoll(m[2]), std::stoll(m[3])};
}

// A point of the output in steps: 300 per mm from the origin at 50 mm.
std::array<long long, 2> steps(double x, double y) {
    return {std::llround((x + 50) * 300), std::llround((y + 50) * 300)};
}

// A text STL of a block 20 x 12 x 4 mm on the origin: two triangles a face.
void writeBlock(const std::filesystem::path& file) {
    const double x = 20, y = 12, z = 4;
    const double c[8][3] = {{0, 0, 0}, {x, 0, 0}, {x, y, 0}, {0, y, 0},
                            {0, 0, z}, {x, 0, z}, {x, y, z}, {0, y, z}};
    const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                             {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    std::ofstream out(file);
    out << "solid block\n";
    for (const auto& f : faces)
        for (const auto& t : {std::array{f[0], f[1], f[2]}, std::array{f[0], f[2], f[3]}}) {
            out << " facet normal 0 0 0\n  outer loop\n";
            for (int v : t)
                out << "   vertex " << c[v][0] << " " << c[v][1] << " " << c[v][2] << "\n";
            out << "  endloop\n endfacet\n";
        }
    out << "endsolid block\n";
}

class ControlPanelJob : public ::testing::Test {
  protected:
    // Starts the program with the simulator's ports; the Ethernet switch
    // shows the address fields of the configuration dialog.
    void start(const std::string& language, bool ethernetSwitch) {
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        if (!sim) sim = simulator(trace());
        const auto data = dir / ("data" + language);
        writeBlock(dir / "Block.stl");
        project = dir / "Block.prj";
        std::ofstream(project) << "[Model]\nplikModelu=" << (dir / "Block.stl").string()
                               << "\n\n[Material]\nmaterialZrodlo=0\nmaterialRozmiarX=20\n"
                                  "materialRozmiarY=12\nmaterialRozmiarZ=6\n"
                                  "materialGruboscPodkladki=0\n\n[Proces]\nproces0=Surfacing\n";
        const std::string ports = "machinePorts='" + std::to_string(sim->ports.command) + "," +
                                  std::to_string(sim->ports.info) + "'";
        std::vector<std::string> words{language, ports, "dataDir='" + data.string() + "'",
                                       project.string()};
        if (ethernetSwitch) words.push_back("Ethernet");
        program = std::make_unique<Program>(words);
        boxes.start();
        ASSERT_TRUE(program->start());
        window = &program->window();
        ASSERT_TRUE(test::modelReady(*window));
    }
    void TearDown() override {
        boxes.stop();
        program.reset();
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
    QString status() const { return window->findChild<QLabel*>("sbPanel0")->text(); }
    void keep(const std::string& name) { test::keepScreenshot(*panel, name); }
    std::vector<test::TracePoint> jobMoves() {
        EXPECT_EQ(sim->ask("flush"), "ok");
        return test::readJobMoves(trace());
    }

    // The configuration dialog as the operator fills it: the machine page,
    // the address 127.0.0.1, the Ethernet box, Enter.
    void chooseNetworkMachine() {
        bool filled = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            auto* pages = test::child<QTabWidget>(*dialog, "pcKonfig");
            auto* address = test::child<QWidget>(*dialog, "gbAdresIP");
            int page = 0;
            while (page < pages->count() && !pages->widget(page)->isAncestorOf(address)) ++page;
            ASSERT_LT(page, pages->count());
            QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {},
                              pages->tabBar()->tabRect(page).center());
            ASSERT_TRUE(address->isVisible());
            const char* octets[] = {"127", "0", "0", "1"};
            for (int i = 0; i < 4; ++i)
                test::typeInto(test::child<QWidget>(*dialog, ("eIP" + std::to_string(i)).c_str()),
                               octets[i]);
            auto* ethernet = test::child<QCheckBox>(*dialog, "cbEthernet");
            if (!ethernet->isChecked()) test::press(ethernet);
            QTest::keyClick(dialog, Qt::Key_Return);
            filled = true;
        });
        window->findChild<QAction*>("mKonfig")->trigger();
        ASSERT_TRUE(filled);
    }

    // Runs a whole job through the window; `language` names the screenshots.
    // With `restart` the program is closed once the machine was chosen and
    // started again, without the Ethernet switch: the settings alone connect.
    void runJob(const std::string& language, bool restart) {
        ASSERT_NO_FATAL_FAILURE(start(language, true));
        activate(window);
        ASSERT_NO_FATAL_FAILURE(chooseNetworkMachine());
        const QString connected = QString::fromStdString(txt("Control_panel", "ethernetPolaczony"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return status() == connected; }, deadlineMs))
            << status().toStdString();
        if (restart) {
            ASSERT_TRUE(window->close());
            program.reset();
            test::resetProcessState(); // a new process
            ASSERT_NO_FATAL_FAILURE(start(language, false));
            activate(window);
        }

        // F5: the panel names the link and shows where the machine stands.
        QTest::keyClick(window, Qt::Key_F5);
        panel = window->controlPanel();
        ASSERT_TRUE(panel && panel->isVisible());
        activate(panel);
        EXPECT_EQ(panel->layoutDirection() == Qt::RightToLeft, language == "SA");
        const auto at = machinePosition(*sim);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return panel->windowTitle().contains("[Ethernet]") &&
                       !shownValue("wmx").isEmpty() &&
                       std::fabs(shownValue("wmx").toDouble() - at[0] / 300.0) < 0.005;
            },
            deadlineMs))
            << panel->windowTitle().toStdString() << " " << shownValue("wmx").toStdString();
        keep("control-panel-connected-" + language);

        // A held arrow key jogs the machine to the right; the panel follows.
        QTest::keyPress(panel, Qt::Key_Right);
        QTest::qWait(400);
        QTest::keyRelease(panel, Qt::Key_Right);
        ASSERT_TRUE(QTest::qWaitFor([&] { return machinePosition(*sim)[0] > at[0]; }, deadlineMs));
        QTest::qWait(300); // the stop after the release settles
        const auto jogged = machinePosition(*sim);
        EXPECT_EQ(jogged[1], at[1]);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return std::fabs(shownValue("wmx").toDouble() - machinePosition(*sim)[0] / 300.0) <
                       0.005;
            },
            deadlineMs));
        keep("control-panel-jogged-" + language);

        // F4 builds the project's surfacing.
        activate(window);
        QTest::keyClick(window, Qt::Key_F4);
        auto* outputs = window->findChild<QListWidget*>("lbPlikiWy");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !window->logic().genProcWtoku() && outputs->count() == 1; }, deadlineMs));
        tWy built;
        built.wczytajPlikWyjsciowy("Surfacing", -1);
        ASSERT_FALSE(built.ListaFigur.empty());

        // The output clicked in the list, F2; the tool question comes up
        // modal and is answered Ignore.
        QTest::mouseClick(outputs->viewport(), Qt::LeftButton, {},
                          outputs->visualItemRect(outputs->item(0)).center());
        ASSERT_EQ(window->logic().selectedOutput(), 0);
        std::string question;
        bool yesOffered = true;
        answerToolQuestion = [&](QMessageBox& box) {
            question = box.text().toStdString();
            yesOffered = box.button(QMessageBox::Yes) != nullptr;
            box.button(QMessageBox::Ignore)->click();
        };
        QElapsedTimer clock;
        clock.start();
        const long beatsBefore = panel->heartbeats();
        panel->clearLongestStall(); // the job's stalls, not the windows' first drawing
        QTest::keyClick(window, Qt::Key_F2);
        EXPECT_EQ(question.rfind(txt("Main_window", "wymienNarzedzie"), 0), 0u) << question;
        EXPECT_TRUE(yesOffered) << question; // the program measures the tool when asked
        ASSERT_TRUE(transArm.isOpen());

        // The panel shows the job as it runs; STOP pauses it where it stopped,
        // lifted to the safe height.
        activate(panel);
        const QString statusPaused =
            QString::fromStdString(txt("Control_panel", "obrobkaNaMaszynieWstrzymana"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return jobMoves().size() >= 3; }, deadlineMs));
        keep("control-panel-during-job-" + language);
        EXPECT_FALSE(panel->findChild<QPushButton*>("kr")->isEnabled()); // no jogs now
        QTest::mouseClick(panel->findChild<QPushButton*>("kstop"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([] { return jobPaused; }, deadlineMs));
        EXPECT_FALSE(jobRunning);
        EXPECT_EQ(status(), statusPaused);
        ASSERT_TRUE(QTest::qWaitFor([&] { return shownValue("wpz").toDouble() >= 6; }, deadlineMs));

        // Shift+F2 continues; Space in the output list pauses again.
        activate(window);
        QTest::keyClick(window, Qt::Key_F2, Qt::ShiftModifier);
        EXPECT_TRUE(jobRunning);
        EXPECT_FALSE(jobPaused);
        const std::size_t movesBefore = jobMoves().size();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return jobMoves().size() > movesBefore + 1; }, deadlineMs));
        outputs->setFocus();
        QTest::keyClick(outputs, Qt::Key_Space);
        ASSERT_TRUE(QTest::qWaitFor([] { return jobPaused; }, deadlineMs));

        // The machine's continue button goes through the window's continue.
        EXPECT_EQ(sim->ask("continue"), "ok");
        ASSERT_TRUE(QTest::qWaitFor([] { return jobRunning; }, deadlineMs));
        ASSERT_TRUE(
            QTest::qWaitFor([] { return !jobRunning && !transArm.isOpen(); }, deadlineMs * 2));
        EXPECT_FALSE(jobPaused);
        EXPECT_EQ(status().toStdString(), txt("Control_panel", "obrobkaNaMaszynieZakonczona"));
        const double seconds = static_cast<double>(clock.elapsed()) / 1000;
        const long beats = panel->heartbeats() - beatsBefore;

        // Every point of the output, in the order of the file (a step of
        // rounding either way).
        const auto moves = jobMoves();
        std::size_t from = 0, points = 0;
        for (const auto& figure : built.ListaFigur)
            for (const auto& p : figure->poz) {
                const auto s = steps(p.x, p.y);
                while (from < moves.size() && (std::llabs(moves[from].x - s[0]) > 1 ||
                                               std::llabs(moves[from].y - s[1]) > 1))
                    ++from;
                ASSERT_LT(from, moves.size())
                    << "(" << p.x << ", " << p.y << ") not reached in order";
                ++points;
            }
        EXPECT_GT(points, 4u);
        EXPECT_TRUE(unexpectedBoxes.empty()) << unexpectedBoxes.front();

        std::printf("[ figures  ] %s: %zu points; %ld heartbeats in %.1f s of the job, %.1f per "
                    "second; the window was kept from its events at most %lld ms\n",
                    language.c_str(), points, beats, seconds, beats / seconds,
                    static_cast<long long>(panel->longestStall()));
        RecordProperty("heartbeatsPerSecond_" + language, std::to_string(beats / seconds));
        RecordProperty("longestStallMs_" + language, std::to_string(panel->longestStall()));
    }

    test::TempDir dir;
    test::TempDir runtime;
    std::filesystem::path project;
    std::unique_ptr<test::SimulatorProgram> sim;
    std::unique_ptr<Program> program;
    MainWindow* window = nullptr;
    ControlPanelWindow* panel = nullptr;
    // Message boxes: the tool question goes to its answer while one is set;
    // any other box is noted and closed, failing the test.
    std::function<void(QMessageBox&)> answerToolQuestion;
    std::vector<std::string> unexpectedBoxes;
    QTimer boxes;

    ControlPanelJob() {
        boxes.setInterval(10);
        QObject::connect(&boxes, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            if (answerToolQuestion) {
                const auto answer = std::exchange(answerToolQuestion, nullptr);
                answer(*box);
                return;
            }
            unexpectedBoxes.push_back(box->text().toStdString());
            box->done(QMessageBox::Cancel);
        });
    }
};

TEST_F(ControlPanelJob, ConnectsFromTheSettingsAtStartJogsAndRunsAJobInEnglish) {
    runJob("US", true);
}

TEST_F(ControlPanelJob, ReachesTheNetworkMachineJogsAndRunsAJobRightToLeft) {
    runJob("SA", false);
}

} // namespace
