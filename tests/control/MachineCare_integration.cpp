#include "../machine/MachineTestSupport.h"
#include "SimHidBackend.h"
#include "SimMachine.h"
#include "SimServer.h"

#include "app/DlugoscDlg.h"
#include "control/BaseCheck.h"
#include "control/MachineCalibration.h"
#include "control/TestMoves.h"
#include "control/ToolMeasurement.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"
#include "machine/Encoding.h"
#include "machine/MoveEncoding.h"
#include "machine/Ploter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

namespace korvane::test {
namespace {

using sim::SimConfig;
using sim::SimHidBackend;
using sim::SimMachine;

class MachineCareOnSim : public ::testing::Test {
  protected:
    void start(SimConfig config = {}) {
        config.timeScale = 50;
        machine = std::make_shared<SimMachine>(config);
        usbLink = std::make_unique<TfUsb>(std::make_unique<SimHidBackend>(machine));
        ReadMachineInfo();
        IdentifyMachine();
        ReadStatus();
        ReadPositions();
    }
    void SetUp() override {
        resetState(ui);
        loadTexts();
        resetMachine();
        dataFolder = dir.path();
        project = std::make_unique<TProjekt>();
    }
    void TearDown() override { resetMachine(); }

    long long stepsOfZ(double units) const { return std::llround(units * machineParams.stepsZ); }

    RecordingUserInterface ui;
    TempDir dir;
    std::shared_ptr<SimMachine> machine;
};

struct LengthView final : ToolLengthView {
    void closeDialog(bool accepted) override { closed = accepted ? 1 : 0; }
    void focusTool() override {}
    void setBusyCursor(bool) override {}
    bool inputPending() override { return false; }
    int closed = -1;
};

TEST_F(MachineCareOnSim, AutomaticMeasurementSetsTheOriginFromThePlate) {
    SimConfig c;
    c.plateTop = -120; // the tool touches the plate 120 mm below the top
    start(c);
    settings.plytkaPomGrubosc = 5;
    project->d.material.gruboscPodkladki = 3;
    project->d.material.rozmZ = 20;
    LengthView view;
    TdlugoscForm d(view);
    d.FormActivate();
    d.rgPloterPlytkaPomPolozenie = plateOnSubstrate;
    d.pomiarClick();
    EXPECT_TRUE(d.narzedzieZmierzone);
    EXPECT_EQ(view.closed, 1);
    EXPECT_TRUE(ui.messages.empty());
    const auto s = machine->snapshot();
    // 5 + 3 mm over the plate's 120 mm: the table 128 mm below the top.
    EXPECT_NEAR(s.origin[2], stepsOfZ(12800), 1);
    EXPECT_EQ(s.position[2], 0); // back at the top
    EXPECT_FLOAT_EQ(plotstate.pos0.z, 12800);

    // The plate on the material: 5 + 3 + 20 mm.
    d.FormActivate();
    EXPECT_NEAR(d.tool.GetValue(), 128, 0.001); // read back from the machine's steps
    d.rgPloterPlytkaPomPolozenie = plateOnMaterial;
    d.pomiarClick();
    EXPECT_NEAR(machine->snapshot().origin[2], stepsOfZ(14800), 1);
}

TEST_F(MachineCareOnSim, SemiAutomaticAndManualOrigins) {
    start();
    project->d.material.gruboscPodkladki = 3;
    project->d.material.rozmZ = 20;
    ASSERT_TRUE(SendMove(0, 0, -stepsOfZ(10000))); // 100 mm down
    WaitIdle();
    LengthView view;
    TdlugoscForm d(view);
    d.FormActivate();
    d.powierzchnia_materialuClick();
    EXPECT_TRUE(d.narzedzieZmierzone);
    EXPECT_NEAR(machine->snapshot().origin[2], stepsOfZ(12300), 1);
    d.powierzchnia_stoluClick();
    EXPECT_NEAR(machine->snapshot().origin[2], stepsOfZ(10000), 1);
    d.tool.setText("87.5");
    EXPECT_TRUE(d.OKClick());
    EXPECT_NEAR(machine->snapshot().origin[2], stepsOfZ(8750), 1);
}

TEST_F(MachineCareOnSim, BusyMachineIsNotMeasured) {
    start();
    machine->setFaults([](sim::SimFaults& f) { f.busyForever = true; });
    LengthView view;
    TdlugoscForm d(view);
    d.pomiarClick();
    EXPECT_FALSE(d.narzedzieZmierzone);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Tool_lenght_dialog", "przedPomiaremZatrzymajPloter"));
}

TEST_F(MachineCareOnSim, MovesByNumbersStopAtTheTravel) {
    start();
    plotstate.pos0 = {10000, 5000, 12000};
    SetWorkOriginXY();
    SetWorkOriginZ();
    ASSERT_TRUE(moveByNumbers(machineCoordinates, {20, 30, 200}, false));
    WaitIdle();
    auto s = machine->snapshot();
    EXPECT_NEAR(s.position[0], 2000 * machineParams.stepsX, 1);
    EXPECT_NEAR(s.position[1], 3000 * machineParams.stepsY, 1);
    EXPECT_EQ(s.position[2], 0); // Z above the top: up to the top only
    // -50 mm relative at X = 20 mm moves 20 mm; Z 200 mm down stops on the table.
    ASSERT_TRUE(moveByNumbers(relativeMove, {-50, 0, -200}, false));
    WaitIdle();
    s = machine->snapshot();
    EXPECT_EQ(s.position[0], 0);
    EXPECT_NEAR(s.position[2], -stepsOfZ(12000), 1);
    // Project coordinates without the Z axis.
    ASSERT_TRUE(moveByNumbers(projectCoordinates, {10, 10, 50}, true));
    WaitIdle();
    s = machine->snapshot();
    EXPECT_NEAR(s.position[0], 11000 * machineParams.stepsX, 1);
    EXPECT_NEAR(s.position[1], 6000 * machineParams.stepsY, 1);
    EXPECT_NEAR(s.position[2], -stepsOfZ(12000), 1);
}

TEST_F(MachineCareOnSim, CalibrationStoredAndReadBack) {
    SimConfig c;
    c.product = "GMX-0100";
    c.fwMajor = 9;
    c.fwMinor = 12;
    c.fwBuild = 80;
    start(c);
    ASSERT_TRUE(extendedStatus);
    ASSERT_TRUE(storeCalibration(0.999, 1.5, 1.02));
    EXPECT_FLOAT_EQ(calX, 0.999f);
    EXPECT_FLOAT_EQ(calY, 1.4f); // within the limits
    EXPECT_FLOAT_EQ(calZ, 1.02f);
    const HidBlock block = machine->indexed(18);
    float x = 0;
    std::memcpy(&x, block.data() + 2, 4);
    EXPECT_FLOAT_EQ(x, 0.999f);
}

TEST_F(MachineCareOnSim, ClassicMachineKeepsItsCalibrationInTheFile) {
    start();
    exeFolder = dir.path();
    ASSERT_FALSE(extendedStatus);
    ASSERT_TRUE(storeCalibration(0.999, 0.5, 1));
    EXPECT_EQ(readFile(dir / "kalibracja.txt"), "0.999\r\n0.6\r\n1\r\n");
    EXPECT_FLOAT_EQ(calX, 0.999f);
    EXPECT_FLOAT_EQ(calY, 0.6f);
    EXPECT_DOUBLE_EQ(machineParams.stepsX, defaultMachineParams.stepsX / 0.999f);
}

// A job of long X moves to and fro, held in the machine.
void startJob(int records) {
    for (int i = 0; i < records; ++i) {
        std::string r = EncodeMove(i % 2 ? -20000 : 20000, 0, 0, -1, 1).bytes;
        r[0] = 'a';
        SendCommand(r);
    }
    SendCommand("G");
    ReadStatus();
}

class BaseCheckOnSim : public MachineCareOnSim {
  protected:
    // The pause and continue of the panel, as far as the check needs them.
    TrPkt3D pause() {
        ++pauses;
        SendCommand("Q");
        WaitIdle();
        ReadPositions();
        stoppedAt = plotstate.abspos;
        return {stoppedAt.x, stoppedAt.y, stoppedAt.z};
    }
    void resume() {
        ++resumes;
        MoveToPointDirect(stoppedAt.z / 100, stoppedAt.y / 100, stoppedAt.x / 100);
        WaitIdle();
        SendCommand("K");
    }
    bool check(WallClock::time_point at) {
        ReadStatus();
        return baseCheck.PeriodicBaseCheck(
            at, [this] { return pause(); }, [this] { resume(); });
    }

    int pauses = 0, resumes = 0;
    TrPkt3D stoppedAt;
    const WallClock::time_point t0 = WallClock::now();
    const BaseCheckJob job{"Korvane3D", "model.stl", "Roughing", "  Vr=1000 Vp=2000", "Ball 3"};
};

TEST_F(BaseCheckOnSim, PassingCheckContinuesTheJob) {
    start();
    baseCheck.setInterval(std::chrono::minutes(5));
    baseCheck.StartBaseCheckReport(job, t0);
    startJob(40);
    ASSERT_TRUE(plotstate.state & stateJobRunning);
    EXPECT_FALSE(check(t0 + std::chrono::minutes(5))); // not more than the interval yet
    ASSERT_TRUE(check(t0 + std::chrono::minutes(6)));
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(resumes, 1);
    ReadStatus();
    EXPECT_TRUE(plotstate.state & stateJobRunning);
    const std::string text = readFile(baseCheck.checkFile());
    EXPECT_EQ(baseCheck.checkFile().filename(), checkFileName(t0));
    // "Rozdzielczość" is not in the code page: the file is UTF-8 with its mark.
    EXPECT_EQ(text.substr(0, 50),
              "\xEF\xBB\xBF[Korvane3D, XKC-3020 ARM 5.9.0]\r\n\n\r  Komputer: ");
    EXPECT_NE(text.find("0:06:00   "), std::string::npos);
    EXPECT_NE(text.find("  baza=       0.000     0.000     0.000\r\n"), std::string::npos);
    EXPECT_EQ(text.find("PRZERWANY"), std::string::npos);
    baseCheck.endOfJob(t0 + std::chrono::minutes(7));
    const std::string report = readFile(dir / globalReportName);
    EXPECT_EQ(report.rfind("Start;Projekt;Wynik;min odch. X;", 0), 0u);
    EXPECT_NE(report.find(";model.stl;Ok;   0.000;   0.000;"), std::string::npos);
}

TEST_F(BaseCheckOnSim, DriftBeyondOneMillimetreStopsTheJob) {
    start();
    machine->setReference({0, -1.2, 0}); // the machine's Y count has drifted
    baseCheck.setInterval(std::chrono::minutes(1));
    baseCheck.StartBaseCheckReport(job, t0);
    startJob(40);
    ASSERT_TRUE(check(t0 + std::chrono::minutes(2)));
    EXPECT_EQ(resumes, 0);
    ReadStatus();
    EXPECT_FALSE(plotstate.state & stateJobRunning); // stays paused
    const std::string text = readFile(baseCheck.checkFile());
    EXPECT_NE(text.find("---- TEST ZOSTAŁ PRZERWANY - pomyłka powyżej 1mm ----\r\n\r\n"
                        "odchyłka min X    0.000\r\n"),
              std::string::npos);
    EXPECT_NEAR(baseCheck.deviations().minY, -1.2, 0.02);
    const std::string report = readFile(dir / globalReportName);
    EXPECT_NE(report.find(";model.stl;Pomyłka;"), std::string::npos);
}

TEST(SimControlPort, PlateAndReferenceAreSettable) {
    SimConfig c;
    c.timeScale = 1000;
    auto m = std::make_shared<SimMachine>(c);
    sim::SimServer server(m, sim::SimPorts{0, 0, 0, true});
    EXPECT_EQ(server.control("plate -80").rfind("error", 0), std::string::npos);
    EXPECT_EQ(server.control("plate").rfind("error", 0), 0u);
    m->execute("W");
    const auto end = std::chrono::steady_clock::now() + eventDeadline;
    while (m->snapshot().status & stateMoving && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(m->snapshot().position[2], -std::llround(8000 * 5.33333));
    // The reference inputs: X and Y pressed from their switch up, Z from its switch down.
    EXPECT_EQ(m->indexed(17)[2], 7);
    EXPECT_EQ(server.control("reference 0.5 0 -90").rfind("error", 0), std::string::npos);
    EXPECT_EQ(m->indexed(17)[2], 2);
}

} // namespace
} // namespace korvane::test
