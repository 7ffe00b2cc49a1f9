// A job over the network link to the simulated machine whose connection drops
// before an echo: the job ends stopped, and a start from the point where the
// machine stood completes the part with no segment cut twice.
#include "ConsoleFixture.h"
#include "SimServer.h"

#include "app/MachiningStart.h"
#include "libraries/LibraryState.h"
#include "libraries/Operacje.h"
#include "libraries/Projekt.h"
#include "machine/Ethernet.h"
#include "platform/MainLoop.h"

namespace korvane::test {
namespace {

class ConsoleOverTcp : public ConsoleOnSim {
  protected:
    void SetUp() override {
        ConsoleOnSim::SetUp();
        sim::SimConfig c;
        c.product = "XSE100";
        c.timeScale = 10;
        c.bufferCapacity = 84; // full from 20 records: the transmission keeps pace
        c.trace = dir / "trace.txt";
        machine = std::make_shared<sim::SimMachine>(c);
        server = std::make_unique<sim::SimServer>(machine, sim::SimPorts{0, 0, 0, false});
        networkMachineLinks({server->commandPort(), server->infoPort()});
        ASSERT_TRUE(connectNetworkLink());
        identify();
    }
    void TearDown() override {
        ConsoleOnSim::TearDown();
        server.reset();
    }
    // How often each segment of the output was cut: consecutive job moves
    // from one of its points to the next.
    std::vector<int> cuts() {
        const auto moves = jobMoves();
        const auto points = allPoints();
        std::vector<int> n;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            if (i == 5) continue; // from the first figure's end to the second's start
            int count = 0;
            for (std::size_t k = 0; k + 1 < moves.size(); ++k)
                count += moves[k].x == points[i].x && moves[k].y == points[i].y &&
                         moves[k + 1].x == points[i + 1].x && moves[k + 1].y == points[i + 1].y;
            n.push_back(count);
        }
        return n;
    }

    void dropEchoMidJob();

    std::unique_ptr<sim::SimServer> server;
};

// The job started, cut short by a lost echo and the machine stopped.
void ConsoleOverTcp::dropEchoMidJob() {
    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    // The link drops before the echo of a record some way into the job, while
    // the machine still works through the records before it.
    ASSERT_TRUE(
        runUntil([&] { return jobRunning && machine->snapshot().position[0] > at(20, 0).x; }));
    ASSERT_TRUE(transArm.isOpen());
    // Once the machine has room again, the heartbeat's status read (0) is
    // followed by records: the second is taken by the machine, its echo lost.
    const auto until = std::chrono::steady_clock::now() + eventDeadline;
    while (machine->snapshot().buffered >= 19 && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
    ASSERT_LT(machine->snapshot().buffered, 19u);
    EXPECT_EQ(server->control("drop-echo 2"), "ok");
    panel.Timer1Timer(false);
    ASSERT_TRUE(transArm.lostEcho());
    EXPECT_FALSE(transArm.isOpen());
    const long long confirmed = transArm.lostEcho()->confirmedRecords;
    EXPECT_GT(confirmed, 17);
    EXPECT_FALSE(panel.resumePoint()); // the machine has not been told yet

    // Once the link is back the machine is stopped: a defined state.
    ASSERT_TRUE(connectNetworkLink());
    panel.Timer1Timer(false);
    EXPECT_TRUE(transArm.lostEcho()->machineStopped);
    EXPECT_FALSE(jobRunning);
    EXPECT_FALSE(jobPaused);
    EXPECT_EQ(statusText, "Machining ended");
    ASSERT_TRUE(panel.resumePoint());
    ReadStatus();
    EXPECT_FALSE(plotstate.state & (stateJobRunning | stateMoving));
    const auto s = machine->snapshot();
    // The machine ran fewer records than it confirmed: the job goes on from
    // where the tool stands.
    EXPECT_LT(s.executedRecords, confirmed);
    const auto& p =
        outputReader->ListaFigur[panel.resumePoint()->figure]->poz[panel.resumePoint()->point];
    EXPECT_EQ(at(p.x, p.y).x, s.position[0]);
    EXPECT_EQ(at(p.x, p.y).y, s.position[1]);
}

TEST_F(ConsoleOverTcp, DroppedLinkEndsStoppedAndTheStartFromWhereItStoodCompletesThePart) {
    ASSERT_NO_FATAL_FAILURE(dropEchoMidJob());
    startFigureIndex = static_cast<int>(panel.resumePoint()->figure);
    startPointIndex = static_cast<int>(panel.resumePoint()->point);
    ASSERT_TRUE(panel.StartMaszyny(operation, "Cut", "Korvane3D"));
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(cuts(), (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

// The window's start dialogs, never shown here: the tool is the one in use.
class NoQuestions final : public StartView {
  public:
    ToolAnswer askToolChange(const std::string&, bool) override {
        ++asked;
        return ToolAnswer::cancel;
    }
    bool waitForHead() override { return true; }
    bool chooseStartPoint() override { return true; }
    int asked = 0;
};

TEST_F(ConsoleOverTcp, TheWindowsContinueAfterADroppedLinkCompletesThePart) {
    operationLibrary = std::make_unique<TOperacje>();
    operationLibrary->Lista.push_back(std::make_unique<TOperacjaDane>(operation));
    project = std::make_unique<TProjekt>();
    project->d.material.rozmZ = 9; // the safe height 10 mm over the table
    NoQuestions view;
    MachiningStart start(panel, view);
    start.lastTool = operation.narzedzie;
    ASSERT_NO_FATAL_FAILURE(dropEchoMidJob());
    // The lost echo was reported, by its number.
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "101");
    EXPECT_EQ(ui.messages[0].text.rfind("The connection with the machine broke before it "
                                        "confirmed a record",
                                        0),
              0u);

    // Continue (Shift+F2, the machine's continue button) starts the job again
    // from the point where the tool stands.
    std::vector<std::string> outputs{"Other", "Cut"};
    int selected = -1;
    start.sbKontynuacjaClick(outputs, selected, "Korvane3D");
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(view.asked, 0);
    ASSERT_TRUE(transArm.isOpen());
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(cuts(), (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(ui.messages.size(), 1u);
}

} // namespace
} // namespace korvane::test
