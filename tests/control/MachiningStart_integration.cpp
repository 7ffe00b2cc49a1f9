// The start of machining from the main window against the simulated machine:
// the checks before anything is sent, the safe height and the tool question.
#include "ConsoleFixture.h"

#include "app/DlugoscDlg.h"
#include "app/MachiningStart.h"
#include "control/ToolMeasurement.h"
#include "foundation/MachineParams.h"
#include "foundation/Settings.h"
#include "generation/GenState.h"
#include "libraries/LibraryState.h"
#include "libraries/Operacje.h"
#include "libraries/Projekt.h"

#include <algorithm>

namespace korvane::test {
namespace {

class AnsweringStartView final : public StartView {
  public:
    ToolAnswer askToolChange(const std::string& text, bool canMeasure) override {
        questions.push_back(text);
        offeredMeasuring = canMeasure;
        return answer;
    }
    bool waitForHead() override { return true; }
    bool chooseStartPoint() override { return true; }

    std::vector<std::string> questions;
    bool offeredMeasuring = false;
    ToolAnswer answer = ToolAnswer::ignore;
};

class StartOnSim : public ConsoleOnSim {
  protected:
    void SetUp() override {
        ConsoleOnSim::SetUp();
        operationLibrary = std::make_unique<TOperacje>();
        operation.narzedzie = "T1";
        operation.zostawDoNastOper = 0.5;
        operationLibrary->Lista.push_back(std::make_unique<TOperacjaDane>(operation));
        TOperacjaDane other = operation;
        other.nazwa = "Other";
        other.narzedzie = "T2";
        operationLibrary->Lista.push_back(std::make_unique<TOperacjaDane>(other));
        writeOutputFile(dir / "Out" / "Other.out", opHatching, [] {
            FigureList f;
            f.push_back(figure({{5, 5}, {25, 5}}));
            return f;
        }());
        project = std::make_unique<TProjekt>();
        project->d.material.rozmX = 100;
        project->d.material.rozmY = 100;
        project->d.material.rozmZ = 20;
        project->d.material.gruboscPodkladki = 3;
        modelSize = {80, 80, 18};
        transferMargin = 1;
    }
    void machineWithOriginAt(double z) {
        sim::SimConfig c;
        c.product = "XSE100";
        c.timeScale = 200;
        c.workOrigin = {50, 50, z};
        c.trace = dir / "trace.txt";
        machine = std::make_shared<sim::SimMachine>(c);
        usbLink = std::make_unique<TfUsb>(std::make_unique<TokenSimHid>(machine, &sent));
        identify();
        sent.clear();
    }

    AnsweringStartView view;
    MachiningStart start{panel, view};
    std::vector<std::string> outputs{"Cut", "Other"};
};

TEST(JobSafeHeight, MaterialOrModelWithAllowancePlusSubstrate) {
    EXPECT_DOUBLE_EQ(jobSafeHeight(20, 18, 0.5, 1, 3), 24.0); // max(21, 19.5) + 3
    EXPECT_DOUBLE_EQ(jobSafeHeight(10, 18, 0.5, 1, 0), 19.5); // the model is higher
}

TEST_F(StartOnSim, WorkOriginBelowTheSafeHeightRefusesBeforeAnythingIsSent) {
    machineWithOriginAt(23); // 23 mm free, 24 mm needed
    int selected = 0;
    EXPECT_FALSE(start.sbStartClick(outputs, selected, "Korvane3D"));
    EXPECT_DOUBLE_EQ(safeHeight, 24.0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "The project does not fit under the tool.\r\nThe clearance between the tool and the "
              "table is smaller than the material and the model need. Measure the tool length "
              "again, use a shorter tool or lower the material.");
    EXPECT_FALSE(ui.messages[0].error);
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(transArm.isOpen());
}

TEST_F(StartOnSim, ToolQuestionAskedOncePerToolAndIgnoreStartsWithoutMeasuring) {
    machineWithOriginAt(100);
    int selected = 0;
    ASSERT_TRUE(start.sbStartClick(outputs, selected, "Korvane3D"));
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_FALSE(view.offeredMeasuring); // no tool-length dialog wired
    EXPECT_EQ(start.lastTool, "T1");
    EXPECT_TRUE(transArm.isOpen());
    ASSERT_TRUE(runToEnd());

    // The same tool again: no question.
    ASSERT_TRUE(start.sbStartClick(outputs, selected, "Korvane3D"));
    EXPECT_EQ(view.questions.size(), 1u);
    ASSERT_TRUE(runToEnd());

    // Another tool asks; Cancel sends nothing.
    selected = 1;
    view.answer = ToolAnswer::cancel;
    sent.clear();
    EXPECT_FALSE(start.sbStartClick(outputs, selected, "Korvane3D"));
    EXPECT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(view.questions[1].rfind("Change the tool to:\r\n", 0), 0u) << view.questions[1];
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(start.lastTool, "T1");

    // Yes measures in the program's tool length dialog; a tool not measured
    // starts nothing.
    int measured = 0;
    toolLengthDialog = [&] { return ++measured > 1; };
    view.answer = ToolAnswer::yes;
    EXPECT_FALSE(start.sbStartClick(outputs, selected, "Korvane3D"));
    EXPECT_TRUE(view.offeredMeasuring);
    EXPECT_TRUE(start.sbStartClick(outputs, selected, "Korvane3D"));
    EXPECT_EQ(measured, 2);
    EXPECT_EQ(start.lastTool, "T2");
}

// The tool length dialog's logic as the window runs it: the automatic
// measurement against the plate on the table.
struct MeasuringView final : ToolLengthView {
    void closeDialog(bool) override {}
    void focusTool() override {}
    void setBusyCursor(bool) override {}
    bool inputPending() override { return false; }
};

TEST_F(StartOnSim, YesMeasuresTheNewToolOnThePlateBeforeTheJob) {
    // 23 mm free is too little for the 24 mm the job needs; the new tool,
    // measured on the 5 mm plate whose top is 120 mm below the machine's top,
    // puts the table 125 mm below it.
    machineWithOriginAt(23);
    settings.plytkaPomGrubosc = 5;
    settings.plytkaPomPolozenie = plateOnTable;
    toolLengthDialog = [] {
        MeasuringView shown;
        TdlugoscForm dialog(shown);
        dialog.FormActivate();
        dialog.pomiarClick();
        dialog.FormClose();
        return dialog.narzedzieZmierzone;
    };
    view.answer = ToolAnswer::yes;
    int selected = 0;
    ASSERT_TRUE(start.sbStartClick(outputs, selected, "Korvane3D"));
    EXPECT_TRUE(view.offeredMeasuring);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_NEAR(machine->snapshot().origin[2], std::llround(12500 * machineParams.stepsZ), 1);
    EXPECT_FLOAT_EQ(plotstate.pos0.z, 12500);
    // The probe and the new origin before the job's preparation.
    const auto probe = std::find(sent.begin(), sent.end(), "W");
    const auto origin = std::find(sent.begin(), sent.end(), "N");
    const auto prepared = std::find(sent.begin(), sent.end(), "C");
    EXPECT_LT(probe, origin);
    EXPECT_LT(origin, prepared);
    EXPECT_NE(prepared, sent.end());
    ASSERT_TRUE(runToEnd());
    EXPECT_TRUE(visitsInOrder(jobMoves(), allPoints()));

    // The dialog closed without measuring: nothing starts.
    selected = 1;
    sent.clear();
    toolLengthDialog = [] { return false; };
    EXPECT_FALSE(start.sbStartClick(outputs, selected, "Korvane3D"));
    EXPECT_EQ(std::find(sent.begin(), sent.end(), "C"), sent.end());
    EXPECT_FALSE(transArm.isOpen());
}

TEST_F(StartOnSim, NoUsbLinkOrNoSelectionStopsWithItsMessage) {
    int selected = -1;
    EXPECT_FALSE(start.sbStartClick(outputs, selected, "Korvane3D"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "The USB link is not available.\r\nNo connection with the machine");
    sbStopClick();
    EXPECT_FALSE(stopRequest);

    machineWithOriginAt(100);
    EXPECT_FALSE(start.sbStartClick(outputs, selected, "Korvane3D"));
    EXPECT_EQ(ui.messages.back().text, "Select an output file in the list first.");
    // A list of one file selects it.
    std::vector<std::string> one{"Cut"};
    EXPECT_TRUE(start.sbStartClick(one, selected, "Korvane3D"));
    EXPECT_EQ(selected, 0);
}

} // namespace
} // namespace korvane::test
