#include "TestSupport.h"

#include "app/CalibrationDlg.h"
#include "app/DlugoscDlg.h"
#include "app/PrzesunDlg.h"
#include "app/PunktyBazoweDlg.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "machine/MachineState.h"

#include <gtest/gtest.h>

namespace korvane::test {
namespace {

class MachineCareDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        loadTexts();
        texts->loadUnits();
        dataFolder = dir.path();
    }
    RecordingUserInterface ui;
    TempDir dir;
};

TEST(BasePointsFile, LineLayoutAndReadingBack) {
    // Each number fills 9 characters.
    EXPECT_EQ(basePointLine(12.5, 7, "Corner"), "X=    12.50   Y=     7.00 Corner");
    EXPECT_EQ(basePointLine(1234.567, 0, ""), "X=  1234.57   Y=     0.00 ");
    // The name is cut to 28 characters (not bytes).
    EXPECT_EQ(basePointLine(1, 2, std::string(30, 'n')),
              "X=     1.00   Y=     2.00 " + std::string(28, 'n'));
    EXPECT_EQ(basePointLine(1, 2, "Narożnik żółty ąęśćźńół 1234567").substr(26),
              "Narożnik żółty ąęśćźńół 1234");

    auto p = parseBasePointLine("X=    12.50   Y=     7.00 Corner");
    ASSERT_TRUE(p);
    EXPECT_DOUBLE_EQ(p->x, 12.5);
    EXPECT_DOUBLE_EQ(p->y, 7);
    EXPECT_EQ(p->name, "Corner");
    // The list's first line, narrower than the layout, keeps its whole name.
    p = parseBasePointLine(defaultBasePointLine);
    ASSERT_TRUE(p);
    EXPECT_DOUBLE_EQ(p->x, 1000);
    EXPECT_DOUBLE_EQ(p->y, 1000);
    EXPECT_EQ(p->name, "Punkt taki sobie");
    // A comma as the separator, as a file written under another locale has it.
    p = parseBasePointLine("X=    12,50   Y=     7,25 a");
    ASSERT_TRUE(p);
    EXPECT_DOUBLE_EQ(p->y, 7.25);
    EXPECT_FALSE(parseBasePointLine("X=    12.5x   Y=     7.00 a"));
    EXPECT_FALSE(parseBasePointLine("Y=     7.00"));
}

TEST_F(MachineCareDialogs, BasePointsFileByteForByte) {
    EXPECT_EQ(loadBasePoints(dir / "base.txt"), std::vector<std::string>{defaultBasePointLine});
    const std::vector<std::string> lines = {defaultBasePointLine,
                                            "X=    12.50   Y=     7.00 Corner"};
    ASSERT_TRUE(saveBasePoints(dir / "base.txt", lines));
    EXPECT_EQ(readFile(dir / "base.txt"), "X=1000.00   Y=1000.00  Punkt taki sobie\r\n"
                                          "X=    12.50   Y=     7.00 Corner\r\n");
    EXPECT_EQ(loadBasePoints(dir / "base.txt"), lines);
    // A name the code page lacks survives the round trip.
    ASSERT_TRUE(saveBasePoints(dir / "base.txt", {basePointLine(1, 2, "Punkt ż")}));
    EXPECT_EQ(parseBasePointLine(loadBasePoints(dir / "base.txt").at(0))->name, "Punkt ż");
}

struct BaseView final : BasePointsView {
    void showBasePoints() override { ++shown; }
    void closeDialog(bool accepted) override { closed = accepted ? 1 : 0; }
    void focusBasePointField(bool y) override { focused = y ? 'Y' : 'X'; }
    int shown = 0;
    int closed = -1;
    char focused = 0;
};

TEST_F(MachineCareDialogs, BasePointsAddedPickedDeletedAndKept) {
    workArea = {600, 400, 150};
    plotstate.pos0 = {2550, 1000, 12000};
    BaseView view;
    {
        TPunkty_bazowe d(view);
        d.FormCreate();
        d.FormActivate();
        EXPECT_DOUBLE_EQ(d.pbx.GetValue(), 25.5);
        EXPECT_DOUBLE_EQ(d.pby.GetValue(), 10);
        ASSERT_EQ(d.lista.size(), 1u);
        d.pbx.SetValue(12.5);
        d.pby.SetValue(7);
        d.komentarz = "Corner";
        d.DodajClick();
        EXPECT_EQ(d.selected, 1);
        // A point typed beyond the work area is refused with the edit focused.
        for (auto [x, y, focus] : {std::tuple{"600.01", "7", 'X'}, {"5", "-1", 'Y'}}) {
            d.pbx.setText(x);
            d.pby.setText(y);
            d.DodajClick();
            d.ustawClick();
            EXPECT_EQ(view.focused, focus);
            EXPECT_EQ(view.closed, -1);
        }
        ASSERT_EQ(ui.messages.size(), 4u);
        EXPECT_EQ(ui.messages[0].text, "In the field  »X«  the value is out of the permitted "
                                       "range.\r\n( min= 0.00; max= 600.00 )");
        EXPECT_EQ(ui.messages[3].text, "In the field  »Y«  the value is out of the permitted "
                                       "range.\r\n( min= 0.00; max= 400.00 )");
        EXPECT_EQ(d.lista.size(), 2u);
        // Beyond the work area the edit keeps its maximum.
        d.pby.SetValue(7);
        d.pbx.SetValue(900);
        EXPECT_DOUBLE_EQ(d.pbx.GetValue(), 600);
        d.DodajClick();
        d.usunClick();
        EXPECT_EQ(d.lista.size(), 2u);
        EXPECT_FALSE(d.usunEnabled);
        d.FormDestroy();
    }
    EXPECT_EQ(readFile(dir / "base.txt"), "X=1000.00   Y=1000.00  Punkt taki sobie\r\n"
                                          "X=    12.50   Y=     7.00 Corner\r\n");
    TPunkty_bazowe again(view);
    again.FormCreate();
    again.FormActivate();
    again.listaDblClick(1);
    EXPECT_DOUBLE_EQ(again.pbx.GetValue(), 12.5);
    EXPECT_DOUBLE_EQ(again.pby.GetValue(), 7);
    EXPECT_EQ(again.komentarz, "Corner");
    EXPECT_EQ(view.closed, 1);
}

struct MoveView final : MoveDialogView {
    void showSequence() override {}
    void beep() override { ++beeps; }
    bool stopAsked() override { return true; }
    int beeps = 0;
};

TEST_F(MachineCareDialogs, ConveyorSequenceEditing) {
    MoveView view;
    Tprzesun d(view);
    EXPECT_EQ(d.eSumaPrzesuwow, "0");
    d.sbUsunClick(); // nothing selected
    EXPECT_EQ(view.beeps, 1);
    d.lbSekwencjaClick(2);
    EXPECT_EQ(d.fePrzesuw, "8000");
    d.fePrzesuw = "8001";
    d.sbZatwierdzClick();
    EXPECT_EQ(d.lbSekwencja[2], "8001");
    EXPECT_EQ(d.eSumaPrzesuwow, "1");
    d.btnTasmociagTestClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    d.sbDodajClick();
    EXPECT_EQ(d.fePrzesuw, "");
    d.fePrzesuw = "-1";
    d.sbZatwierdzClick();
    EXPECT_EQ(d.lbSekwencja.size(), 15u);
    EXPECT_EQ(d.eSumaPrzesuwow, "0");
    d.lbSekwencjaClick(-1);
    EXPECT_EQ(d.fePrzesuw, "0");
    d.lbSekwencjaClick(14);
    d.sbUsunClick();
    EXPECT_EQ(d.lbSekwencja.size(), 14u);
    EXPECT_EQ(d.eSumaPrzesuwow, "1");
}

struct LengthView final : ToolLengthView {
    void closeDialog(bool accepted) override { closed = accepted ? 1 : 0; }
    void focusTool() override { ++focused; }
    void setBusyCursor(bool) override {}
    bool inputPending() override { return false; }
    int closed = -1;
    int focused = 0;
};

TEST_F(MachineCareDialogs, ToolLengthRefusals) {
    workArea = {600, 400, 150};
    plotstate.pos0.z = 12345;
    plotstate.info1 = "E-2010";
    settings.plytkaPomPolozenie = 2;
    LengthView view;
    TdlugoscForm d(view);
    d.FormActivate();
    EXPECT_FALSE(d.pomiarEnabled);
    EXPECT_EQ(d.unitLabel, "[mm]");
    EXPECT_EQ(d.tool.text(), "123.450");
    EXPECT_EQ(d.rgPloterPlytkaPomPolozenie, 2);
    // More than the Z travel: refused, the dialog stays open with the edit focused.
    d.tool.setText("150.01");
    EXPECT_FALSE(d.OKClick());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, txt("Tool_lenght_dialog", "dlugoscForm.Caption"));
    EXPECT_EQ(ui.messages[0].text,
              txt("Tool_lenght_dialog", "msgZaDuzaDlugoscNarzedzia") + " : 150.01\n\r" +
                  txt("Tool_lenght_dialog", "msgMaxRuchOsiZ") + " : 150.00\n\r");
    EXPECT_EQ(view.focused, 1);
    EXPECT_EQ(view.closed, -1);
    EXPECT_FALSE(d.narzedzieZmierzone);
    // A negative length is refused by the field itself.
    d.tool.setText("-5");
    EXPECT_FALSE(d.OKClick());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text.rfind("In the field  »", 0), 0u) << ui.messages[1].text;
    EXPECT_EQ(view.focused, 2);
    // Without a machine nothing can be measured, and nothing is said to be.
    d.tool.setText("100");
    EXPECT_FALSE(d.OKClick());
    d.powierzchnia_stoluClick();
    EXPECT_FALSE(d.narzedzieZmierzone);
    EXPECT_EQ(ui.messages.size(), 4u);
    d.rgPloterPlytkaPomPolozenie = 1;
    d.FormClose();
    EXPECT_EQ(settings.plytkaPomPolozenie, 1);
    plotstate.info1 = "XKC-3020";
    d.FormActivate();
    EXPECT_TRUE(d.pomiarEnabled);
}

struct CalibrationRecorder final : CalibrationView {
    void showCalibration() override { ++shown; }
    void focusCalibrationField(CalibrationField f) override { focused = static_cast<int>(f); }
    void closeDialog(bool accepted) override { closed = accepted ? 1 : 0; }
    int shown = 0, focused = -1, closed = -1;
};

TEST_F(MachineCareDialogs, CalibrationDistancesAndFactors) {
    workArea = {600, 1500, 150};
    CalibrationRecorder view;
    TCalibration d(view);
    d.FormActivate();
    EXPECT_EQ(d.distances[0].text(), "600.000");
    EXPECT_EQ(d.distances[1].text(), "1000.000"); // at most 1000 mm
    EXPECT_EQ(d.distances[5].text(), "150.000");
    EXPECT_EQ(d.factorTexts[0], "1.00000000");
    d.distances[0].setText("500");
    d.distances[3].setText("499.5");
    d.recompute();
    EXPECT_DOUBLE_EQ(d.factors[0], 0.999);
    EXPECT_EQ(d.factorTexts[0], "0.99900000");
    d.distances[4].setText("0");
    d.recompute();
    EXPECT_DOUBLE_EQ(d.factors[1], 1);
    // An empty field: the message, the focus there, nothing stored.
    d.distances[4].setText("");
    EXPECT_FALSE(d.btnSetClick());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Form_Calibration", "msgInvalidValue"));
    EXPECT_EQ(view.focused, static_cast<int>(CalibrationField::realizedY));
    EXPECT_EQ(view.closed, -1);
}

TEST(CalibrationDistances, WholeUnitsWithinTheirLimit) {
    EXPECT_DOUBLE_EQ(givenDistance(600, unitMillimetre), 600);
    EXPECT_DOUBLE_EQ(givenDistance(1500.7, unitMillimetre), 1000);
    EXPECT_DOUBLE_EQ(givenDistance(600, unitInch), 23 * 25.4);
    EXPECT_DOUBLE_EQ(givenDistance(1500, unitInch), 40 * 25.4);
    EXPECT_DOUBLE_EQ(givenDistance(1500, unitFoot), 3 * 304.8);
}

} // namespace
} // namespace korvane::test
