#include "OutputPreviewPage.h"
#include "PathPreviewView.h"

#include "app/MaterialBox.h"
#include "app/ToolMesh.h"
#include "app/WyLista.h"
#include "foundation/Interfejs.h"
#include "foundation/Settings.h"
#include "foundation/State.h"
#include "output/DaneWyjsciowe.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QVBoxLayout>

using namespace korvane;

namespace {

constexpr int toolSlices = 32;

QString text(const char* key) {
    return QString::fromStdString(txt("Main_window", key));
}

} // namespace

OutputPreviewPage::OutputPreviewPage(QWidget* parent) : QWidget(parent) {
    view_ = new PathPreviewView;
    view_->setObjectName("rwPodgladWy");
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setObjectName("tbOdtwarzanie");
    slider_->setRange(0, 0);
    slider_->setEnabled(false);
    slider_->setPageStep(100);
    view_->setPlaybackSlider(slider_);
    position_ = new QLabel;
    position_->setObjectName("lPunktOdtwarzania");
    figures_ = new QLabel;
    figures_->setObjectName("lParametryWy");
    figures_->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(slider_);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(6, 0, 6, 4);
    row->addWidget(position_, 1);
    row->addWidget(figures_);
    layout->addLayout(row);

    connect(slider_, &QSlider::valueChanged, this, [this](int index) { showPosition(index); });
    connect(view_, &PathPreviewView::pointClicked, slider_, &QSlider::setValue);
    connect(view_, &PathPreviewView::pointMenuRequested, this, [this](int index, QPoint global) {
        if (!timeline_ || index >= timeline_->points()) return;
        QMenu menu(this);
        menu.setObjectName("pmPunktSciezki");
        QAction* start = menu.addAction(text("pmiStartTutaj.Caption"));
        start->setObjectName("pmiStartTutaj");
        slider_->setValue(index);
        if (menu.exec(global) == start)
            emit startFrom(timeline_->figureOf(index), timeline_->pointOf(index));
    });
    applySettings();
}

OutputPreviewPage::~OutputPreviewPage() = default;

void OutputPreviewPage::applySettings() {
    view_->setShown(!settings.podgladBezModelu, !settings.podgladBezMaterialu);
}

void OutputPreviewPage::clear() {
    timeline_.reset();
    view_->clearPaths();
    slider_->setRange(0, 0);
    slider_->setEnabled(false);
    position_->clear();
    figures_->clear();
}

void OutputPreviewPage::showOutput() {
    if (!outputReader) return clear();
    const FigureList& figures = outputReader->ListaFigur;
    view_->setTexts(
        {text("lWysokosc.Caption"), text("lPrzejazd.Caption"), text("lWejscie.Caption")});
    operation_ = shownOutputOperation();
    corners_ = sharpCornerCount;
    timeline_ = std::make_unique<PathTimeline>(figures);
    const double approach = operation_.operation ? operation_.operation->warstwaGrubosc : 0;
    view_->setTool(operation_.tool ? toolMesh(*operation_.tool, toolSlices) : std::vector<float>{});
    view_->setMaterialBox(projectMaterialBox());
    const TModel& e = modelExtents;
    view_->showPaths(pathPreview(figures, approach),
                     {e.minX, e.minY, e.minZ, e.maxX, e.maxY, e.maxZ});

    const TOperacjaDane* oper = operation_.operation ? &*operation_.operation : nullptr;
    const OutputParameters p = outputParameters(outputReader->dl_sciezki_narz,
                                                static_cast<int>(figures.size()), corners_, oper);
    QString line = text("dlSciezkiNarzedzia") + ": " + QString::fromStdString(p.length);
    if (!p.time.empty())
        line += "    " + text("czasTrwaniaOper") + ": " + QString::fromStdString(p.time);
    figures_->setText(line);

    const int points = timeline_->points();
    slider_->blockSignals(true);
    slider_->setRange(0, std::max(0, points - 1));
    slider_->setValue(0);
    slider_->blockSignals(false);
    slider_->setEnabled(points > 0);
    showPosition(0);
}

void OutputPreviewPage::showPosition(int index) {
    // The point from the preview's own copy: the program's reader may have
    // read another output since (a start of machining does).
    const auto at = timeline_ ? view_->pointAt(index) : std::nullopt;
    if (!at || index >= timeline_->points()) {
        view_->setToolAt(-1);
        position_->clear();
        return;
    }
    view_->setToolAt(index);
    const int figure = timeline_->figureOf(index), point = timeline_->pointOf(index);
    const TrPkt3D p = *at;
    QString line = text("lFigura.Caption") + QString(" %1, ").arg(figure) + text("lPunkt.Caption") +
                   QString(" %1    ").arg(point) +
                   QString::asprintf("X %.3f  Y %.3f  Z %.3f", static_cast<double>(p.x),
                                     static_cast<double>(p.y), static_cast<double>(p.z));
    const TOperacjaDane* oper = operation_.operation ? &*operation_.operation : nullptr;
    if (const auto minutes = minutesAt(*timeline_, index, corners_, oper))
        line += "    " + text("lCzasWPunkcie.Caption") + " " +
                QString::fromStdString(clockText(*minutes));
    position_->setText(line);
}
