// The machine console's job commands against the simulated machine on USB:
// a whole job started, paused, continued and finished; a start from a chosen
// point; the machine's own buttons; the head temperature watch; STOP while
// idle; the drive error reported once per occurrence.
#include "ConsoleFixture.h"

#include "app/PktStartDlg.h"
#include "foundation/MachineParams.h"
#include "foundation/Settings.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"

#include <algorithm>

namespace korvane::test {
namespace {

using Tokens = std::vector<std::string>;

TEST_F(ConsoleOnSim, JobPausedMidwayContinuedAndFinishedVisitsEveryPointInOrder) {
    connectUsb();
    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    EXPECT_EQ(outputFileName, "Cut");
    // Along the second stroke of the first figure.
    ASSERT_TRUE(runUntil([&] { return machine->snapshot().position[1] > at(0, 12).y; }));
    ASSERT_TRUE(jobRunning);

    // STOP: the job pauses at the next heartbeat.
    const std::size_t before = sent.size();
    panel.kstopClick();
    panel.Timer1Timer(false);
    EXPECT_TRUE(jobPaused);
    EXPECT_FALSE(jobRunning);
    EXPECT_EQ(statusText, "Machining paused");
    // Q, the rapid slot, the lift (MoveToPoint selects the rapid slot itself),
    // spindle off with slot 1, the auxiliary slot, the classic "S" 0, spindle off.
    EXPECT_EQ(sentSince(before), (Tokens{"Q", "F0", "F0", "A", "R01", "F2", "S0", "R02"}));

    // The breakpoint is the stop in project coordinates; the tool stands over
    // it at the safe height, the spindle off.
    const auto stopped = machine->snapshot();
    EXPECT_FALSE(stopped.spindleOn);
    EXPECT_EQ(panel.breakpoint().x, stopped.position[0] / 3 - 5000);
    EXPECT_EQ(panel.breakpoint().y, stopped.position[1] / 3 - 5000);
    EXPECT_NEAR((plotstate.pos0.z + plotstate.abspos.z) / 100, 10.0, 0.01);
    const auto moves = jobMoves();
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back().x, stopped.position[0]);
    EXPECT_EQ(moves.back().y, stopped.position[1]);

    // Continue: rapid slot, spindle on, down to the breakpoint, working slot, K.
    const std::size_t resumed = sent.size();
    panel.kontynuuj();
    EXPECT_FALSE(jobPaused);
    EXPECT_TRUE(jobRunning);
    EXPECT_EQ(statusText, "Machining in progress");
    EXPECT_EQ(sentSince(resumed), (Tokens{"F0", "R11", "F0", "A", "F1", "K"}));
    EXPECT_NEAR(plotstate.pos0.z + plotstate.abspos.z, panel.breakpoint().z, 1);

    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(statusText, "Machining ended");
    EXPECT_TRUE(visitsInOrder(jobMoves(), allPoints()));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ConsoleOnSim, StartFromAChosenPointLeavesTheEarlierPointsAlone) {
    connectUsb(200);
    project = std::make_unique<TProjekt>();
    project->d.material.rozmX = 100;
    project->d.material.rozmY = 100;
    project->d.material.rozmZ = 10;
    outputReader = std::make_unique<tWy>();
    outputReader->wczytajPlik(dir / "Out" / "Cut.out", -1);
    outputFileName = "Cut";

    TfPktStartDlg dialog;
    EXPECT_FALSE(dialog.zZetem);           // hatching: heights play no part
    EXPECT_FALSE(dialog.btnZapiszClick()); // 0, 0, 0 keeps the dialog open
    dialog.x = 41;
    dialog.y = 46;
    ASSERT_TRUE(dialog.btnZapiszClick());
    // Nearest is the segment (40, 44) - (40, 48), point 3 of the second
    // figure: the job enters one point back, at (60, 44).
    EXPECT_EQ(startFigureIndex, 1);
    EXPECT_EQ(startPointIndex, 2);

    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    ASSERT_TRUE(runToEnd());
    const auto moves = jobMoves();
    for (int i = 0; i < 8; ++i) EXPECT_EQ(find(moves, allPoints()[i], 0), -1) << i;
    EXPECT_TRUE(visitsInOrder(moves, {at(60, 44), at(40, 44), at(40, 48)}));
}

TEST_F(ConsoleOnSim, MachineButtonsStopContinueAndStart) {
    connectUsb();
    int starts = 0;
    panel.actions.start = [&] { ++starts; };
    panel.actions.continueJob = [&] { panel.kontynuuj(); };
    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    ASSERT_TRUE(runUntil([&] { return machine->snapshot().position[1] > at(0, 12).y; }));

    machine->pressStop();
    ASSERT_TRUE(runUntil([] { return jobPaused; }));
    EXPECT_FALSE(jobRunning);
    EXPECT_EQ(statusText, "Machining paused");

    machine->pressContinue();
    ASSERT_TRUE(runUntil([] { return jobRunning; }));
    EXPECT_FALSE(jobPaused);
    ASSERT_TRUE(runToEnd());
    EXPECT_TRUE(visitsInOrder(jobMoves(), allPoints()));

    // The start button reported by several status replies starts one job.
    machine->pressStart();
    for (int i = 0; i < 20; ++i) panel.Timer1Timer(false);
    EXPECT_EQ(starts, 1);
}

TEST_F(ConsoleOnSim, SpindleOverloadStopsTheJobAndSaysSoOnce) {
    connectUsb();
    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    ASSERT_TRUE(runUntil([&] { return machine->snapshot().position[1] > at(0, 12).y; }));
    // The machine reports its stop button together with the overload bit.
    machine->spindleOverload();
    ASSERT_TRUE(runUntil([&] { return !ui.messages.empty(); }));
    for (int i = 0; i < 20; ++i) panel.Timer1Timer(false);
    EXPECT_FALSE(jobRunning);
    EXPECT_FALSE(machine->snapshot().spindleOn);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Control_panel", "przeciazenieWrzeciona"));
    EXPECT_TRUE(ui.messages[0].error);
}

TEST_F(ConsoleOnSim, ContinueAfterTheMachineInterruptedTheJobEntersAtTheWorkOrigin) {
    // The machine stopped the job itself (bits 5 and 6), not this program's
    // pause: the tool goes over the work origin at the safe height before K.
    connectUsb();
    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    ASSERT_TRUE(runUntil([&] { return machine->snapshot().position[1] > at(0, 12).y; }));
    machine->interrupt();
    ASSERT_TRUE(runUntil([] { return !jobRunning; }));
    ReadStatus();
    ASSERT_EQ(plotstate.state & (stateJobRunning | stateJobStored | stateJobInterrupted),
              stateJobStored | stateJobInterrupted);
    EXPECT_FALSE(jobPaused);

    const std::size_t before = sent.size();
    panel.kontynuuj();
    EXPECT_TRUE(jobRunning);
    EXPECT_FALSE(jobPaused);
    const Tokens tokens = sentSince(before);
    ASSERT_GE(tokens.size(), 4u);
    EXPECT_EQ(Tokens(tokens.begin(), tokens.begin() + 2), (Tokens{"F0", "R11"}));
    EXPECT_EQ(Tokens(tokens.end() - 2, tokens.end()), (Tokens{"F1", "K"}));
    // The last move before K: the work origin (50, 50 mm), 10 mm over the
    // table that lies 100 mm below the top.
    machine->flushTrace();
    long long lastX = -1, lastY = -1, lastZ = 0;
    for (const TracePoint& p : readTrace(dir / "trace.txt"))
        if (p.source == 'A') {
            lastX = p.x;
            lastY = p.y;
            lastZ = p.z;
        }
    EXPECT_EQ(lastX, at(0, 0).x);
    EXPECT_EQ(lastY, at(0, 0).y);
    EXPECT_NEAR(lastZ, std::llround(-9000 * machineParams.stepsZ), 1);
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(statusText, "Machining ended");
}

TEST_F(ConsoleOnSim, HeadTemperatureJumpPausesTheJob) {
    connectUsb(5);
    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    ASSERT_TRUE(runUntil([] { return jobRunning; }));
    settings.printer3D = true;
    headTemperatureSet[0] = 20; // the simulated head stands at 20 degrees
    // One check a second of heartbeats: the first finds the head as set.
    for (int i = 0; i < 100; ++i) panel.Timer1Timer(false);
    ASSERT_TRUE(jobRunning);
    machine->setHeadTemperature(41); // 21 degrees in one second
    ASSERT_TRUE(runUntil([] { return jobPaused; }));
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "awaria termistora");
    EXPECT_EQ(statusText, "awaria termistora");
}

TEST_F(ConsoleOnSim, StopWhileIdleSendsNothing) {
    connectUsb();
    sent.clear();
    panel.kstopClick();
    stopRequest = true;
    panel.Timer1Timer(false);
    EXPECT_FALSE(stopRequest);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(statusText, "");
    // The flag was consumed: a job started afterwards is not paused by it.
    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    ASSERT_TRUE(runToEnd());
    EXPECT_FALSE(jobPaused);
    EXPECT_EQ(statusText, "Machining ended");
}

TEST_F(ConsoleOnSim, DriveErrorIsReportedOncePerOccurrence) {
    connectUsb();
    machine->driveError(3, 1 | 4);
    for (int i = 0; i < 10; ++i) panel.Timer1Timer(false);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Stop");
    // The code as the machine reports it, the axes by name.
    EXPECT_EQ(ui.messages[0].text.rfind("Axis drive error (", 0), 0u) << ui.messages[0].text;
    EXPECT_NE(ui.messages[0].text.find(") : X Z \n\rA motor drive"), std::string::npos);
    machine->clearFaults();
    for (int i = 0; i < 3; ++i) panel.Timer1Timer(false);
    machine->driveError(3, 1);
    for (int i = 0; i < 10; ++i) panel.Timer1Timer(false);
    EXPECT_EQ(ui.messages.size(), 2u);
}

} // namespace
} // namespace korvane::test
