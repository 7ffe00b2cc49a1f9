// The main window's views: the model view, the stock view, the output preview
// and the old-style preview picture; their mouse coupling, the view menu and
// the export keys.
#include "MainWindow.h"
#include "MaterialView.h"
#include "OldPreviewImage.h"
#include "OutputPreviewPage.h"
#include "PathPreviewView.h"
#include "RAWview.h"
#include "SimulationPage.h"

#include "app/PathExportCommands.h"
#include "app/ReliefMesh.h"
#include "app/ShownOutputFile.h"
#include "foundation/State.h"
#include "geometry/Raster.h"
#include "output/DaneWyjsciowe.h"
#include "output/OldPreview.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>

using namespace korvane;

namespace {

// Size of the old-style preview picture, pixels.
constexpr int oldPreviewWidth = 800, oldPreviewHeight = 600;
constexpr int lime = 0x00FF00;
// Runs the material simulation of the build, from any page.
constexpr auto simulationKey = Qt::Key_F9;

void fillPage(QWidget* page, QWidget* content) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
}

// The old-style preview picture; a double click asks for the output file's
// parameters, as on the output preview.
class PreviewLabel final : public QLabel {
  public:
    explicit PreviewLabel(std::function<void()> onDoubleClick)
        : onDoubleClick_(std::move(onDoubleClick)) {}

  protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { onDoubleClick_(); }

  private:
    std::function<void()> onDoubleClick_;
};

TRAWview* makeView(TTrybPracy mode, const char* name, const QColor& background, int colour) {
    auto* view = new TRAWview(mode);
    view->setObjectName(name);
    view->setBackground(background);
    view->setModelKolor(colour);
    view->setModelMaterial(1.0);
    return view;
}

} // namespace

void MainWindow::buildViews() {
    modelView_ = makeView(tpPrzegladRAW, "RAWview1", Qt::black, lime);
    stockView_ = new MaterialView;
    stockView_->setObjectName("rwMaterial");
    outputPreview_ = new OutputPreviewPage;
    outputView_ = outputPreview_->view();
    fillPage(pages_->findChild<QWidget*>("tsModel"), modelView_);
    fillPage(pages_->findChild<QWidget*>("tsMaterial"), stockView_);
    outputPage_ = pages_->findChild<QWidget*>("tsPodgladOut");
    fillPage(outputPage_, outputPreview_);
    // "Start from here" on the preview: the start from a point, its dialog
    // preset to the point.
    connect(outputPreview_, &OutputPreviewPage::startFrom, this, [this](int figure, int point) {
        startPreset_ = StartPoint{figure, point};
        actions_["mStartOdWybranego"]->trigger();
        startPreset_.reset();
    });

    auto outputParameters = [this] {
        if (auto it = actions_.find("pmiParPlikuWy"); it != actions_.end()) it->second->trigger();
    };
    oldPreview_ = new PreviewLabel(outputParameters);
    oldPreview_->setObjectName("imgPodgladWy");
    oldPreview_->setFixedSize(oldPreviewWidth, oldPreviewHeight);
    auto* scroll = new QScrollArea;
    scroll->setWidget(oldPreview_);
    fillPage(oldPreviewPage_, scroll);
    previewWidth = oldPreviewWidth;
    previewHeight = oldPreviewHeight;
    previewScale = previewScaleFor(defaultPreviewSize, previewWidth, previewHeight);
    clearOldPreview();

    // The model view and the output preview move together while the coupled
    // views setting is on and an output file is shown.
    auto coupled = [this](TRAWview* other) {
        return [this, other]() -> TRAWview* {
            return settings.sprzegNawigacyjny && outputShown_ ? other : nullptr;
        };
    };
    modelView_->setCoupledView(coupled(outputView_));
    outputView_->setCoupledView(coupled(modelView_));
    connect(modelView_, &TRAWview::doubleClicked, this,
            [this] { actions_["mModelOtworz"]->trigger(); });
    connect(outputView_, &TRAWview::doubleClicked, this, outputParameters);

    // The view menu applies at once to the model view; the menu's own handlers
    // have stored the settings before these run.
    const auto styles = styleGroup_->actions();
    for (int i = 0; i < styles.size(); ++i)
        connect(styles[i], &QAction::triggered, this, [this, i] {
            modelView_->UstawModelSposobKreslenia(static_cast<TSposobKreslenia>(i));
        });
    for (QAction* a : shininessGroup_->actions())
        connect(a, &QAction::triggered, this,
                [this] { modelView_->UstawModelMaterial(settings.modelPolysk); });
    connect(actions_["mModelKolor"], &QAction::triggered, this, [this] {
        // A stored 0 is shown green, as at start.
        modelView_->UstawModelKolor(settings.modelKolor == 0 ? lime : settings.modelKolor);
    });
    connect(actions_["mUkladWsp"], &QAction::toggled, this,
            [this](bool on) { modelView_->UstawWidocznoscUkladuWsp(on); });
    // What the output preview shows beside the paths, kept in the settings.
    QMenu* modelMenu = menus_["mModel"];
    const std::pair<const char*, bool*> previewSwitches[] = {
        {"mPodgladModel", &settings.podgladBezModelu},
        {"mPodgladMaterial", &settings.podgladBezMaterialu}};
    for (const auto& [name, hidden] : previewSwitches) {
        auto* a = new QAction(modelMenu);
        a->setObjectName(name);
        a->setCheckable(true);
        actions_[name] = a;
        modelMenu->insertAction(actions_["mModelResetujPolozenie"], a);
        // The stored setting decides, whatever the mark showed before.
        connect(a, &QAction::triggered, this, [this, a, hidden = hidden] {
            *hidden = !*hidden;
            a->setChecked(!*hidden);
            outputPreview_->applySettings();
        });
    }
    // A picture relief turned in 3D, its raster as a surface, or shown as the picture.
    auto* relief = new QAction(modelMenu);
    relief->setObjectName("mReliefW3D");
    relief->setCheckable(true);
    actions_["mReliefW3D"] = relief;
    modelMenu->insertAction(actions_["mModelResetujPolozenie"], relief);
    connect(relief, &QAction::toggled, this, [this](bool on) { showRelief(on); });
    connect(modelMenu, &QMenu::aboutToShow, this, [this] {
        actions_["mPodgladModel"]->setChecked(!settings.podgladBezModelu);
        actions_["mPodgladMaterial"]->setChecked(!settings.podgladBezMaterialu);
    });

    QAction* reset = actions_["mModelResetujPolozenie"];
    reset->setEnabled(true);
    connect(reset, &QAction::triggered, this, [this] {
        modelView_->ResetujPrzeksztalcenia();
        if (settings.sprzegNawigacyjny && outputShown_) outputView_->ResetujPrzeksztalcenia();
    });

    new QShortcut(QKeySequence("Ctrl+F10"), this, [this] { exportHpglCommand(*this); });
    new QShortcut(QKeySequence("Ctrl+Alt+F11"), this, [this] { exportDxfCommand(*this); });
    new QShortcut(QKeySequence("Ctrl+Shift+F10"), this,
                  [this] { exportGCodeCommand(*this, GCodeDialect::grbl); });
    new QShortcut(QKeySequence("Ctrl+Shift+F11"), this,
                  [this] { exportGCodeCommand(*this, GCodeDialect::linuxCnc); });

    // The material simulation of the build, a page of its own; its captions
    // follow the language with the window's.
    auto* simulation = new SimulationPage;
    simulation->setObjectName("tsSimulation");
    captioned_["tsSimulation"] = simulation;
    captioned_["bSimulate"] = simulation->simulateButton();
    captioned_["bAbortSimulation"] = simulation->abortButton();
    pages_->addTab(simulation, QString());
    new QShortcut(QKeySequence(simulationKey), this, [this, simulation] {
        pages_->setCurrentWidget(simulation);
        simulation->simulateBuild();
    });
}

void MainWindow::showRelief(bool inThreeD) {
    // Nothing to turn before the picture's raster is made.
    constexpr int verticesPerSide = 600;
    if (picture_.isNull()) return;
    const bool turned = inThreeD && rasterReady && !modelHeights.empty();
    if (turned) {
        // The picture's cells only: the layers may be held larger.
        const int columns = std::min(rasterSizeX + 1, modelHeights.columns());
        const int rows = std::min(rasterSizeY + 1, modelHeights.rows());
        tpix2d heights(columns, rows);
        for (int ix = 0; ix < columns; ++ix)
            std::copy_n(modelHeights[ix].data(), rows, heights[ix].data());
        modelView_->LadujListeRAW(reliefTriangles(heights, pixelSize, verticesPerSide), 0,
                                  (columns - 1) * pixelSize, 0, (rows - 1) * pixelSize, 0, 0);
    }
    pictureLabel_->setVisible(!turned);
    fitPicture();
}

void MainWindow::clearOldPreview() {
    QImage blank(previewWidth, previewHeight, QImage::Format_RGB32);
    blank.fill(Qt::white);
    oldPreview_->setPixmap(QPixmap::fromImage(blank));
}

void MainWindow::lockModelView(bool locked) {
    modelView_->setLocked(locked);
}

void MainWindow::showModel() {
    modelView_->LadujListeRAW(modelTriangles, modelExtents.minX, modelExtents.maxX,
                              modelExtents.minY, modelExtents.maxY, 0, 0);
    outputPreview_->view()->setModel(modelTriangles);
}

void MainWindow::clearModelView() {
    modelView_->CzyscScene();
    outputPreview_->view()->setModel({});
}

void MainWindow::showStockModel() {
    const TModel& e = materialExtents;
    static_cast<MaterialView*>(stockView_)
        ->showStock(materialTriangles, {e.minX, e.minY, e.minZ, e.maxX, e.maxY, e.maxZ});
}

void MainWindow::showOutputFile(const std::filesystem::path& file) {
    clearOldPreview();
    outputPreview_->clear();
    outputShown_ = !file.empty();
    if (!outputShown_) return;
    readShownOutputFile(file);
    pages_->setCurrentWidget(outputPage_);
    modelView_->ResetujPrzeksztalcenia();
    outputView_->ResetujPrzeksztalcenia();
    oldPreview_->setPixmap(QPixmap::fromImage(oldPreviewImage(
        wyswietlPlikWyjsciowy(*outputReader, 0, -1, previewScale, previewWidth, previewHeight),
        previewWidth, previewHeight)));
    outputPreview_->showOutput();
}
