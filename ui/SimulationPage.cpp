#include "SimulationPage.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "output/DeviationPicture.h"

#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace korvane;

namespace {

QColor colourOf(DeviationClass c) {
    return QColor::fromRgb(deviationColour(c));
}

} // namespace

void SimulationView::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

void SimulationView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x30, 0x30, 0x30));
    const int legendHeight = fontMetrics().height() + 12;
    const QRect area = rect().adjusted(6, 6, -6, -legendHeight);
    if (!image_.isNull() && area.width() > 0 && area.height() > 0) {
        const QSize size = image_.size().scaled(area.size(), Qt::KeepAspectRatio);
        const QRect target(area.x() + (area.width() - size.width()) / 2,
                           area.y() + (area.height() - size.height()) / 2, size.width(),
                           size.height());
        p.drawImage(target, image_);
    }
    // The legend: a swatch and the name of each class.
    const std::pair<DeviationClass, const char*> entries[] = {
        {DeviationClass::withinAllowance, "lWithinAllowance.Caption"},
        {DeviationClass::materialLeft, "lMaterialLeft.Caption"},
        {DeviationClass::gouge, "lGouge.Caption"}};
    const QString names[] = {QString::fromStdString(txt("Main_window", "lWithinAllowance.Caption")),
                             QString::fromStdString(txt("Main_window", "lMaterialLeft.Caption")),
                             QString::fromStdString(txt("Main_window", "lGouge.Caption"))};
    int x = 8;
    const int y = height() - legendHeight + 6;
    const int box = fontMetrics().height() - 2;
    p.setPen(Qt::white);
    for (int i = 0; i < 3; ++i) {
        p.fillRect(x, y, box, box, colourOf(entries[i].first));
        x += box + 6;
        p.drawText(x, y + fontMetrics().ascent() - 1, names[i]);
        x += fontMetrics().horizontalAdvance(names[i]) + 18;
    }
}

SimulationPage::SimulationPage(QWidget* parent) : QWidget(parent) {
    simulate_ = new QPushButton;
    simulate_->setObjectName("bSimulate");
    abort_ = new QPushButton;
    abort_->setObjectName("bAbortSimulation");
    abort_->setEnabled(false);
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    figures_ = new QLabel;
    figures_->setWordWrap(true);
    view_ = new SimulationView;

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(simulate_);
    buttons->addWidget(abort_);
    buttons->addWidget(progress_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(figures_);
    layout->addWidget(view_, 1);

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
    try {
        run(gatherBuildSimulation());
    } catch (const std::exception& e) {
        figures_->setText(QString::fromStdString(e.what()));
    }
}

void SimulationPage::run(BuildSimulationInput input) {
    abort();
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
    const tpix2d& d = result_.map.deviation;
    const std::vector<std::uint8_t> pixels =
        deviationPixels(d, result_.remaining, input_.cell, result_.allowance);
    const int w = std::min(d.columns(), result_.remaining.columns());
    const int h = std::min(d.rows(), result_.remaining.rows());
    picture_ = QImage(pixels.data(), w, h, w * 3, QImage::Format_RGB888).copy();
    view_->setImage(picture_);
    const DeviationFigures& f = result_.map.figures;
    figures_->setText(QString::asprintf("%.1f mm³  |  +%.3f mm  |  -%.3f mm (X %.2f Y %.2f)  |  "
                                        "%.2f mm²",
                                        f.volumeRemoved, f.largestMaterialLeft, f.largestGouge,
                                        f.gougeX, f.gougeY, f.gougedArea));
}
