// The operation dialog's logic: the groups of each type, the automatic
// defaults, the limits from the machine, the checks of OK in order, hostile
// text in every numeric field, the saved file key for key, renaming, and the
// operation pane's add and edit around it.
#include "LibrarySupport.h"
#include "RecordingView.h"
#include "TestSupport.h"

#include "app/OperacjeDlg.h"
#include "app/OperationPane.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "libraries/LibraryFolders.h"
#include "libraries/LibraryState.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class Recorder : public OperationDialogView {
  public:
    void showOperationFields() override { ++shown; }
    void focusOperationField(OperationField field) override { focus = field; }
    std::optional<std::string> askPlotFile(const std::filesystem::path& folder) override {
        asked.push_back(folder);
        return answer;
    }
    int shown = 0;
    std::optional<OperationField> focus;
    std::vector<std::filesystem::path> asked;
    std::optional<std::string> answer;
};

const char* const ball3 = "{7F0E47C7-6097-46F0-9034-F741CF02E737}";

class OperationDialog : public ::testing::Test {
  protected:
    void SetUp() override { start({}); }
    void start(std::vector<std::string> arguments) {
        test::resetState(ui, std::move(arguments));
        test::loadTexts("US");
        texts->loadOperationTypes();
        ASSERT_NO_FATAL_FAILURE(test::openLibraries(data.path()));
    }
    void TearDown() override {
        project.reset();
        operationLibrary.reset();
        toolLibrary.reset();
    }
    static int typeIndex(const TfOperacjeDlg& dlg, int code) {
        for (std::size_t i = 0; i < dlg.types().size(); ++i)
            if (dlg.types()[i].id == code) return static_cast<int>(i);
        return -1;
    }
    static int toolIndex(const TfOperacjeDlg& dlg, const std::string& name) {
        for (std::size_t i = 0; i < dlg.tools().size(); ++i)
            if (dlg.tools()[i].name == name) return static_cast<int>(i);
        return -1;
    }
    int operationIndex(const std::string& name) const {
        for (std::size_t i = 0; i < operationLibrary->Lista.size(); ++i)
            if (operationLibrary->Lista[i]->nazwa == name) return static_cast<int>(i);
        return -1;
    }
    std::string lastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
    std::size_t operationFiles() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e :
             std::filesystem::directory_iterator(operationsFolder()))
            ++n;
        return n;
    }

    test::RecordingUserInterface ui;
    test::TempDir data;
    Recorder view;
};

std::string crlf(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}

} // namespace

TEST_F(OperationDialog, GroupsOfEachType) {
    const OperationGroups roughing = operationGroups(opRoughing);
    EXPECT_TRUE(roughing.tool && roughing.width && roughing.depth && roughing.softEntry &&
                roughing.allowance && roughing.speeds && roughing.plungeAndSpindle &&
                roughing.zLimits);
    EXPECT_FALSE(roughing.plotFile || roughing.grouping || roughing.angle || roughing.connect ||
                 roughing.printer || roughing.outline || roughing.precise);
    const OperationGroups mixed = operationGroups(opMixed);
    EXPECT_TRUE(mixed.width && mixed.connect && !mixed.depth && !mixed.angle);
    EXPECT_TRUE(operationGroups(opPlotHatching).plotFile);
    EXPECT_TRUE(operationGroups(opHatching).angle);
    const OperationGroups printing = operationGroups(opPrinting);
    EXPECT_TRUE(printing.width && printing.depth && printing.grouping && printing.printer &&
                printing.speeds && printing.zLimits);
    EXPECT_FALSE(printing.tool || printing.allowance || printing.plungeAndSpindle);
    const OperationGroups outline = operationGroups(opOutline);
    EXPECT_TRUE(outline.outline);
    EXPECT_FALSE(outline.speeds || outline.zLimits || outline.tool || outline.width);
    EXPECT_FALSE(operationGroups(opUnknown).speeds);
    EXPECT_FALSE(operationGroups(opMixed).precise); // only with "PrecCalc"
    start({"PrecCalc"});
    EXPECT_TRUE(operationGroups(opMixed).precise);
    EXPECT_FALSE(operationGroups(opRoughing).precise);
}

TEST_F(OperationDialog, TypeListFollowsItsSwitches) {
    TfOperacjeDlg without(view);
    EXPECT_EQ(without.types().size(), 7u);
    EXPECT_EQ(typeIndex(without, opPrinting), -1);
    EXPECT_EQ(without.tools().size(), 4u);
    start({"showPrinter3D"});
    TfOperacjeDlg with(view);
    EXPECT_EQ(with.types().size(), 8u);
}

TEST_F(OperationDialog, DefaultsFollowTypeAndToolUntilEditedByHand) {
    TfOperacjeDlg dlg(view);
    EXPECT_EQ(dlg.caption(), "New operation");
    EXPECT_EQ(dlg.warstwaSzer.text(), "");
    dlg.chooseTool(toolIndex(dlg, "EndSloting6"));
    dlg.chooseType(typeIndex(dlg, opRoughing));
    EXPECT_EQ(dlg.warstwaSzer.text(), "3.000");
    EXPECT_EQ(dlg.warstwaGrubosc.text(), "3.000");
    EXPECT_EQ(dlg.zostawDoNastOper.text(), "1.000");
    EXPECT_EQ(dlg.szybkosc.text(), "1000.000"); // maxFeed
    EXPECT_EQ(dlg.szybkoscPrzestawcza.text(), "1000.000");
    EXPECT_EQ(dlg.posuwWiercenia.text(), "90.000"); // 180 / 2
    EXPECT_EQ(dlg.obroty.text(), "24000");
    EXPECT_EQ(dlg.kat.text(), "90");
    EXPECT_EQ(dlg.granicaZdolna.text(), "0.000");
    EXPECT_EQ(dlg.granicaZgorna.text(), "170.000");
    EXPECT_EQ(dlg.tempRobocza.text(), "180");
    EXPECT_EQ(dlg.iloscObrysow.text(), "1");
    EXPECT_EQ(dlg.poziomObrysu.text(), "100");
    EXPECT_TRUE(dlg.warstwyGrupowanie && dlg.automatycznyPoziom);
    EXPECT_FALSE(dlg.polaczoneKonce || dlg.miekkieWejscie || dlg.ObliczeniaPrecyzyjne);
    // Hatching before any edit by hand: the defaults again.
    dlg.chooseType(typeIndex(dlg, opHatching));
    EXPECT_EQ(dlg.zostawDoNastOper.text(), "0.000");
    EXPECT_EQ(dlg.szybkosc.text(), "3000.000"); // finishingFeedLimit
    dlg.chooseTool(toolIndex(dlg, "Ball3"));
    EXPECT_EQ(dlg.warstwaSzer.text(), "1.500");
    // After an edit by hand they stay; the feed is only lowered to the new limit.
    dlg.warstwaSzer.setText("0.2");
    dlg.parameterEdited();
    dlg.chooseTool(toolIndex(dlg, "EndSloting6"));
    dlg.chooseType(typeIndex(dlg, opRoughing));
    EXPECT_EQ(dlg.warstwaSzer.text(), "0.2");
    EXPECT_EQ(dlg.zostawDoNastOper.text(), "0.000");
    EXPECT_EQ(dlg.szybkosc.text(), "1000.000");
    dlg.applyDefaults(); // the defaults button
    EXPECT_EQ(dlg.warstwaSzer.text(), "3.000");
    EXPECT_FALSE(dlg.zmienianoRecznie);
}

TEST_F(OperationDialog, SpindleLimitsComeFromTheMachine) {
    machineParams.spindleSpeedMin = 6000;
    machineParams.spindleSpeedMax = 12000;
    TfOperacjeDlg dlg(view);
    dlg.setName("Spin");
    dlg.chooseTool(toolIndex(dlg, "Ball3"));
    dlg.chooseType(typeIndex(dlg, opPlanes));
    EXPECT_EQ(dlg.obroty.text(), "12000");
    dlg.obroty.setText("12001");
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(), "In the field  »Spindle speed«  the value is out of the permitted "
                             "range.\r\n( min= 6,000.00; max= 12,000.00 )");
    EXPECT_EQ(view.focus, OperationField::spindle);
    dlg.obroty.setText("5999");
    EXPECT_FALSE(dlg.ok());
    dlg.obroty.setText("6000");
    EXPECT_TRUE(dlg.ok());
}

TEST_F(OperationDialog, ChecksInOrderWithTheirFocus) {
    TfOperacjeDlg dlg(view);
    auto refused = [&](const std::string& message, OperationField focus) {
        view.focus.reset();
        EXPECT_FALSE(dlg.ok());
        EXPECT_EQ(lastMessage(), message);
        EXPECT_EQ(view.focus, focus);
    };
    refused("Enter the operation name.", OperationField::name);
    dlg.setName("roughing");
    refused("An operation of this name already exists.", OperationField::name);
    dlg.setName("Plan.B");
    refused("The name may not contain any of these characters:\n\r/\\.:?*<>", OperationField::name);
    dlg.setName("PlanB");
    refused("Choose the operation type.", OperationField::type);
    dlg.chooseType(typeIndex(dlg, opPlotHatching));
    refused("Choose the plot file whose lines are to be machined.", OperationField::plotFile);
    ASSERT_EQ(view.asked.size(), 1u); // the plot file dialog opened, in the program's folder
    EXPECT_EQ(view.asked[0], exeFolder);
    view.answer = (data / "missing.plt").string();
    refused("The plot file does not exist:\r\n" + (data / "missing.plt").string(),
            OperationField::plotFile);
    test::writeFile(data / "lines.plt", "IN;PU0,0;PD100,0;");
    view.answer = (data / "lines.plt").string();
    dlg.choosePlotFile();
    EXPECT_EQ(dlg.plikPlt, (data / "lines.plt").string());
    refused("Choose a tool.", OperationField::tool);
    dlg.chooseTool(toolIndex(dlg, "Ball3"));
    dlg.granicaZdolna.setText("20");
    dlg.granicaZgorna.setText("19.999");
    refused("Lower Z limit may not be greater than Upper Z limit", OperationField::lowerZ);
    dlg.granicaZgorna.setText("20");
    EXPECT_TRUE(dlg.ok());
    EXPECT_EQ(dlg.Operacja_Dane.nazwa, "PlanB");
}

TEST_F(OperationDialog, HostileTextInEveryNumericFieldIsNeverSaved) {
    start({"showPrinter3D"});
    struct Case {
        int type;
        FltField TfOperacjeDlg::*field;
        OperationField id;
        const char* below; // just outside the limits
        const char* above;
    };
    const Case cases[] = {
        {opRoughing, &TfOperacjeDlg::warstwaSzer, OperationField::width, "-0.001", "1000.001"},
        {opRoughing, &TfOperacjeDlg::warstwaGrubosc, OperationField::depth, "-0.001", "1000.001"},
        {opHatching, &TfOperacjeDlg::kat, OperationField::angle, "-360.001", "360.001"},
        {opRoughing, &TfOperacjeDlg::zostawDoNastOper, OperationField::allowance, "-0.001",
         "1000.001"},
        {opRoughing, &TfOperacjeDlg::szybkosc, OperationField::feed, "11.999", "1000.001"},
        {opPlanes, &TfOperacjeDlg::szybkosc, OperationField::feed, "11.999", "3000.001"},
        {opRoughing, &TfOperacjeDlg::szybkoscPrzestawcza, OperationField::rapid, "11.999",
         "1000.001"},
        {opRoughing, &TfOperacjeDlg::posuwWiercenia, OperationField::plunge, "-0.001", "180.001"},
        {opRoughing, &TfOperacjeDlg::obroty, OperationField::spindle, "2999.9", "24000.1"},
        {opRoughing, &TfOperacjeDlg::granicaZdolna, OperationField::lowerZ, "-10000.001",
         "10000.001"},
        {opRoughing, &TfOperacjeDlg::granicaZgorna, OperationField::upperZ, "-10000.001",
         "10000.001"},
        {opPrinting, &TfOperacjeDlg::tempRobocza, OperationField::temperature, "-0.1", "250.1"},
        {opPrinting, &TfOperacjeDlg::zuzycieMaterialu, OperationField::materialUse, "-0.1",
         "200.1"},
        {opPrinting, &TfOperacjeDlg::iloscObrysow, OperationField::outlines, "2.5", "1001"},
        {opOutline, &TfOperacjeDlg::poziomObrysu, OperationField::level, "-0.1", "100.1"},
    };
    for (const Case& c : cases)
        for (const char* text : {"", "abc", "--5", "5-", "1.2.3", "1,5", "nan", "inf", "-inf",
                                 "1e999", c.below, c.above}) {
            TfOperacjeDlg dlg(view);
            dlg.setName("Hostile");
            dlg.chooseTool(toolIndex(dlg, "Ball3"));
            dlg.chooseType(typeIndex(dlg, c.type));
            (dlg.*c.field).setText(text);
            view.focus.reset();
            EXPECT_FALSE(dlg.ok()) << c.type << " " << text;
            EXPECT_EQ(view.focus, c.id) << c.type << " " << text;
        }
    EXPECT_FALSE(std::filesystem::exists(operationsFolder() / "Hostile.opr"));
    EXPECT_EQ(operationFiles(), 6u);
}

TEST_F(OperationDialog, HatchingWithConnectedEndsIsSavedKeyForKey) {
    TfOperacjeDlg dlg(view);
    dlg.setName("Hatch");
    dlg.chooseType(typeIndex(dlg, opHatching));
    dlg.chooseTool(toolIndex(dlg, "Ball3"));
    dlg.granicaZdolna.setText("5");
    dlg.granicaZgorna.setText("20");
    dlg.parameterEdited();
    dlg.setConnect(true);
    EXPECT_FALSE(dlg.zLimitsEnabled());
    EXPECT_EQ(dlg.granicaZdolna.text(), "0.000");
    EXPECT_EQ(dlg.granicaZgorna.text(), "170.000");
    dlg.opis = "test run";
    ASSERT_TRUE(dlg.ok());
    EXPECT_EQ(
        test::readFile(operationsFolder() / "Hatch.opr"),
        crlf({"[Operacja]", "nazwa=Hatch", "idTyp=3",
              "narzedzie={7F0E47C7-6097-46F0-9034-F741CF02E737}", "warstwaSzer=1.5", "kat=90",
              "polaczoneKonce=1", "zostawDoNastOper=0", "szybkosc=3000", "szybkoscPrzestawcza=1000",
              "posuwWiercenia=90", "obroty=24000", "dolnaGranicaZ=0", "gornaGranicaZ=170",
              "obliczeniaPrecyzyjne=0", "opis=test run"}));
    dlg.setConnect(false);
    EXPECT_TRUE(dlg.zLimitsEnabled());
}

TEST_F(OperationDialog, EditingLoadsTheRecordAndRenamingKeepsOneFile) {
    const int index = operationIndex("Lining");
    ASSERT_GE(index, 0);
    TOperacjaDane lining = *operationLibrary->Lista[static_cast<std::size_t>(index)];
    lining.granicaZdolna = 5; // connected hatching ends ignore these
    lining.granicaZgorna = 20;
    TfOperacjeDlg dlg(view, lining, index);
    EXPECT_EQ(dlg.caption(), "Edit operation");
    EXPECT_EQ(dlg.biezacyTypOper, opHatching);
    EXPECT_EQ(dlg.toolIndex(), toolIndex(dlg, "Ball3"));
    EXPECT_EQ(dlg.warstwaSzer.text(), "0.300");
    EXPECT_TRUE(dlg.polaczoneKonce);
    // Another operation's name asks first; only Yes goes on.
    dlg.setName("Layering");
    for (Button answer : {Button::No, Button::Cancel}) {
        ui.answer = answer;
        EXPECT_FALSE(dlg.ok());
        ASSERT_FALSE(ui.questions.empty());
        EXPECT_EQ(ui.questions.back(), "Another operation already has this name. Overwrite it?");
        EXPECT_EQ(view.focus, OperationField::name);
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.questions.size(), 2u);
    dlg.setName("Lining fine");
    ASSERT_TRUE(dlg.ok());
    EXPECT_FALSE(std::filesystem::exists(operationsFolder() / "Lining.opr"));
    TOperacjaDane read;
    ASSERT_TRUE(TOperacje::PobierzDaneOperacjiZpliku(operationsFolder() / "Lining fine.opr", read));
    EXPECT_EQ(read.nazwa, "Lining fine");
    EXPECT_EQ(read.narzedzie, ball3);
    EXPECT_EQ(read.warstwaSzer, 0.3);
    EXPECT_EQ(read.granicaZdolna, 0);
    EXPECT_EQ(read.granicaZgorna, 170);
    EXPECT_EQ(operationFiles(), 6u);
}

TEST_F(OperationDialog, PaneRenamesTheOperationInTheProcess) {
    test::RecordingView window;
    OperationPane pane(window);
    pane.fill();
    const int lining = operationIndex("Lining");
    pane.setChecked(lining, true);
    pane.setChecked(operationIndex("Roughing"), true);
    ASSERT_EQ(project->d.lProcesu, (std::vector<std::string>{"Lining", "Roughing"}));
    window.operationDialog = [&](const TOperacjaDane* o, int index) -> std::optional<std::string> {
        if (!o) {
            TfOperacjeDlg dlg(view);
            dlg.setName("Print");
            dlg.chooseType(typeIndex(dlg, opOutline));
            if (!dlg.ok()) return std::nullopt;
            return dlg.Operacja_Dane.nazwa;
        }
        TfOperacjeDlg dlg(view, *o, index);
        dlg.setName("Lines");
        if (!dlg.ok()) return std::nullopt;
        return dlg.Operacja_Dane.nazwa;
    };
    pane.select(lining);
    pane.edit();
    EXPECT_EQ(project->d.lProcesu, (std::vector<std::string>{"Lines", "Roughing"}));
    ASSERT_GE(window.operationSelected, 0);
    EXPECT_EQ(window.operations[static_cast<std::size_t>(window.operationSelected)], "Lines");
    EXPECT_TRUE(window.checked[static_cast<std::size_t>(window.operationSelected)]);
    pane.add();
    EXPECT_EQ(window.operations.size(), 7u);
    EXPECT_EQ(window.operations[static_cast<std::size_t>(window.operationSelected)], "Print");
}

TEST_F(OperationDialog, EditedOperationReplacesTheOneWhoseNameItTakes) {
    test::RecordingView window;
    OperationPane pane(window);
    pane.fill();
    pane.setChecked(operationIndex("Lining"), true);
    pane.setChecked(operationIndex("Layering"), true);
    window.operationDialog = [&](const TOperacjaDane* o, int index) -> std::optional<std::string> {
        TfOperacjeDlg dlg(view, *o, index);
        dlg.setName("layering");
        if (!dlg.ok()) return std::nullopt;
        return dlg.Operacja_Dane.nazwa;
    };
    pane.select(operationIndex("Lining"));
    pane.edit();
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(operationsFolder() / "Lining.opr"));
    EXPECT_FALSE(std::filesystem::exists(operationsFolder() / "Layering.opr"));
    TOperacjaDane read;
    ASSERT_TRUE(TOperacje::PobierzDaneOperacjiZpliku(operationsFolder() / "layering.opr", read));
    EXPECT_EQ(read.idTyp, opHatching);
    EXPECT_EQ(operationFiles(), 5u);
    EXPECT_EQ(window.operations.size(), 5u);
    EXPECT_EQ(project->d.lProcesu, (std::vector<std::string>{"layering"}));
}
