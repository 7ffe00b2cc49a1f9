// Opening models in the main window's logic: the open dialog, the loading
// chain up to the finished raster, a model that fails to load, pictures
// through the relief dialog, a project's model and stock model, the build
// command's first checks, and a running build's hold on its operations.
#include "RecordingView.h"
#include "TestSupport.h"

#include "app/Glowny.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "geometry/Raster.h"
#include "libraries/LibraryState.h"
#include "libraries/Operacje.h"
#include "machine/MachineState.h"
#include "output/OldPreview.h"
#include "platform/MainLoop.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

const std::string picture = std::string(KORVANE_SOURCE_DIR) + "/samples/relief.bmp";

// A binary STL of the box 0..x, 0..y, 0..z (12 facets).
void writeBox(const std::filesystem::path& file, float x, float y, float z) {
    const float c[8][3] = {{0, 0, 0}, {x, 0, 0}, {x, y, 0}, {0, y, 0},
                           {0, 0, z}, {x, 0, z}, {x, y, z}, {0, y, z}};
    const int faces[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                              {1, 2, 6}, {1, 6, 5}, {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7}};
    std::string bytes(80, ' ');
    const std::uint32_t count = 12;
    bytes.append(reinterpret_cast<const char*>(&count), 4);
    for (const auto& f : faces) {
        const float zero[3] = {0, 0, 0};
        bytes.append(reinterpret_cast<const char*>(zero), 12);
        for (int v : f) bytes.append(reinterpret_cast<const char*>(c[v]), 12);
        bytes.append(2, '\0');
    }
    test::writeFile(file, bytes);
}

class WindowModel : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        test::resetState(ui, {"95", "US", "dataDir='" + (dir / "data").string() + "'"});
        window = std::make_unique<TfGlowny>(view, false);
        ASSERT_TRUE(window->FormCreate());
        ASSERT_DOUBLE_EQ(pixelSize, 0.2);
    }
    void TearDown() override { window.reset(); }

    bool settle() {
        return queueMainLoop().runUntil(
            [&] {
                return !window->modelOpening().loading() &&
                       !window->modelOpening().modelRasterComing() && materialRasterReady;
            },
            std::chrono::seconds(120));
    }
    void open(const std::filesystem::path& file) {
        view.fileAnswers.push_back(file.string());
        window->mModelOtworzClick();
    }

    test::RecordingUserInterface ui;
    test::TempDir dir, runtime;
    test::RecordingView view;
    std::unique_ptr<TfGlowny> window;
};

} // namespace

TEST_F(WindowModel, StlOpensThenItsRasterBuildsInEitherCase) {
    writeBox(dir / "box.stl", 100, 80, 20);
    open(dir / "box.stl");
    ASSERT_EQ(view.openRequests.size(), 1u);
    EXPECT_EQ(view.openRequests[0].title, txt("Main_window", "wybierzPlikMOdelu"));
    EXPECT_EQ(
        view.openRequests[0].filter,
        txt("Universal", "wszystkiePliki") +
            " (*.raw, *.dxf, *.stl, *.obj, *.ply, *.3mf, *.off, *.gltf, *.glb, *.bmp, "
            "*.jpg)|*.raw;*.dxf;*.stl;*.obj;*.ply;*.3mf;*.off;*.gltf;*.glb;*.bmp;*.jpg|"
            "RAW triangle model (*.raw)|*.raw|3D DXF drawing (*.dxf)|*.dxf|"
            "STL mesh (*.stl)|*.stl|Bitmap picture (*.bmp)|*.bmp|"
            "JPEG picture (*.jpg)|*.jpg|OBJ, PLY, 3MF, OFF, glTF "
            "(*.obj, *.ply, *.3mf, *.off, *.gltf, *.glb)|*.obj;*.ply;*.3mf;*.off;*.gltf;*.glb");
    EXPECT_EQ(view.openRequests[0].initialFolder, dataFolder);
    // While it loads: view locked, the loading text, commands and output list off.
    EXPECT_TRUE(view.modelViewLocked);
    EXPECT_EQ(view.status[0], "Reading the model...");
    EXPECT_EQ(view.modelPath, "Reading the model...");
    EXPECT_FALSE(view.buildCommandsEnabled);
    EXPECT_FALSE(view.outputListEnabled);
    EXPECT_FALSE(rasterReady);

    ASSERT_TRUE(settle());
    EXPECT_TRUE(rasterReady);
    EXPECT_FALSE(view.modelViewLocked);
    EXPECT_TRUE(view.buildCommandsEnabled);
    EXPECT_TRUE(view.outputListEnabled);
    EXPECT_EQ(view.modelShown, 1);
    EXPECT_EQ(view.modelPath, (dir / "box.stl").string());
    EXPECT_EQ(view.status[0], " ");
    EXPECT_EQ(modelTriangles.size(), 12u);
    EXPECT_EQ(modelExtents.typPliku, modelKind3D);
    EXPECT_EQ(project->d.plikModelu, (dir / "box.stl").string());
    // 100 x 80 x 20 mm at 0.2 mm: 500, 400 and 150.
    EXPECT_EQ(rasterSizeX, 500);
    EXPECT_EQ(rasterSizeY, 400);
    EXPECT_EQ(rasterSizeZ, 150);
    EXPECT_FLOAT_EQ(modelHeights[250][200], 20.0f);
    EXPECT_TRUE(ui.messages.empty());

    // The dialog now starts in the model's folder; capitals load the same way.
    writeBox(dir / "BOX2.STL", 50, 40, 10);
    open(dir / "BOX2.STL");
    EXPECT_EQ(view.openRequests[1].initialFolder, dir.path());
    ASSERT_TRUE(settle());
    EXPECT_EQ(modelTriangles.size(), 12u);
    EXPECT_EQ(rasterSizeX, 250);
    EXPECT_EQ(rasterSizeY, 200);
    EXPECT_EQ(rasterSizeZ, 100);
    EXPECT_FLOAT_EQ(modelHeights[125][100], 10.0f);
}

TEST_F(WindowModel, MeshFromAnotherToolOpensLikeAnStl) {
    // A 10 x 20 x 5 mm box of quads in OBJ, standing off the origin.
    std::ofstream(dir / "box.obj") << "v 1 2 3\nv 11 2 3\nv 11 22 3\nv 1 22 3\n"
                                      "v 1 2 8\nv 11 2 8\nv 11 22 8\nv 1 22 8\n"
                                      "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\n"
                                      "f 3 4 8 7\nf 4 1 5 8\n";
    open(dir / "box.obj");
    ASSERT_TRUE(settle());
    EXPECT_TRUE(rasterReady);
    EXPECT_EQ(modelTriangles.size(), 12u);
    EXPECT_EQ(modelExtents.typPliku, modelKind3D);
    EXPECT_EQ(view.modelPath, (dir / "box.obj").string());
    EXPECT_FLOAT_EQ(modelSize.x, 10);
    EXPECT_FLOAT_EQ(modelSize.y, 20);
    EXPECT_FLOAT_EQ(modelSize.z, 8);
}

TEST_F(WindowModel, ModelThatFailsToLoadLeavesThePreviousModelAndRaster) {
    writeBox(dir / "box.stl", 100, 80, 20);
    open(dir / "box.stl");
    ASSERT_TRUE(settle());
    ASSERT_TRUE(rasterReady);
    // An STL without a single facet.
    test::writeFile(dir / "cut.stl", "solid empty\nendsolid empty\n");
    open(dir / "cut.stl");
    ASSERT_TRUE(settle());

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].error);
    EXPECT_EQ(ui.messages[0].text.rfind(
                  txt("Other", "zbiorPusty") + "\r\n" + (dir / "cut.stl").string(), 0),
              0u);
    EXPECT_EQ(modelTriangles.size(), 12u);
    EXPECT_EQ(modelExtents.plik_RAW, (dir / "box.stl").string());
    EXPECT_EQ(project->d.plikModelu, (dir / "box.stl").string());
    EXPECT_TRUE(rasterReady);
    EXPECT_EQ(rasterSizeX, 500);
    EXPECT_FLOAT_EQ(modelHeights[250][200], 20.0f);
    EXPECT_FALSE(view.modelViewLocked);
    EXPECT_TRUE(view.buildCommandsEnabled);
    EXPECT_EQ(view.modelPath, (dir / "box.stl").string());

    // A file that is not there: the message, nothing starts.
    open(dir / "none.stl");
    EXPECT_FALSE(window->modelOpening().loading());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text,
              txt("Universal", "txtPlikuBrak") + "\r\n" + (dir / "none.stl").string());
    // A file of another kind: nothing at all.
    test::writeFile(dir / "notes.txt", "x");
    open(dir / "notes.txt");
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_FALSE(window->modelOpening().loading());
    EXPECT_TRUE(rasterReady);
}

TEST_F(WindowModel, PictureGoesThroughTheReliefDialog) {
    writeBox(dir / "box.stl", 100, 80, 20);
    open(dir / "box.stl");
    ASSERT_TRUE(settle());

    // Cancelled: the model and its kind stay as they were.
    open(picture);
    EXPECT_EQ(modelExtents.typPliku, modelKind3D);
    EXPECT_EQ(project->d.plikModelu, (dir / "box.stl").string());
    EXPECT_TRUE(rasterReady);

    // OK: the 240 x 180 picture 50 mm wide keeps its proportions, 37.5 mm deep.
    view.bitmapDialog = [](TFormBMP& form) {
        EXPECT_TRUE(form.Proporcjonalnie);
        EXPECT_TRUE(form.FormActivate());
        form.relief.wysokoscDlaBialego = 0;
        form.relief.wysokoscDlaCzarnego = 5;
        form.SzerokoscChange(50);
        EXPECT_DOUBLE_EQ(form.relief.wysokosc, 37.5);
        return true;
    };
    open(picture);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(modelExtents.typPliku, modelKindBitmapShown);
    EXPECT_EQ(modelExtents.plik_RAW, picture);
    EXPECT_EQ(view.picture, picture);
    EXPECT_EQ(project->d.plikModelu, picture);
    EXPECT_EQ(project->d.BMPx, 50);
    EXPECT_EQ(project->d.BMPy, 37.5L);
    EXPECT_EQ(project->d.BMPwysCzarnego, 5);
    // Inverted relief: 0 to 5 mm; 50 / 0.2 + 1 = 251 cells, so 250 as the last index.
    EXPECT_DOUBLE_EQ(modelExtents.minZ, 0);
    EXPECT_DOUBLE_EQ(modelExtents.maxZ, 5);
    EXPECT_EQ(rasterSizeX, 250);
    EXPECT_TRUE(rasterReady);
}

TEST_F(WindowModel, ProjectLoadsItsModelBesideItAndItsStockModel) {
    writeBox(dir / "part.stl", 60, 40, 12);
    writeBox(dir / "stock.stl", 80, 50, 25);
    test::writeFile(dir / "job.prj",
                    "[Model]\r\nplikModelu=part.stl\r\n[Material]\r\nmaterialZrodlo=2\r\n"
                    "plikMaterialu=stock.stl\r\nmaterialGruboscPodkladki=0\r\n");
    window->openDroppedFile((dir / "job.prj").string());
    EXPECT_FALSE(materialRasterReady);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(settings.plikProjektu, (dir / "job.prj").string());
    EXPECT_EQ(view.status[2], (dir / "job.prj").string());
    EXPECT_EQ(modelExtents.plik_RAW, (dir / "part.stl").string());
    EXPECT_EQ(rasterSizeX, 300);
    EXPECT_TRUE(rasterReady);
    // The stock model: 80 x 50 x 25 mm is 400 x 250 cells and 175 levels.
    EXPECT_EQ(view.stockModelShown, 1);
    EXPECT_EQ(view.materialPath, (dir / "stock.stl").string());
    EXPECT_EQ(materialTriangles.size(), 12u);
    // Its end of loading gives its triangle count (12, not the list's last index).
    EXPECT_NE(std::find(view.statusTexts.begin(), view.statusTexts.end(),
                        txt("Main_window", "importRAWzakonczony") + " 12"),
              view.statusTexts.end());
    EXPECT_EQ(materialCellsX, 400);
    EXPECT_EQ(materialCellsY, 250);
    EXPECT_EQ(materialCellsZ, 175);
    ASSERT_EQ(materialHeights.columns(), 401);
    EXPECT_FLOAT_EQ(materialHeights[200][100], 25.0f);
    EXPECT_EQ(project->d.material.rozmZ, 25);
    // The stock model's height is no unsaved change of the project.
    EXPECT_FALSE(project->DoZapisu());
}

TEST_F(WindowModel, ProjectWhoseModelIsMissingSaysSoAndHasNoModel) {
    writeBox(dir / "box.stl", 100, 80, 20);
    open(dir / "box.stl");
    ASSERT_TRUE(settle());
    test::writeFile(dir / "gone.prj", "[Model]\r\nplikModelu=gone.stl\r\n[Material]\r\n");
    window->openDroppedFile((dir / "gone.prj").string());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              txt("Universal", "txtPlikuBrak") + "\r\n" + (dir / "gone.stl").string());
    EXPECT_TRUE(modelTriangles.empty());
    EXPECT_FALSE(rasterReady);
    EXPECT_EQ(view.modelPath, "");
    EXPECT_EQ(view.modelShown, 2); // the view shown empty
}

TEST_F(WindowModel, BuildRefusedWithoutMaterialOrModel) {
    window->operationPane().setChecked(3, true); // Lining
    project->kopia = project->d;
    // No material: the message asks for it and nothing is built.
    window->sbBudujPlikiWyClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Main_window", "zdefiniujMaterial"));
    EXPECT_FALSE(window->genProcWtoku());
    // A material but no model: nothing would ever build the raster.
    project->d.material.zrodlo = materialCoating;
    project->d.material.gruboscPowloki = 2;
    project->kopia = project->d;
    window->sbBudujPlikiWyClick();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, txt("Main_window", "brakRastraModelu"));
    EXPECT_FALSE(window->genProcWtoku());
    EXPECT_TRUE(view.buildCommandsEnabled);
}

TEST_F(WindowModel, ClosingWhileAModelLoadsEndsItsThreads) {
    writeBox(dir / "box.stl", 100, 80, 20);
    open(dir / "box.stl");
    EXPECT_TRUE(window->FormClose());
    EXPECT_TRUE(closing);
    EXPECT_FALSE(window->modelOpening().loading());
    EXPECT_FALSE(window->modelOpening().modelRasterComing());
    // An end handler that was already posted finds nothing to do.
    queueMainLoop().drain();
    EXPECT_EQ(view.modelShown, 0);
}

TEST(WindowStart, UsbLinkUnlessSwitchedOff) {
    test::RecordingUserInterface ui;
    test::TempDir data, runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    for (const auto& [first, expected] : {std::pair{"US", true}, {"95", false}}) {
        test::resetState(ui, {first, "dataDir='" + data.path().string() + "'"});
        test::RecordingView view;
        TfGlowny window(view, false);
        ASSERT_TRUE(window.FormCreate());
        EXPECT_EQ(usbLink != nullptr, expected) << first;
        // The raster exists from the start, at its initial size, cleared.
        EXPECT_EQ(modelHeights.columns(), 1);
        EXPECT_TRUE(window.FormClose());
        EXPECT_EQ(usbLink, nullptr);
    }
}

namespace {

// The part and its stock model in a project with material source 2; `process`
// the checked operations.
void writeStockProject(const test::TempDir& dir, const std::string& process) {
    writeBox(dir / "part.stl", 60, 40, 12);
    writeBox(dir / "stock.stl", 80, 50, 25);
    test::writeFile(dir / "job.prj",
                    "[Model]\r\nplikModelu=part.stl\r\n[Material]\r\nmaterialZrodlo=2\r\n"
                    "plikMaterialu=stock.stl\r\nmaterialGruboscPodkladki=0\r\n[Proces]\r\n"
                    "proces0=" +
                        process + "\r\n");
}

TOperacjaDane& libraryOperation(const std::string& name) {
    for (auto& o : operationLibrary->Lista)
        if (o->nazwa == name) return *o;
    throw std::runtime_error("no operation " + name);
}

} // namespace

TEST_F(WindowModel, BuildWithAStockModelKeepsBothRasters) {
    writeStockProject(dir, "Lining");
    window->openDroppedFile((dir / "job.prj").string());
    ASSERT_TRUE(settle());
    // While the stock raster builds the build waits for it.
    window->modelOpening().rebuildStockRaster();
    window->sbBudujPlikiWyClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Main_window", "czekajNaRastry"));
    EXPECT_FALSE(window->genProcWtoku());

    ASSERT_TRUE(settle());
    previewWidth = 400;
    previewHeight = 300;
    previewScale = 0;
    window->sbBudujPlikiWyClick();
    ASSERT_TRUE(window->genProcWtoku());
    ASSERT_TRUE(queueMainLoop().runUntil([&] { return !window->genProcWtoku(); },
                                         std::chrono::seconds(300)));
    EXPECT_EQ(ui.messages.size(), 1u);
    // The generation fitted the preview to the 60 x 40 x 12 mm part: 400 / 60.
    EXPECT_NEAR(previewScale, 6.666667, 1e-6);
    // The raster grew to the stock model's 400 x 250 cells, keeping the part.
    EXPECT_EQ(rasterSizeX, 400);
    EXPECT_EQ(rasterSizeY, 250);
    EXPECT_FLOAT_EQ(modelHeights[150][100], 12.0f);
    EXPECT_FLOAT_EQ(modelHeights[350][100], 0.0f);
    EXPECT_FLOAT_EQ(materialHeights[200][100], 25.0f);
    EXPECT_EQ(view.outputs, std::vector<std::string>{"Lining"});
    EXPECT_EQ(view.outputSelected, 0);
    ASSERT_FALSE(view.outputFilesShown.empty());
    EXPECT_EQ(view.outputFilesShown.back(), dataFolder / outputFolderName / "Lining.out");
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.status[0], txt("Main_window", "ProcesyWyjscioweKoniec"));
}

TEST_F(WindowModel, FacingFinerThanACellRebuildsTheRastersFirst) {
    // A stock model: both rasters are rebuilt at 0.1 mm and the build waits.
    writeStockProject(dir, "Surfacing");
    window->openDroppedFile((dir / "job.prj").string());
    ASSERT_TRUE(settle());
    libraryOperation("Surfacing").warstwaSzer = 0.1;
    window->sbBudujPlikiWyClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, txt("Main_window", "czekajNaRastry"));
    EXPECT_FALSE(window->genProcWtoku());
    EXPECT_DOUBLE_EQ(pixelSize, 0.1);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(rasterReady);
    EXPECT_EQ(rasterSizeX, 601); // 60 / 0.1 + 1
    EXPECT_EQ(materialCellsX, 800);
    EXPECT_EQ(materialHeights.columns(), 801);
    EXPECT_FLOAT_EQ(materialHeights[400][200], 25.0f);
}

TEST_F(WindowModel, FacingFinerThanACellSamplesAPictureAgain) {
    view.bitmapDialog = [](TFormBMP& form) { return form.FormActivate(); };
    open(picture);
    ASSERT_EQ(modelExtents.typPliku, modelKindBitmapShown);
    EXPECT_EQ(rasterSizeX, 250); // 50 mm at 0.2 mm
    project->d.material.rozmX = project->d.material.rozmY = project->d.material.rozmZ = 10;
    window->operationPane().setChecked(2, true); // Surfacing
    libraryOperation("Surfacing").warstwaSzer = 0.1;
    project->kopia = project->d;
    window->sbBudujPlikiWyClick();
    EXPECT_DOUBLE_EQ(pixelSize, 0.1);
    EXPECT_EQ(rasterSizeX, 500);
    EXPECT_TRUE(rasterReady);
    ASSERT_TRUE(window->genProcWtoku());
    ASSERT_TRUE(queueMainLoop().runUntil([&] { return !window->genProcWtoku(); },
                                         std::chrono::seconds(300)));
    EXPECT_EQ(modelHeights.columns(), 501);
}

TEST(WindowStart, ProjectNamedOnTheCommandLineOpens) {
    test::RecordingUserInterface ui;
    test::TempDir data, runtime, dir;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    writeBox(dir / "part.stl", 60, 40, 12);
    test::writeFile(dir / "job.prj", "[Model]\r\nplikModelu=part.stl\r\n[Material]\r\n");
    test::resetState(ui,
                     {"95", "dataDir='" + data.path().string() + "'", (dir / "job.prj").string()});
    test::RecordingView view;
    TfGlowny window(view, false);
    ASSERT_TRUE(window.FormCreate());
    EXPECT_EQ(settings.plikProjektu, (dir / "job.prj").string());
    EXPECT_EQ(outputFolderName, std::filesystem::path("Output") / "job");
    ASSERT_TRUE(
        queueMainLoop().runUntil([&] { return rasterReady.load(); }, std::chrono::seconds(120)));
    EXPECT_EQ(modelTriangles.size(), 12u);
    EXPECT_EQ(rasterSizeX, 300);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WindowModel, RunningBuildKeepsItsOperationsAndTools) {
    writeBox(dir / "part.stl", 60, 40, 12);
    test::writeFile(dir / "job.prj",
                    "[Model]\r\nplikModelu=part.stl\r\n[Material]\r\nmaterialZrodlo=0\r\n"
                    "materialRozmiarX=60\r\nmaterialRozmiarY=40\r\nmaterialRozmiarZ=20\r\n"
                    "materialGruboscPodkladki=0\r\n[Proces]\r\nproces0=Lining\r\n"
                    "proces1=Roughing\r\n");
    window->openDroppedFile((dir / "job.prj").string());
    ASSERT_TRUE(settle());
    int dialogs = 0;
    view.toolDialog = [&](const TFrezDane*, int) { return ++dialogs, false; };
    view.operationDialog = [&](const TOperacjaDane*, int) -> std::optional<std::string> {
        ++dialogs;
        return std::nullopt;
    };
    const auto& items = window->operationPane().list().items;
    const int lining = static_cast<int>(
        std::find_if(items.begin(), items.end(), [](const auto& e) { return e.name == "Lining"; }) -
        items.begin());
    window->sbBudujPlikiWyClick();
    ASSERT_TRUE(window->genProcWtoku());
    EXPECT_FALSE(view.toolAddEnabled);
    EXPECT_FALSE(view.operationAddEnabled);

    // Selected while the build runs, nothing can be added, edited or deleted,
    // also through the keys that call the commands directly.
    window->operationPane().select(lining);
    EXPECT_FALSE(view.operationCommandsEnabled);
    window->operationPane().deleteSelected();
    window->operationPane().edit();
    window->operationPane().add();
    window->toolPane().select(0);
    EXPECT_FALSE(view.toolCommandsEnabled);
    window->toolPane().deleteSelected();
    window->toolPane().edit();
    window->toolPane().add();
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(std::filesystem::exists(operationsFolder() / "Lining.opr"));
    EXPECT_EQ(window->operationPane().list().items.size(), items.size());

    ASSERT_TRUE(queueMainLoop().runUntil([&] { return !window->genProcWtoku(); },
                                         std::chrono::seconds(300)));
    // The outputs are named after the operations that made them, in list order.
    EXPECT_EQ(view.outputs, (std::vector<std::string>{"Roughing", "Lining"}));
    EXPECT_EQ(view.status[0], txt("Main_window", "ProcesyWyjscioweKoniec"));
    EXPECT_TRUE(view.toolAddEnabled);
    EXPECT_TRUE(view.operationAddEnabled);
    EXPECT_TRUE(view.operationCommandsEnabled); // the selection stands
    window->operationPane().deleteSelected();
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(operationsFolder() / "Lining.opr"));
}

TEST_F(WindowModel, OperationWithoutFiguresIsListedWithAnEmptyPreview) {
    writeBox(dir / "part.stl", 60, 40, 12);
    test::writeFile(dir / "job.prj",
                    "[Model]\r\nplikModelu=part.stl\r\n[Material]\r\nmaterialZrodlo=0\r\n"
                    "materialRozmiarX=60\r\nmaterialRozmiarY=40\r\nmaterialRozmiarZ=20\r\n"
                    "materialGruboscPodkladki=0\r\n[Proces]\r\nproces0=Layering\r\n");
    window->openDroppedFile((dir / "job.prj").string());
    ASSERT_TRUE(settle());
    // Its lowest level above the part: no contour, no figures, no file.
    libraryOperation("Layering").granicaZdolna = 50;
    window->sbBudujPlikiWyClick();
    ASSERT_TRUE(queueMainLoop().runUntil([&] { return !window->genProcWtoku(); },
                                         std::chrono::seconds(300)));
    const auto file = dataFolder / outputFolderName / "Layering.out";
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(view.outputs, std::vector<std::string>{"Layering"});
    EXPECT_EQ(view.outputSelected, 0);
    ASSERT_FALSE(view.outputFilesShown.empty());
    EXPECT_EQ(view.outputFilesShown.back(), file);
    EXPECT_TRUE(ui.messages.empty());
}
