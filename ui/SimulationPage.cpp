#include "SimulationPage.h"
#include "SimulationLegend.h"
#include "SimulationSurfaceView.h"

#include "app/SimulationSurface.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace korvane;

namespace {

// The most vertices along a side of the shown surface: finer maps are shown
// every few cells, which the screen could not resolve anyway.
constexpr int surfaceVerticesPerSide = 512;

} // namespace

SimulationPage::SimulationPage(QWidget* parent) : QWidget(parent) {
    simulate_ = new QPushButton;
    simulate_->setObjectName("bSimulate");
    abort_ = new QPushButton;
    abort_->setObjectName("bAbortSimulation");
    abort_->setEnabled(false);
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    figures_ = new QLabel;
    figures_->setObjectName("lSimulationFigures");
    figures_->setWordWrap(true);
    cell_ = new QLabel;
    cell_->setObjectName("lSimulationPoint");
    view_ = new SimulationSurfaceView;
    legend_ = new SimulationLegend;

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(simulate_);
    buttons->addWidget(abort_);
    buttons->addWidget(progress_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(figures_);
    layout->addWidget(view_, 1);
    layout->addWidget(legend_);
    layout->addWidget(cell_);
    connect(view_, &SimulationSurfaceView::surfaceClicked, this,
            [this](double x, double y) { showCell(x, y); });

    connect(simulate_, &QPushButton::clicked, this, [this] { simulateBuild(); });
    connect(abort_, &QPushButton::clicked, this, [this] { abort(); });
    poll_.setInterval(100);
    connect(&poll_, &QTimer::timeout, this, [this] { poll(); });
    rerun_.setSingleShot(true);
    rerun_.setInterval(1500);
    connect(&rerun_, &QTimer::timeout, this, [this] {
        if (isVisible())
            simulateBuild();
        else
            outputsChanged_ = true;
    });
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { rerun_.start(); });
}

SimulationPage::~SimulationPage() {
    control_.abort = true;
    if (worker_.joinable()) worker_.join();
}

void SimulationPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!simulated_)
        figures_->setText(QString::fromStdString(txt("Main_window", "lSimulationHint.Caption")));
    watchOutputs();
    if (outputsChanged_) {
        outputsChanged_ = false;
        simulateBuild();
    }
}

void SimulationPage::watchOutputs() {
    const QString folder = QString::fromStdString((dataFolder / outputFolderName).string());
    if (!watcher_->directories().contains(folder)) {
        if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
        watcher_->addPath(folder);
    }
}

void SimulationPage::simulateBuild() {
    simulated_ = true;
    try {
        run(gatherBuildSimulation());
    } catch (const std::exception& e) {
        figures_->setText(QString::fromStdString(e.what()));
    }
}

void SimulationPage::run(BuildSimulationInput input) {
    abort();
    simulated_ = true;
    cell_->clear();
    input_ = std::move(input);
    control_.abort = false;
    control_.movesDone = 0;
    done_ = false;
    progress_->setValue(0);
    abort_->setEnabled(true);
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // The worker writes only result_ and the control's counters; the page reads
    // them once done_ is set.
    worker_ = std::thread([this, threads] {
        result_ = korvane::simulateBuild(input_, threads, &control_);
        done_ = true;
    });
    poll_.start();
}

void SimulationPage::abort() {
    if (!worker_.joinable()) return;
    control_.abort = true;
    worker_.join();
    poll_.stop();
    abort_->setEnabled(false);
    progress_->setValue(0);
}

void SimulationPage::poll() {
    if (control_.movesTotal > 0)
        progress_->setValue(static_cast<int>(100 * control_.movesDone / control_.movesTotal));
    if (done_) finished();
}

void SimulationPage::finished() {
    worker_.join();
    poll_.stop();
    abort_->setEnabled(false);
    if (!result_.completed) return;
    progress_->setValue(100);
    view_->setMesh(simulationSurface(result_.remaining, result_.map, input_.cell, result_.allowance,
                                     surfaceVerticesPerSide));
    legend_->setLargestThickness(result_.map.figures.largestThicknessLeft);
    const DeviationFigures& f = result_.map.figures;
    const auto caption = [](const std::string& text) { return QString::fromStdString(text); };
    // Two lines, each figure after its caption: the removed volume, the
    // highest material left and the deepest gouge over the model, then the
    // thickness left where the build's tools could have reached.
    figures_->setText(caption(txt("Main_window", "lRemoved.Caption")) +
                      QString::asprintf(" %.1f mm³   ", f.volumeRemoved) +
                      caption(txt("Main_window", "lMaterialLeft.Caption")) +
                      QString::asprintf(" %.3f mm   ", f.largestMaterialLeft) +
                      caption(txt("Main_window", "lGouge.Caption")) +
                      QString::asprintf(" %.3f mm (X %.2f Y %.2f), %.2f mm²\n", f.largestGouge,
                                        f.gougeX, f.gougeY, f.gougedArea) +
                      caption(txt("Main_window", "lLeftOnReach.Caption")) +
                      QString::asprintf(" %.3f mm (X %.2f Y %.2f)", f.largestThicknessLeft,
                                        f.thicknessLeftX, f.thicknessLeftY));
}

void SimulationPage::showCell(double x, double y) {
    if (!result_.completed) return;
    const auto c =
        surfaceCellAt(result_.remaining, result_.map, input_.cell, result_.allowance, x, y);
    if (!c) return;
    const char* judgement[] = {"lReached.Caption", "lOutOfReach.Caption", "lLeftOnReach.Caption",
                               "lGouge.Caption"};
    const auto caption = [](const char* key) {
        return QString::fromStdString(txt("Main_window", key));
    };
    cell_->setText(QString::asprintf("X %.2f  Y %.2f  Z %.3f:  ", c->ix * input_.cell,
                                     c->iy * input_.cell, c->height) +
                   caption(judgement[static_cast<int>(c->judgement)]) + "    " +
                   caption("lOdchylka.Caption") + QString::asprintf(" %+.3f mm    ", c->deviation) +
                   caption("lLeftOnReach.Caption") + QString::asprintf(" %.3f mm", c->thickness));
}
