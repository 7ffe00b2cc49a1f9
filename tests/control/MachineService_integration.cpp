// Machine care over a real start and the panel's service buttons, against the
// simulated machine on USB: the base check of a job started from the main
// window, passing and failing on a drift set through the control port; the
// inverter programmed from its parameter file; the reference switches probed;
// the tool measurement the machine asks for.
#include "ConsoleFixture.h"
#include "SimServer.h"

#include "app/DlugoscDlg.h"
#include "app/MachiningStart.h"
#include "control/BaseCheck.h"
#include "control/ToolMeasurement.h"
#include "foundation/Settings.h"
#include "generation/GenState.h"
#include "libraries/LibraryState.h"
#include "libraries/Operacje.h"
#include "libraries/Projekt.h"
#include "machine/Omron3g3jv.h"
#include "platform/Desktop.h"

#include <algorithm>
#include <map>

namespace korvane::test {
namespace {

using std::chrono::minutes;

class IgnoringStartView final : public StartView {
  public:
    ToolAnswer askToolChange(const std::string&, bool) override { return ToolAnswer::ignore; }
    bool waitForHead() override { return true; }
    bool chooseStartPoint() override { return true; }
};

class ServiceOnSim : public ConsoleOnSim {
  protected:
    void SetUp() override {
        ConsoleOnSim::SetUp();
        operation.narzedzie = "T1";
        operation.warstwaSzer = 0.5;
        operation.kat = 45;
        operation.zostawDoNastOper = 0.5;
        operationLibrary = std::make_unique<TOperacje>();
        operationLibrary->Lista.push_back(std::make_unique<TOperacjaDane>(operation));
        project = std::make_unique<TProjekt>();
        project->d.plikModelu = "relief.stl";
        project->d.material.rozmX = 100;
        project->d.material.rozmY = 100;
        project->d.material.rozmZ = 10;
        modelSize = {80, 80, 8};
        transferMargin = 1;
    }
    void TearDown() override {
        server.reset();
        ConsoleOnSim::TearDown();
    }
    // The machine with its control port; `fw` major and minor.
    void connect(int fwMajor = 5, int fwMinor = 9) {
        sim::SimConfig c;
        c.product = "XSE100";
        c.fwMajor = fwMajor;
        c.fwMinor = fwMinor;
        c.timeScale = 20;
        c.trace = dir / "trace.txt";
        machine = std::make_shared<sim::SimMachine>(c);
        server = std::make_unique<sim::SimServer>(machine, sim::SimPorts{0, 0, 0, true});
        usbLink = std::make_unique<TfUsb>(std::make_unique<TokenSimHid>(machine, &sent));
        identify();
        sent.clear();
    }
    std::filesystem::path checkFile() const {
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string().starts_with("CheckBase2")) return e.path();
        return {};
    }
    std::size_t count(const std::string& token) const {
        return static_cast<std::size_t>(std::count(sent.begin(), sent.end(), token));
    }

    std::unique_ptr<sim::SimServer> server;
    IgnoringStartView view;
    MachiningStart start{panel, view};
    std::vector<std::string> outputs{"Cut", "Other"};
};

TEST_F(ServiceOnSim, StartedJobIsCheckedAndEndsWithItsReportRow) {
    connect();
    baseCheck.setInterval(minutes(5));
    int selected = 0;
    ASSERT_TRUE(start.sbStartClick(outputs, selected, "Korvane3D"));
    // The job starts from a freshly homed machine.
    ASSERT_EQ(count("B"), 1u);
    EXPECT_LT(std::find(sent.begin(), sent.end(), "B"), std::find(sent.begin(), sent.end(), "C"));
    const auto file = checkFile();
    ASSERT_FALSE(file.empty());
    const std::string heading =
        "\xEF\xBB\xBF[Korvane3D, XSE100 ARM 5.9.0]\r\n\n\r  Komputer: " + computerName() +
        "\n\r\n\r  relief.stl\n\r  Cut\n\r  Vr=1000 Vp=3000 szer.= 0.5 kąt=45 "
        "poł.końce=True naddatek = 0.5 wygładzanie = False\n\r  \n\r"
        "  WspolczynnikSzybkosciNaLukach = ";
    EXPECT_EQ(readFile(file).substr(0, heading.size()), heading);

    // Along the second stroke of the first figure the interval has passed.
    ASSERT_TRUE(runUntil([&] { return machine->snapshot().position[1] > at(0, 12).y; }));
    panel.PeriodicBaseCheck(WallClock::now() + minutes(6));
    EXPECT_TRUE(jobRunning);
    EXPECT_FALSE(jobPaused);
    std::string text = readFile(file);
    EXPECT_NE(text.find("  baza=       0.000     0.000     0.000\r\n"), std::string::npos);
    EXPECT_EQ(text.find("PRZERWANY"), std::string::npos);
    const TMinMax probed = baseCheck.deviations();

    // A start refused while the job runs leaves its report alone.
    selected = -1;
    EXPECT_FALSE(start.sbStartClick(outputs, selected, "Korvane3D"));
    EXPECT_DOUBLE_EQ(baseCheck.deviations().maxX, probed.maxX);
    EXPECT_EQ(baseCheck.checkFile(), file);

    ASSERT_TRUE(runToEnd());
    // The probing between two points leaves the job's path whole.
    EXPECT_TRUE(visitsInOrder(jobMoves(), allPoints()));
    text = readFile(file);
    EXPECT_NE(text.find("----- Koniec obróbki "), std::string::npos);
    const std::string report = readFile(dir / globalReportName);
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2); // header and one row
    EXPECT_NE(report.find(";relief.stl;Ok;   0.000;   0.000;   0.000;   0.000;   0.000;   0.000;"
                          "ARM 5.9.0;Korvane3D;XSE100;"),
              std::string::npos);
}

TEST_F(ServiceOnSim, DriftBeyondOneMillimetreStopsTheStartedJob) {
    connect();
    baseCheck.setInterval(minutes(5));
    int selected = 0;
    ASSERT_TRUE(start.sbStartClick(outputs, selected, "Korvane3D"));
    ASSERT_TRUE(runUntil([&] { return machine->snapshot().position[1] > at(0, 12).y; }));
    // The machine's Y count has drifted by 1.2 mm.
    ASSERT_EQ(server->control("reference 0 -1.2 0"), "ok");
    panel.PeriodicBaseCheck(WallClock::now() + minutes(6));
    EXPECT_TRUE(jobPaused);
    EXPECT_FALSE(jobRunning);
    ReadStatus();
    EXPECT_FALSE(plotstate.state & stateJobRunning);
    const std::string text = readFile(checkFile());
    EXPECT_NE(text.find("  baza=       0.000    -1.200     0.000\r\n"
                        "---- TEST ZOSTAŁ PRZERWANY - pomyłka powyżej 1mm ----\r\n\r\n"
                        "odchyłka min X    0.000\r\nodchyłka max X    0.000\r\n"
                        "odchyłka min Y   -1.200\r\nodchyłka max Y   -1.200\r\n"),
              std::string::npos)
        << text;
    std::string report = readFile(dir / globalReportName);
    EXPECT_NE(report.find(";relief.stl;Pomyłka;   0.000;   0.000;  -1.200;  -1.200;"),
              std::string::npos);

    // Continued by hand, the job is no longer checked and its end adds no
    // second row: the test of this job ended with "Pomyłka".
    panel.kontynuuj();
    ASSERT_TRUE(jobRunning);
    panel.PeriodicBaseCheck(WallClock::now() + minutes(20));
    EXPECT_TRUE(jobRunning);
    ASSERT_TRUE(runToEnd());
    report = readFile(dir / globalReportName);
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2);
    EXPECT_EQ(readFile(checkFile()).find("Koniec"), std::string::npos);
}

TEST_F(ServiceOnSim, InverterProgrammedFromItsParameterFile) {
    connect();
    exeFolder = dir.path();
    const auto file = inverterParameterFile();
    EXPECT_EQ(file.filename(), "3g3jv.dat");

    // No file: said so, nothing sent.
    panel.SetOmronClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The file does not exist: " + file.string());
    EXPECT_EQ(ui.messages[0].caption, "Program the inverter");
    EXPECT_EQ(count("["), 0u);

    writeFile(file, "1 300 frequency reference\r\n200 200\r\n");
    panel.SetOmronClick();
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(count("["), 2u);
    // The machine read 1 = 300 and 200 = 200 from the raw little-endian words.
    EXPECT_EQ(machine->inverterParameters(), (std::map<int, int>{{1, 300}, {200, 200}}));

    // A line without two numbers: its message, nothing sent.
    writeFile(file, "5 6\nseven\n");
    panel.SetOmronClick();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "3g3jv.dat: line 2 does not hold two integers");
    EXPECT_TRUE(ui.messages[1].error);
    EXPECT_EQ(count("["), 2u);

    // Never while a job runs.
    writeFile(file, "5 6\n");
    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    ASSERT_TRUE(runUntil([&] { return machine->snapshot().status & stateJobRunning; }));
    panel.SetOmronClick();
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].text, "Stop the machine first: this needs the machine at rest.");
    EXPECT_EQ(count("["), 2u);
    ASSERT_TRUE(runToEnd());
}

TEST_F(ServiceOnSim, ReferenceSwitchesProbedFromTheServicePanel) {
    connect();
    ASSERT_EQ(server->control("reference 0.5 0 -0.3"), "ok");
    panel.BtnSprawdzBazeClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(ui.messages[0].error);
    EXPECT_EQ(ui.messages[0].caption, "Probe the reference switches (10 mm)");
    // X found at 0.5 mm, Y at 0, Z 0.3 mm below the top.
    EXPECT_EQ(ui.messages[0].text, "  baza=       0.500     0.000    -0.300");
    EXPECT_NEAR(plotstate.abspos.x, 50, 0.5);
    EXPECT_NEAR(plotstate.abspos.z, -30, 0.5);

    ASSERT_EQ(server->control("reference 0 0 0"), "ok");
    panel.BSprawdzBazeClick();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "  baza=       0.000     0.000     0.000");

    // A switch that stays pressed: the bounded probe gives up after 10 mm.
    ASSERT_EQ(server->control("reference -50 0 0"), "ok");
    panel.BtnSprawdzBazeClick();
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_TRUE(ui.messages[2].error);
    // Stopped at the first stride of 10 steps (1/30 mm) beyond 10 mm; the
    // unbounded probe at the first single step beyond the axis's travel.
    EXPECT_EQ(ui.messages[2].text,
              "A reference switch was not found.\n  baza=     -10.033     0.000     0.000");
    workArea.x = 1;
    panel.BSprawdzBazeClick();
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages[3].text,
              "A reference switch was not found.\n  baza=      -1.003     0.000     0.000");
}

TEST_F(ServiceOnSim, MachineAsksForTheToolMeasurement) {
    struct View final : ToolLengthView {
        void closeDialog(bool accepted) override { closed = accepted; }
        void focusTool() override {}
        void setBusyCursor(bool) override {}
        bool inputPending() override { return false; }
        bool closed = false;
    };
    for (const auto& [major, minor] : {std::pair{7, 17}, std::pair{5, 9}}) {
        connect(major, minor);
        settings.plytkaPomGrubosc = 5;
        project->d.material.gruboscPodkladki = 3;
        View view;
        TdlugoscForm dialog(view);
        dialog.FormActivate();
        dialog.rgPloterPlytkaPomPolozenie = plateOnSubstrate;
        dialog.TimerAutomatPomiarNarzTimer(); // nothing asked yet
        EXPECT_FALSE(dialog.narzedzieZmierzone);
        EXPECT_TRUE(dialog.timerEnabled);

        ASSERT_EQ(server->control("measure-request"), "ok");
        dialog.TimerAutomatPomiarNarzTimer();
        EXPECT_TRUE(dialog.narzedzieZmierzone);
        EXPECT_TRUE(view.closed);
        EXPECT_FALSE(dialog.timerEnabled);
        // "SU" acknowledges the request from firmware 7.17 on.
        const bool acknowledged = std::any_of(
            sent.begin(), sent.end(), [](const std::string& t) { return t.rfind("SU", 0) == 0; });
        EXPECT_EQ(acknowledged, major == 7) << major;
        // The plate's top 120 mm below the top, 5 mm plate on 3 mm substrate.
        const auto s = machine->snapshot();
        EXPECT_NEAR(s.origin[2], 12800 * 3, 1);
        EXPECT_FALSE(s.status & stateToolMeasurement);
        EXPECT_EQ(s.position[2], 0);
    }
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace korvane::test
