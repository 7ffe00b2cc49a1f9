#include "SimulationLegend.h"

#include "foundation/Interfejs.h"
#include "output/DeviationPicture.h"

#include <QPainter>

#include <utility>

using namespace korvane;

SimulationLegend::SimulationLegend(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize SimulationLegend::sizeHint() const {
    return {300, fontMetrics().height() + 8};
}

void SimulationLegend::paintEvent(QPaintEvent*) {
    const std::pair<DeviationClass, const char*> entries[] = {
        {DeviationClass::withinAllowance, "lWithinAllowance.Caption"},
        {DeviationClass::materialLeft, "lMaterialLeft.Caption"},
        {DeviationClass::gouge, "lGouge.Caption"}};
    QPainter p(this);
    const QFontMetrics metrics = fontMetrics();
    const int box = metrics.height() - 2;
    const int y = (height() - box) / 2;
    int x = 4;
    for (const auto& [c, key] : entries) {
        const QString name = QString::fromStdString(txt("Main_window", key));
        p.fillRect(x, y, box, box, QColor::fromRgb(deviationColour(c)));
        x += box + 6;
        p.drawText(x, y + metrics.ascent() - 1, name);
        x += metrics.horizontalAdvance(name) + 18;
    }
}
