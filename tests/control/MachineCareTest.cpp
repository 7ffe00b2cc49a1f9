#include "../machine/MachineTestSupport.h"
#include "TestSupport.h"

#include "control/BaseCheck.h"
#include "control/MachineCalibration.h"
#include "control/TestMoves.h"
#include "control/ToolMeasurement.h"
#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"

#include <gtest/gtest.h>

#include <ctime>
#include <set>

namespace korvane::test {
namespace {

TEST(ToolOrigin, PlateAndSurfaceArithmetic) {
    // Plate 5 mm on a 3 mm substrate, tool stopped 120 mm below the top: the
    // table lies 128 mm below the top.
    EXPECT_EQ(plateOrigin(plateOnSubstrate, 5, 3, 20, -12000), 12800);
    EXPECT_EQ(plateOrigin(plateOnTable, 5, 3, 20, -12000), 12500);
    EXPECT_EQ(plateOrigin(plateOnMaterial, 5, 3, 20, -12000), 14800);
    // A position the dialog does not know counts as on the table.
    EXPECT_EQ(plateOrigin(7, 5, 3, 20, -12000), 12500);
    // Tool on the material's surface: substrate 3 mm, material 20 mm.
    EXPECT_EQ(materialSurfaceOrigin(3, 20, -10000), 12300);
    EXPECT_EQ(tableOrigin(-10000), 10000);
    // Halves go to the even neighbour, as everywhere in the machine link.
    EXPECT_EQ(tableOrigin(-12345.5), 12346);
    EXPECT_EQ(tableOrigin(-12346.5), 12346);
}

MoveFrame frame() {
    MoveFrame f;
    f.position = {20, 30, 50}; // X 20 mm, Y 30 mm, tip 50 mm above the table
    f.originX = 100;
    f.originY = 50;
    f.travelX = 600;
    f.travelY = 400;
    f.top = 128;
    return f;
}

TEST(MoveByNumbers, EachModeStaysWithinTheTravel) {
    // Relative: -50 mm at X = 20 mm moves only 20 mm; Y beyond the travel stops at it.
    MoveVector d = moveDeltas(relativeMove, {-50, 500, 0}, frame());
    EXPECT_DOUBLE_EQ(d.x, -20);
    EXPECT_DOUBLE_EQ(d.y, 370);
    // Relative Z keeps the tip between the table and the top.
    EXPECT_DOUBLE_EQ(moveDeltas(relativeMove, {0, 0, 100}, frame()).z, 78);
    EXPECT_DOUBLE_EQ(moveDeltas(relativeMove, {0, 0, -80}, frame()).z, -50);
    EXPECT_DOUBLE_EQ(moveDeltas(relativeMove, {0, 0, 10}, frame()).z, 10);
    // Machine coordinates: negative inputs are 0, Z above the top only up to it.
    d = moveDeltas(machineCoordinates, {-5, 700, 200}, frame());
    EXPECT_DOUBLE_EQ(d.x, -20);
    EXPECT_DOUBLE_EQ(d.y, 370);
    EXPECT_DOUBLE_EQ(d.z, 78);
    // Project coordinates: X and Y from the project zero, Z as height.
    d = moveDeltas(projectCoordinates, {10, 20, 5}, frame());
    EXPECT_DOUBLE_EQ(d.x, 90);
    EXPECT_DOUBLE_EQ(d.y, 40);
    EXPECT_DOUBLE_EQ(d.z, -45);
    EXPECT_DOUBLE_EQ(moveDeltas(projectCoordinates, {550, -60, 0}, frame()).x, 580);
    EXPECT_DOUBLE_EQ(moveDeltas(projectCoordinates, {550, -60, 0}, frame()).y, -30);
}

TEST(ConveyorSequence, SumRule) {
    RecordingUserInterface ui;
    resetState(ui);
    std::vector<std::string> lines = defaultConveyorSequence();
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines.front(), "10000");
    EXPECT_EQ(lines.back(), "-20000");
    EXPECT_EQ(sequenceSum(lines), 0);
    EXPECT_EQ(sequenceSumText(lines), "0");
    lines[2] = "8001";
    EXPECT_EQ(sequenceSumText(lines), "1");
    // A sum other than 0 is refused before anything moves (there is no link here).
    EXPECT_FALSE(conveyorTest(lines, [] { return true; }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Suma przesuwów musi być równa zero gdyż jest to test ciągły (zapętlony).");
    EXPECT_FALSE(ui.messages[0].error);
    lines[2] = "80a0";
    EXPECT_EQ(sequenceSum(lines), std::nullopt);
    EXPECT_EQ(sequenceSumText(lines), "błąd");
    lines[2] = "$10";
    EXPECT_EQ(sequenceSumText(lines), "błąd");
    EXPECT_FALSE(conveyorTest(lines, [] { return true; }));
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST(BackAndForthTest, TheWindowIsPumpedInThePauseAfterEachMove) {
    RecordingUserInterface ui;
    resetState(ui);
    loadTexts();
    resetMachine();
    auto hid = std::make_shared<ScriptedHid::State>(); // a machine always at rest
    usbLink = std::make_unique<TfUsb>(std::make_unique<ScriptedHid>(hid));
    std::set<std::size_t> reportsAtPump;
    machineWaitPump = [&] { reportsAtPump.insert(hid->reports.size()); };
    backAndForthTest({1, 0, 0}, [] { return true; });
    // Pumps between the move forth and the move back, and after the move back.
    const std::size_t total = hid->reports.size();
    ASSERT_EQ(reportsAtPump.size(), 2u);
    EXPECT_GT(*reportsAtPump.begin(), 0u);
    EXPECT_LT(*reportsAtPump.begin(), total);
    EXPECT_EQ(*reportsAtPump.rbegin(), total);
    resetMachine();
}

TEST(Calibration, FactorFromGivenAndRealized) {
    EXPECT_DOUBLE_EQ(calibrationFactor(500, 499.5, 1.0), 0.999);
    EXPECT_DOUBLE_EQ(calibrationFactor(500, 0, 1.0), 1);
    EXPECT_DOUBLE_EQ(calibrationFactor(0, 500, 1.2), 1);
    // The factor in use scales the new one: the machine moved with it already.
    EXPECT_DOUBLE_EQ(calibrationFactor(400, 404, 1.25), 1.2625);
    EXPECT_EQ(calibrationText(0.999), "0.99900000");
    EXPECT_EQ(calibrationText(1234.5), "1,234.50000000");
}

TEST(BaseCheckRules, FileNameAndTheOneMillimetreLimit) {
    std::tm start{};
    start.tm_year = 2024 - 1900;
    start.tm_mon = 2;
    start.tm_mday = 5;
    start.tm_hour = 14;
    start.tm_min = 7;
    start.tm_sec = 9;
    start.tm_isdst = -1;
    EXPECT_EQ(checkFileName(WallClock::from_time_t(std::mktime(&start))),
              "CheckBase2024-03-05.14-07-09.txt");

    EXPECT_TRUE(baseCheckFails(0.4, -1.2, 0.1));
    EXPECT_FALSE(baseCheckFails(0.4, -0.9, 0.1));
    EXPECT_FALSE(baseCheckFails(1.0, -1.0, 1.0)); // exactly 1 mm is within
    EXPECT_TRUE(baseCheckFails(0, 0, -1.001));
}

TEST(BaseCheckRules, DeviationLines) {
    TMinMax d = noDeviations();
    // Before any probe there is nothing to report rather than the extremes of a double.
    EXPECT_EQ(deviationLines(d), "odchyłka min X \r\nodchyłka max X \r\nodchyłka min Y \r\n"
                                 "odchyłka max Y \r\nodchyłka min Z \r\nodchyłka max Z \r\n");
    widenDeviations(d, 0.4, -0.9, 0.1);
    widenDeviations(d, 0.2, -0.3, 0.05);
    EXPECT_EQ(deviationLines(d), "odchyłka min X    0.200\r\nodchyłka max X    0.400\r\n"
                                 "odchyłka min Y   -0.900\r\nodchyłka max Y   -0.300\r\n"
                                 "odchyłka min Z    0.050\r\nodchyłka max Z    0.100\r\n");
}

TEST(BaseCheckRules, HeadingOfTheJobByOperationType) {
    RecordingUserInterface ui;
    resetState(ui);
    project = std::make_unique<TProjekt>();
    project->d.plikModelu = "relief.stl";
    smoothing = true;
    TOperacjaDane op;
    op.nazwa = "Rough";
    op.szybkosc = 1200;
    op.szybkoscPrzestawcza = 3000;
    op.warstwaSzer = 2.5;
    op.warstwaGrubosc = 1;
    op.kat = 30;
    op.polaczoneKonce = false;
    op.zostawDoNastOper = 0.3;
    auto text = [&](int type) {
        op.idTyp = type;
        return baseCheckJob(op, "Korvane3D").operationText;
    };
    EXPECT_EQ(text(opRoughing),
              "  Vr=1200 Vp=3000 szer.= 2.5 gł.=1 naddatek = 0.3 wygładzanie = True");
    EXPECT_EQ(text(opLayeredFinishing),
              "  Vr=1200 Vp=3000 gł.= 1 naddatek = 0.3 wygładzanie = True");
    EXPECT_EQ(text(opPlanes), "  Vr=1200 Vp=3000 szer.= 2.5 naddatek = 0.3 wygładzanie = True");
    EXPECT_EQ(text(opHatching), "  Vr=1200 Vp=3000 szer.= 2.5 kąt=30 poł.końce=False naddatek = "
                                "0.3 wygładzanie = True");
    EXPECT_EQ(text(opMixed), "  Vr=1200 Vp=3000 naddatek = 0.3 wygładzanie = True");
    const BaseCheckJob job = baseCheckJob(op, "Korvane3D");
    EXPECT_EQ(job.caption, "Korvane3D");
    EXPECT_EQ(job.modelFile, "relief.stl");
    EXPECT_EQ(job.operationName, "Rough");
    EXPECT_EQ(job.toolDescription, ""); // no tool library
}

TEST(ToolMeasurementEntry, WithoutADialogNothingIsMeasured) {
    EXPECT_FALSE(MeasureTool());
    int opened = 0;
    toolLengthDialog = [&] { return ++opened == 1; };
    EXPECT_TRUE(MeasureTool());
    EXPECT_FALSE(MeasureTool());
    EXPECT_EQ(opened, 2);
}

} // namespace
} // namespace korvane::test
