// The build workflow: its checks in order, the chain of generations, abort, the
// output list and the output file parameters.
#include "LibrarySupport.h"
#include "TestSupport.h"
#include "app/BudowaniePlikowWy.h"
#include "app/WyLista.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "geometry/Raster.h"
#include "libraries/LibraryFolders.h"
#include "libraries/LibraryState.h"
#include "machine/MachineModels.h"
#include "platform/MainLoop.h"

#include <gtest/gtest.h>
#include <limits>

using namespace korvane;

namespace {

class RecordingBuildView final : public BuildView {
  public:
    bool editMaterial() override {
        ++materialDialogs;
        return false;
    }
    void saveProjectAs() override { ++saveDialogs; }
    void setBuildCommandsEnabled(bool enabled) override { commandsEnabled = enabled; }
    void showStatus(int panel, const std::string& text) override {
        if (panel == 0) status = text;
    }
    void clearOutputs() override { outputs.clear(); }
    void generationStarted(int entry) override {
        started.push_back(entry);
        if (onStart) onStart(entry);
    }
    void progressStep() override { ++steps; }
    void generationEnded(int entry, const GenerationResult& result) override {
        outputs.push_back(entry);
        results.push_back(result);
    }
    void buildEnded() override { ++ended; }
    void beep() override {}

    int materialDialogs = 0, saveDialogs = 0, steps = 0, ended = 0;
    bool commandsEnabled = true;
    std::string status;
    std::vector<int> started, outputs;
    std::vector<GenerationResult> results;
    std::function<void(int)> onStart;
};

class Build : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui, {});
        test::loadTexts("US");
        ASSERT_NO_FATAL_FAILURE(test::openLibraries(data.path()));
        ASSERT_TRUE(createOutputFolder());
        project->d.material.rozmX = project->d.material.rozmY = project->d.material.rozmZ = 10;
        project->kopia = project->d;
        pixelSize = 0.5;
        rasterSizeX = 20;
        rasterSizeY = 20;
        modelSize = {10, 10, 2};
        modelExtents.typPliku = modelKind3D;
        allocateRasters();
        for (int ix = 0; ix <= 20; ++ix)
            for (int iy = 0; iy <= 20; ++iy) modelHeights[ix][iy] = ix < 10 ? 1.0f : 2.0f;
        rasterReady = true;
        materialRasterReady = true;
    }
    void TearDown() override {
        project.reset();
        operationLibrary.reset();
        toolLibrary.reset();
    }

    // The default hatching operation under three names, and the others unchecked.
    std::vector<BuildEntry> entries(std::initializer_list<bool> checks) {
        TOperacjaDane lining;
        EXPECT_TRUE(operationLibrary->PobierzDaneOperacjiZpliku(operationFile("Lining"), lining));
        std::vector<BuildEntry> list;
        int i = 0;
        for (bool checked : checks) {
            lining.nazwa = "Hatch" + std::to_string(i++);
            list.push_back({lining, checked});
        }
        return list;
    }

    bool runToEnd(TBudowaniePlikowWy& build) {
        return queueMainLoop().runUntil([&] { return !build.genProcWtoku; },
                                        std::chrono::seconds(60));
    }

    std::filesystem::path output(const std::string& name) {
        return dataFolder / outputFolderName / (name + ".out");
    }

    test::RecordingUserInterface ui;
    test::TempDir data;
    RecordingBuildView view;
};

} // namespace

TEST_F(Build, ThreeOperationsOneAfterAnother) {
    test::writeFile(output("Old"), "x");
    test::writeFile(dataFolder / outputFolderName / "out.bin", "x");
    TBudowaniePlikowWy build(view);
    ASSERT_TRUE(build.build(entries({true, false, true, true})));
    EXPECT_TRUE(build.genProcWtoku);
    EXPECT_FALSE(view.commandsEnabled);
    EXPECT_FALSE(std::filesystem::exists(output("Old")));
    EXPECT_FALSE(std::filesystem::exists(dataFolder / outputFolderName / "out.bin"));
    ASSERT_TRUE(runToEnd(build));
    EXPECT_EQ(view.started, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(view.outputs, (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(view.ended, 1);
    EXPECT_TRUE(view.commandsEnabled);
    EXPECT_EQ(view.status, "Output files are ready");
    EXPECT_EQ(view.steps, 3 * 6);
    for (const char* name : {"Hatch0", "Hatch2", "Hatch3"})
        EXPECT_TRUE(std::filesystem::exists(output(name))) << name;
    EXPECT_FALSE(std::filesystem::exists(output("Hatch1")));

    TListaWy list;
    ASSERT_EQ(list.Lista.size(), 3u);
    EXPECT_EQ(list.Lista[0]->nazwa, "Hatch0");
    EXPECT_EQ(list.Lista[0]->idTyp, -1); // not in the library under this name
}

TEST_F(Build, AbortDuringTheSecondStopsTheChain) {
    TBudowaniePlikowWy build(view);
    view.onStart = [&](int entry) {
        if (entry == 1) build.abort();
    };
    ASSERT_TRUE(build.build(entries({true, true, true})));
    ASSERT_TRUE(runToEnd(build));
    EXPECT_EQ(view.started, (std::vector<int>{0, 1}));
    EXPECT_EQ(view.ended, 1);
    EXPECT_TRUE(std::filesystem::exists(output("Hatch0")));
    EXPECT_FALSE(std::filesystem::exists(output("Hatch2")));
    EXPECT_FALSE(build.genProcWtoku);
    EXPECT_EQ(view.status, "Building of the output files was stopped");
}

TEST_F(Build, OperationThatCannotMakePathsIsRefusedBeforeAnythingChanges) {
    test::writeFile(output("Old"), "x");
    TBudowaniePlikowWy build(view);
    const double cell = pixelSize;
    auto refused = [&](std::vector<BuildEntry> list, const std::string& message) {
        EXPECT_FALSE(build.build(std::move(list)));
        EXPECT_EQ(ui.messages.back().text, message);
        EXPECT_FALSE(build.genProcWtoku);
        EXPECT_TRUE(view.started.empty());
        EXPECT_TRUE(view.commandsEnabled);
        EXPECT_TRUE(std::filesystem::exists(output("Old")));
        EXPECT_DOUBLE_EQ(pixelSize, cell);
    };
    const std::string noPaths = "No tool paths can be made for the operation \xC2\xBB";
    auto list = entries({true, false, true});
    list[2].oper.warstwaSzer = 0;
    refused(list, noPaths + "Hatch2\xC2\xAB\r\n\xC2\xBBStep-over\xC2\xAB: the value must be "
                            "greater than 0.");
    // A facing step of 0 would also have made the raster's cells 0 wide.
    list[2].oper.idTyp = opPlanes;
    refused(list, noPaths + "Hatch2\xC2\xAB\r\n\xC2\xBBStep-over\xC2\xAB: the value must be "
                            "greater than 0.");
    list[2].oper.idTyp = opLayeredFinishing;
    list[2].oper.warstwaGrubosc = std::numeric_limits<double>::quiet_NaN();
    refused(list, noPaths + "Hatch2\xC2\xAB\r\n\xC2\xBBLayer depth\xC2\xAB: the value "
                            "must be greater than 0.");
    list[0].oper.idTyp = opRoughing;
    list[0].oper.warstwaGrubosc = -1;
    refused(list, noPaths + "Hatch0\xC2\xAB\r\n\xC2\xBBLayer depth\xC2\xAB: the value "
                            "must be greater than 0.");
    EXPECT_EQ(view.materialDialogs, 0);
    // A step finer than the output files' resolution would make endless
    // passes (a layer depth of 1e-300 never reached the bottom).
    list = entries({true});
    list[0].oper.idTyp = opRoughing;
    list[0].oper.warstwaGrubosc = 1e-300;
    refused(list, noPaths + "Hatch0\xC2\xAB\r\n\xC2\xBBLayer depth\xC2\xAB: the value must be at "
                            "least 0.001 mm, the finest step of the output files.");
    // So would a block no machine takes: 1e300 mm of stock kept the roughing
    // adding layers for ever.
    project->d.material.rozmZ = 1e300;
    project->kopia = project->d;
    refused(entries({true}),
            "The material is larger than a machine takes: height, coating and pad at most "
            "170 mm, width and length at most 10 000 mm. Correct it in the material dialog.");
    project->d.material.rozmZ = 10;
    project->kopia = project->d;

    // Unchecked, such an operation stands in nobody's way.
    list = entries({true, false});
    list[1].oper.warstwaSzer = 0;
    ASSERT_TRUE(build.build(list));
    ASSERT_TRUE(runToEnd(build));
    EXPECT_EQ(view.status, "Output files are ready");
}

TEST_F(Build, StatusNamesTheOperationsThatWroteNoFile) {
    TBudowaniePlikowWy build(view);
    // Layered finishing whose lowest level lies above the model meets no
    // contour; an operation of a type without a strategy makes nothing.
    auto list = entries({true, true, true});
    list[1].oper.idTyp = opLayeredFinishing;
    list[1].oper.warstwaGrubosc = 0.5;
    list[1].oper.granicaZdolna = 50;
    list[2].oper.idTyp = opOutline;
    ASSERT_TRUE(build.build(list));
    ASSERT_TRUE(runToEnd(build));
    ASSERT_EQ(view.results.size(), 3u);
    EXPECT_TRUE(view.results[0].written);
    EXPECT_FALSE(view.results[1].written);
    EXPECT_FALSE(view.results[2].written);
    EXPECT_EQ(view.status, "No output file was made (no tool paths) for \xC2\xBBHatch1\xC2\xAB, "
                           "\xC2\xBBHatch2\xC2\xAB");
    // The next build that writes every file says so.
    ASSERT_TRUE(build.build(entries({true})));
    ASSERT_TRUE(runToEnd(build));
    EXPECT_EQ(view.status, "Output files are ready");
}

TEST_F(Build, ChecksInOrder) {
    TBudowaniePlikowWy build(view);
    // Material first: its dialog opens; cancelled, nothing happens.
    project->d.material.zrodlo = materialCoating;
    project->kopia = project->d;
    EXPECT_FALSE(build.build(entries({true})));
    EXPECT_EQ(view.materialDialogs, 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Main_window", "zdefiniujMaterial"));
    project->d.material.gruboscPowloki = 2;

    // An unsaved project asks to be saved first.
    EXPECT_FALSE(build.build(entries({true})));
    EXPECT_EQ(view.saveDialogs, 1);
    EXPECT_EQ(ui.messages.back().text, txt("Main_window", "zapiszProjektTeraz"));
    project->kopia = project->d;

    EXPECT_FALSE(build.build(entries({false, false})));
    EXPECT_EQ(ui.messages.back().text, "Check at least one operation in the list.");

    auto list = entries({false, true});
    list[1].oper.narzedzie = "{nothing}";
    EXPECT_FALSE(build.build(list));
    EXPECT_EQ(ui.messages.back().text,
              "The tool library has no tool for the operation \xC2\xBBHatch1\xC2\xAB ");

    // No raster and none being built: refused instead of waiting for ever.
    rasterReady = false;
    EXPECT_FALSE(build.build(entries({true})));
    EXPECT_EQ(ui.messages.back().text, txt("Main_window", "brakRastraModelu"));
    EXPECT_FALSE(build.genProcWtoku);
    EXPECT_TRUE(view.started.empty());
}

TEST_F(Build, FacingNarrowerThanACellRefinesTheRaster) {
    TBudowaniePlikowWy build(view);
    bool rebuilt = false;
    build.startRasterBuild = [&] { rebuilt = true; };
    build.rasterBuilding = [&] { return rebuilt && !rasterReady; };
    auto list = entries({true});
    list[0].oper.idTyp = opPlanes;
    list[0].oper.warstwaSzer = 0.1;
    ASSERT_TRUE(build.build(list));
    EXPECT_TRUE(rebuilt);
    EXPECT_DOUBLE_EQ(pixelSize, 0.1);
    EXPECT_DOUBLE_EQ(effectiveResolution, 10);
    EXPECT_EQ(rasterSizeX, 101);
    EXPECT_EQ(rasterSizeZ, 200); // (material 10 + 10) / 0.1
    // The generation waits for the raster until it is built.
    queueMainLoop().drain();
    EXPECT_TRUE(build.genProcWtoku);
    allocateRasters();
    rasterReady = true;
    ASSERT_TRUE(runToEnd(build));
    ASSERT_EQ(view.results.size(), 1u);
    EXPECT_TRUE(view.results[0].error.empty()) << view.results[0].error;
    EXPECT_FALSE(view.results[0].aborted);
}

TEST_F(Build, OutputFileParameters) {
    TOperacjaDane oper;
    oper.idTyp = opHatching;
    oper.szybkosc = 3000;
    machineParams.newSpeedEncoding = 1;
    auto p = outputParameters(12000, 5, 0, &oper);
    EXPECT_EQ(p.length, "12.0 m");
    EXPECT_EQ(p.time, "4 min");
    EXPECT_EQ(p.body, "Tool path length : 12.0 m\r\nEstimated machining time : 4 min");
    machineParams.newSpeedEncoding = 0;
    EXPECT_EQ(outputParameters(12000, 5, 0, &oper).time, "14 min");
    oper.idTyp = opRoughing;
    EXPECT_EQ(outputParameters(300000, 10, 0, &oper).time, "1 h 47 min"); // 100 + 7
    EXPECT_EQ(outputParameters(300000, 10, 0, nullptr).time, "");
    oper.szybkosc = 0; // no feed: no time rather than an endless one
    EXPECT_EQ(outputParameters(300000, 10, 0, &oper).time, "");

    settings.jednostkaMiary = unitInch;
    unitTable[1].skrot = "in";
    EXPECT_EQ(outputParameters(25400, 1, 0, nullptr).length, "1000.000 in");
    settings.printer3D = true;
    oper.idTyp = opPrinting;
    oper.szybkosc = 1000;
    oper.warstwaSzer = 0.4;
    oper.warstwaGrubosc = 0.2;
    p = outputParameters(1000, 1, 0, &oper);
    EXPECT_EQ(p.volume, "80mm3");
    EXPECT_NE(p.body.find("\r\nObjetosc : 80mm3"), std::string::npos);
}

TEST_F(Build, OutputListSortsLikeTheOperationLibrary) {
    for (const char* name : {"Lining", "Roughing", "Surfacing", "zzz"})
        test::writeFile(output(name), "Operation type=0\r\n");
    test::writeFile(dataFolder / outputFolderName / "a.bin", "x");
    TListaWy list;
    ASSERT_EQ(list.Lista.size(), 4u);
    EXPECT_EQ(list.Lista[0]->nazwa, "zzz"); // unknown type -1 first
    EXPECT_EQ(list.Lista[1]->nazwa, "Roughing");
    EXPECT_EQ(list.Lista[2]->nazwa, "Surfacing");
    EXPECT_EQ(list.Lista[3]->nazwa, "Lining");
    EXPECT_EQ(list.Lista[3]->idTyp, 3);
    EXPECT_DOUBLE_EQ(list.Lista[3]->warstwaSzer, 0.3);
}
