#pragma once

#include "app/FormBMP.h"
#include "app/MainWindowView.h"
#include "foundation/Records.h"
#include "generation/RawDoPixWatek.h"
#include "import/RAWodczytWatek.h"

#include <filesystem>
#include <memory>
#include <string>

// Opening the part model and the stock model in the window: the open dialog,
// the loading thread, then the raster thread, each next step started from the
// end handler of the one before on the main loop.
namespace korvane {

// Kinds of files the window opens, by extension (any case).
enum : int {
    fileKindOther = 0,
    fileKindRaw = 1,
    fileKindDxf = 2,
    fileKindBmp = 3,
    fileKindJpg = 4,
    fileKindStl = 5,
    fileKindMesh = 6, // OBJ, PLY, 3MF, OFF, glTF
    fileKindProject = 100,
};
int modelFileKind(const std::filesystem::path& file);
// True for the kinds read into triangles (RAW, DXF, STL and the mesh formats).
bool is3DModel(int kind);

class ModelOpening {
  public:
    explicit ModelOpening(MainWindowView& view) : view_(view) {}
    // Asks the running threads to end and waits for them.
    ~ModelOpening();
    ModelOpening(const ModelOpening&) = delete;
    ModelOpening& operator=(const ModelOpening&) = delete;

    // The model-open dialog; `folder` empty: the project model's folder, else
    // ostDirModelu, else the data folder.
    void openModelDialog(const std::filesystem::path& folder);
    // Opens a model file by its kind: a 3D model loads, a picture goes through
    // the bitmap relief dialog; another kind does nothing. False when nothing
    // was opened.
    bool openModelFile(const std::string& file);
    // Starts loading a 3D model. The model and raster in use stay until the
    // new model has loaded: a file that gives no triangles leaves them. With
    // `projectModel` the loaded file becomes the project's model.
    void OtworzPlikRAW(const std::string& file, bool projectModel = false);
    // A project's picture: the relief from the project's values, no dialog.
    void openProjectPicture(const TProjektDane& project);
    // A project whose model file is missing: the model is put away.
    void clearModel();
    // Starts loading the stock model (material source 2).
    void openStockModel(const std::string& file);
    // Rebuilds the model raster at the current raster size (after a change of
    // the cell size); a bitmap relief is built again from its picture.
    void rebuildRaster();
    // Rebuilds the stock model's raster at the current cell size.
    void rebuildStockRaster();
    // Shutdown: asks every thread to end and waits for them.
    void stop();

    // A model or stock model is being read.
    bool loading() const { return RawOdczyt != nullptr || RawMatOdczyt != nullptr; }
    // The model raster is on its way: its model loads or its raster builds.
    bool modelRasterComing() const { return RawOdczyt != nullptr || RawDoPix != nullptr; }
    // The stock model loads or its raster builds.
    bool stockComing() const { return RawMatOdczyt != nullptr || RawMatDoPixPoZgrubnej != nullptr; }

    // The stock model whose information a double click on the material path
    // shows: none while it loads or when its file is gone.
    const TModel* stockModelInfo() const;

    std::string ostDirModelu; // folder of the last model (after a new project)

  private:
    void ZakonczWatekCzytaniaRAW(const std::string& file, bool projectModel);
    void startModelRaster();
    void ZakonczWatekRawDoPix();
    void stockLoaded(const std::string& file);
    void stockRasterReady();
    void showBitmapModel(const std::string& file);
    void stopModelRaster();
    // Runs `call` on the main loop only while this object lives and `run` is
    // still the chain's current run.
    std::function<void()> onMain(int& counter, std::function<void()> call);

    MainWindowView& view_;
    TFormBMP formBmp_;

    // The model chain: the load fills these first, the program's model only
    // when it succeeded.
    std::unique_ptr<TRAWodczytWatek> RawOdczyt;
    std::unique_ptr<TRawDoPix> RawDoPix;
    TriangleList loadedTriangles_;
    TModel loadedExtents_;
    TrPkt3D loadedSize_;
    std::string modelShown_;  // the model file the view shows
    bool rasterDone_ = false; // the raster of the model in use is complete
    int modelRun_ = 0, rasterRun_ = 0;

    // The stock model chain.
    std::unique_ptr<TRAWodczytWatek> RawMatOdczyt;
    std::unique_ptr<TRawDoPix> RawMatDoPixPoZgrubnej;
    TriangleList loadedStock_;
    TModel loadedStockExtents_;
    TrPkt3D loadedStockSize_;
    int stockRun_ = 0, stockRasterRun_ = 0;

    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace korvane
