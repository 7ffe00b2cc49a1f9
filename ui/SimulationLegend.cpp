#include "SimulationLegend.h"

#include "app/SimulationSurface.h"
#include "foundation/Interfejs.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

using namespace korvane;

namespace {

QColor colourOf(SurfaceJudgement j, double thickness, double largest) {
    const auto c = surfaceColour(j, thickness, largest);
    return QColor::fromRgbF(c[0], c[1], c[2]);
}

QString text(const char* key) {
    return QString::fromStdString(txt("Main_window", key));
}

} // namespace

SimulationLegend::SimulationLegend(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize SimulationLegend::sizeHint() const {
    return {300, fontMetrics().height() + 8};
}

void SimulationLegend::setLargestThickness(double mm) {
    largest_ = mm;
    update();
}

void SimulationLegend::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics metrics = fontMetrics();
    const int box = metrics.height() - 2;
    const int y = (height() - box) / 2;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    int x = 4;
    // Laid out from the leading edge: mirrored for right-to-left languages.
    auto place = [&](int w) {
        const int at = rtl ? width() - x - w : x;
        x += w;
        return at;
    };
    auto name = [&](const QString& s) {
        const int w = metrics.horizontalAdvance(s);
        p.drawText(place(w), y + metrics.ascent() - 1, s);
        x += 18;
    };
    auto swatch = [&](const QColor& c) {
        p.fillRect(place(box), y, box, box, c);
        x += 6;
    };
    swatch(colourOf(SurfaceJudgement::reached, 0, largest_));
    name(text("lReached.Caption"));
    // The headline's measure as a scale: light at 0.01 mm, dark at the largest.
    const int scale = 5 * box;
    const int left = place(scale);
    QLinearGradient g(rtl ? left + scale : left, 0, rtl ? left : left + scale, 0);
    g.setColorAt(0, colourOf(SurfaceJudgement::left, reachTolerance, largest_));
    g.setColorAt(1, colourOf(SurfaceJudgement::left, largest_, largest_));
    p.fillRect(left, y, scale, box, g);
    x += 6;
    // Its ends once a simulation has left something to measure.
    name(text("lLeftOnReach.Caption") +
         (largest_ > reachTolerance ? QString::asprintf(" %.2f–%.2f mm", reachTolerance, largest_)
                                    : QString()));
    swatch(colourOf(SurfaceJudgement::gouge, 0, largest_));
    name(text("lGouge.Caption"));
    swatch(colourOf(SurfaceJudgement::unreachable, 0, largest_));
    name(text("lOutOfReach.Caption"));
}
