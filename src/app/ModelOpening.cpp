#include "app/ModelOpening.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "foundation/TextCompare.h"
#include "generation/GenState.h"
#include "geometry/Raster.h"
#include "import/MeshExchange.h"
#include "libraries/LibraryState.h"

#include <climits>
#include <cmath>

namespace korvane {

namespace {

bool fileThere(const std::string& file) {
    std::error_code ec;
    if (!file.empty() && std::filesystem::is_regular_file(file, ec)) return true;
    showMessage(txt("Universal", "txtPlikuBrak") + "\r\n" + file, true);
    return false;
}

// A raster thread that ended by an exception (no memory for its layers, say):
// the person is told, and a generation waiting for the raster ends.
bool rasterFailed(const std::optional<std::string>& failure) {
    if (!failure) return false;
    showMessage(txt("Other", "bladWykonania") + "\r\n" + txt("Other", "SzczegolyBledu") + *failure,
                true);
    generationTerminate = true;
    return true;
}

// Cells for `size` mm, when the count fits the raster's integer indices.
bool cellsFit(double size) {
    const double cells = size / pixelSize;
    return std::isfinite(cells) && cells >= 0 && cells < INT_MAX - 1;
}

} // namespace

bool is3DModel(int kind) {
    return kind == fileKindRaw || kind == fileKindDxf || kind == fileKindStl ||
           kind == fileKindMesh;
}

int modelFileKind(const std::filesystem::path& file) {
    const std::string ext = file.extension().string();
    const std::pair<const char*, int> kinds[] = {{".RAW", fileKindRaw}, {".DXF", fileKindDxf},
                                                 {".BMP", fileKindBmp}, {".JPG", fileKindJpg},
                                                 {".STL", fileKindStl}, {".PRJ", fileKindProject}};
    for (const auto& [e, kind] : kinds)
        if (sameText(ext, e)) return kind;
    return isMeshExchangeFile(file) ? fileKindMesh : fileKindOther;
}

ModelOpening::~ModelOpening() {
    stop();
}

std::function<void()> ModelOpening::onMain(int& counter, std::function<void()> call) {
    const int run = ++counter;
    return [alive = std::weak_ptr<bool>(alive_), &counter, run, call = std::move(call)] {
        if (!alive.expired() && counter == run) call();
    };
}

void ModelOpening::openModelDialog(const std::filesystem::path& folder) {
    constexpr const char* meshes = "*.obj;*.ply;*.3mf;*.off;*.gltf;*.glb";
    std::string filter = txt("Universal", "wszystkiePliki") +
                         " (*.raw, *.dxf, *.stl, *.obj, *.ply, *.3mf, *.off, *.gltf, *.glb, *.bmp, "
                         "*.jpg)|*.raw;*.dxf;*.stl;" +
                         meshes + ";*.bmp;*.jpg";
    for (const auto& [label, ext] : {std::pair{"plikRhino", "raw"},
                                     {"plikDXF3D", "dxf"},
                                     {"plikSTL", "stl"},
                                     {"plikBMP", "bmp"},
                                     {"plikJPG", "jpg"}})
        filter += "|" + txt("Main_window", label) + " (*." + ext + ")|*." + ext;
    // The formats' own names, the same in every language.
    filter +=
        std::string("|OBJ, PLY, 3MF, OFF, glTF (*.obj, *.ply, *.3mf, *.off, *.gltf, *.glb)|") +
        meshes;
    std::filesystem::path initial = folder;
    if (initial.empty() && project && !project->d.plikModelu.empty()) {
        // A model named relative to its project lies beside the project.
        std::filesystem::path model = project->d.plikModelu;
        if (model.is_relative() && !settings.plikProjektu.empty())
            model = std::filesystem::path(settings.plikProjektu).parent_path() / model;
        initial = model.parent_path();
    }
    if (initial.empty()) initial = ostDirModelu;
    std::error_code ec;
    if (initial.empty() || !std::filesystem::is_directory(initial, ec)) initial = dataFolder;
    const auto file =
        view_.askOpenFileName({txt("Main_window", "wybierzPlikMOdelu"), filter, {}, initial, {}});
    if (file && !file->empty()) openModelFile(*file);
}

bool ModelOpening::openModelFile(const std::string& file) {
    if (loading()) return false;
    const int kind = modelFileKind(file);
    if (is3DModel(kind)) {
        if (!fileThere(file)) return false;
        OtworzPlikRAW(file, true);
        return true;
    }
    if (kind != fileKindBmp && kind != fileKindJpg) return false;
    // A cancelled dialog leaves the model as it was, its kind included.
    const int kindBefore = modelExtents.typPliku;
    modelExtents.typPliku = modelKindBitmap;
    formBmp_.Proporcjonalnie = true;
    formBmp_.BMPFileName = file;
    if (view_.editBitmapRelief(formBmp_)) {
        // The relief writes the model raster: no raster thread may still run.
        stopModelRaster();
        if (formBmp_.btnOkClick(project->d)) {
            project->d.plikModelu = file;
            showBitmapModel(file);
            return true;
        }
    }
    modelExtents.typPliku = kindBefore;
    return false;
}

void ModelOpening::OtworzPlikRAW(const std::string& file, bool projectModel) {
    writeReportLine(file);
    if (!fileThere(file) || closing) return;
    rasterReady = false;
    view_.lockModelView(true);
    view_.showModelPath(txt("Main_window", "odczytRAWtrwa"), file);
    view_.showStatus(0, txt("Main_window", "odczytRAWtrwa"));
    view_.enableOutputList(false);
    view_.setBuildCommandsEnabled(false);
    loadedTriangles_.clear();
    loadedExtents_ = modelExtents;
    loadedSize_ = {};
    RawOdczyt = std::make_unique<TRAWodczytWatek>();
    RawOdczyt->Inicjuj(&loadedTriangles_, file, &loadedExtents_, &loadedSize_);
    RawOdczyt->start(onMain(
        modelRun_, [this, file, projectModel] { ZakonczWatekCzytaniaRAW(file, projectModel); }));
}

void ModelOpening::ZakonczWatekCzytaniaRAW(const std::string& file, bool projectModel) {
    const std::string readerError = RawOdczyt->errorText();
    RawOdczyt.reset();
    view_.enableOutputList(true);
    view_.setBuildCommandsEnabled(true);
    // A model that cannot be used leaves the model in use and its raster; the
    // view shows them again and the status says that nothing was loaded.
    auto refuse = [&](const std::string& why) {
        view_.showStatus(0, txt("Main_window", "modelNieWczytany"));
        view_.showModelPath(modelShown_, modelShown_);
        view_.lockModelView(false);
        rasterReady = rasterDone_;
        showMessage(why, true);
    };
    if (loadedTriangles_.empty()) {
        // A reader that gave up says why; only a file that holds nothing is
        // called empty.
        refuse(readerError.empty()
                   ? txt("Other", "zbiorPusty") + "\r\n" + file
                   : txt("Main_window", "modelNieWczytany") + "\r\n" + file + "\r\n" + readerError);
        return;
    }
    if (!rasterFits(loadedSize_.x, loadedSize_.y) ||
        !cellsFit(static_cast<double>(loadedSize_.z) + 10)) {
        refuse(txt("Main_window", "modelPozaRastrem") + "\r\n" + file + "\r\n" +
               formatReal(loadedSize_.x) + " x " + formatReal(loadedSize_.y) + " x " +
               formatReal(loadedSize_.z) + " mm");
        return;
    }
    view_.showStatus(0, txt("Main_window", "importRAWzakonczony"));
    // The old raster thread reads the old triangles: it ends before they go.
    stopModelRaster();
    modelTriangles = std::move(loadedTriangles_);
    loadedTriangles_ = {};
    modelExtents = loadedExtents_;
    modelExtents.typPliku = modelKind3D;
    modelSize = loadedSize_;
    if (projectModel && project) project->d.plikModelu = file;
    modelShown_ = file;
    view_.showModelPath(file, file);
    view_.lockModelView(false);
    view_.showModel();
    setRasterSizeFromModel();
    view_.showModelPage({});
    startModelRaster();
}

void ModelOpening::startModelRaster() {
    stopModelRaster();
    rasterReady = false;
    rasterDone_ = false;
    if (closing) return;
    RawDoPix = std::make_unique<TRawDoPix>();
    RawDoPix->Inicjuj(&modelTriangles, &modelHeights, false, &modelExtents);
    RawDoPix->start(onMain(rasterRun_, [this] { ZakonczWatekRawDoPix(); }));
}

void ModelOpening::ZakonczWatekRawDoPix() {
    const auto failure = RawDoPix->failure();
    RawDoPix.reset();
    view_.showStatus(0, " ");
    if (rasterFailed(failure)) return;
    rasterDone_ = true;
    // A model loading meanwhile will replace this raster.
    rasterReady = RawOdczyt == nullptr;
}

void ModelOpening::stopModelRaster() {
    if (!RawDoPix) return;
    RawDoPix->requestTerminate();
    RawDoPix.reset();
    ++rasterRun_; // its end handler, if already posted, no longer applies
}

void ModelOpening::rebuildRaster() {
    if (modelExtents.typPliku == modelKindBitmap || modelExtents.typPliku == modelKindBitmapShown) {
        stopModelRaster();
        rasterDone_ = formBmp_.GenerujPix2D();
        return;
    }
    if (!modelTriangles.empty()) startModelRaster();
}

void ModelOpening::openProjectPicture(const TProjektDane& d) {
    formBmp_.Proporcjonalnie = false;
    formBmp_.relief = {static_cast<double>(d.BMPwysBialego), static_cast<double>(d.BMPwysCzarnego),
                       static_cast<double>(d.BMPx), static_cast<double>(d.BMPy)};
    formBmp_.BMPFileName = d.plikModelu;
    modelExtents.typPliku = modelKindBitmap;
    stopModelRaster();
    if (formBmp_.GenerujPix2D()) {
        rasterDone_ = true;
        showBitmapModel(d.plikModelu);
    }
}

void ModelOpening::showBitmapModel(const std::string& file) {
    modelExtents.plik_RAW = file;
    modelExtents.typPliku = modelKindBitmapShown;
    modelShown_ = file;
    view_.showModelPage(file);
    view_.showModelPath(file, file);
}

void ModelOpening::clearModel() {
    stopModelRaster();
    modelTriangles.clear();
    modelExtents.plik_RAW.clear();
    modelShown_.clear();
    rasterReady = false;
    rasterDone_ = false;
    view_.showModelPath("", "");
    view_.showStatus(0, "");
    view_.showModel();
}

void ModelOpening::openStockModel(const std::string& file) {
    const int kind = modelFileKind(file);
    if (!is3DModel(kind) || !fileThere(file) || closing) return;
    if (RawMatOdczyt) {
        RawMatOdczyt->requestTerminate();
        RawMatOdczyt.reset();
    }
    materialRasterReady = false;
    loadedStock_.clear();
    loadedStockExtents_ = materialExtents;
    loadedStockSize_ = {};
    RawMatOdczyt = std::make_unique<TRAWodczytWatek>();
    RawMatOdczyt->Inicjuj(&loadedStock_, file, &loadedStockExtents_, &loadedStockSize_);
    RawMatOdczyt->start(onMain(stockRun_, [this, file] { stockLoaded(file); }));
}

void ModelOpening::stockLoaded(const std::string& file) {
    RawMatOdczyt.reset();
    view_.showMaterialPath(file, file);
    // The status gives the stock model's triangle count; an empty list gives none.
    std::string status = txt("Main_window", "importRAWzakonczony");
    if (!loadedStock_.empty()) status += " " + std::to_string(loadedStock_.size());
    view_.showStatus(0, status);
    if (loadedStock_.empty()) {
        // Nothing will build the material layer: a generation must not wait for it.
        materialRasterReady = RawMatDoPixPoZgrubnej == nullptr;
        showMessage(txt("Other", "zbiorPusty") + "\r\n" + file, true);
        return;
    }
    if (RawMatDoPixPoZgrubnej) {
        RawMatDoPixPoZgrubnej->requestTerminate();
        RawMatDoPixPoZgrubnej.reset();
    }
    materialTriangles = std::move(loadedStock_);
    loadedStock_ = {};
    materialExtents = loadedStockExtents_;
    materialSize = loadedStockSize_;
    view_.showStockModel();
    // The block's height follows the stock model. The project file does not
    // store it for a stock model, so this is no unsaved change.
    if (project) {
        project->d.material.rozmZ = materialSize.z;
        if (project->d.material.zrodlo == materialFile)
            project->kopia.material.rozmZ = materialSize.z;
    }
    rebuildStockRaster();
}

const TModel* ModelOpening::stockModelInfo() const {
    std::error_code ec;
    if (RawMatOdczyt || materialExtents.plik_RAW.empty() ||
        !std::filesystem::is_regular_file(materialExtents.plik_RAW, ec))
        return nullptr;
    return &materialExtents;
}

void ModelOpening::rebuildStockRaster() {
    if (materialTriangles.empty() || closing) return;
    if (RawMatDoPixPoZgrubnej) {
        RawMatDoPixPoZgrubnej->requestTerminate();
        RawMatDoPixPoZgrubnej.reset();
    }
    materialRasterReady = false;
    materialCellsX = static_cast<int>(roundHalfEven(materialSize.x / pixelSize));
    materialCellsY = static_cast<int>(roundHalfEven(materialSize.y / pixelSize));
    materialCellsZ = static_cast<int>(roundHalfEven((materialSize.z + 10) / pixelSize));
    RawMatDoPixPoZgrubnej = std::make_unique<TRawDoPix>();
    RawMatDoPixPoZgrubnej->Inicjuj(&materialTriangles, &materialHeights, true, &materialExtents);
    RawMatDoPixPoZgrubnej->start(onMain(stockRasterRun_, [this] { stockRasterReady(); }));
}

void ModelOpening::stockRasterReady() {
    const auto failure = RawMatDoPixPoZgrubnej->failure();
    RawMatDoPixPoZgrubnej.reset();
    view_.showStatus(0, " ");
    if (rasterFailed(failure)) return;
    materialRasterReady = true;
}

void ModelOpening::stop() {
    for (auto* loader : {&RawOdczyt, &RawMatOdczyt})
        if (*loader) (*loader)->requestTerminate();
    for (auto* raster : {&RawDoPix, &RawMatDoPixPoZgrubnej})
        if (*raster) (*raster)->requestTerminate();
    RawOdczyt.reset();
    RawMatOdczyt.reset();
    RawDoPix.reset();
    RawMatDoPixPoZgrubnej.reset();
    ++modelRun_;
    ++rasterRun_;
    ++stockRun_;
    ++stockRasterRun_;
}

} // namespace korvane
