#include "ToolDiagram.h"

#include "libraries/Frezy.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace korvane;

namespace {

// The drawing's own coordinates: 160 wide, 200 high, the tip at the bottom.
constexpr double drawingWidth = 160;
constexpr double drawingHeight = 200;
constexpr double axis = 65;       // the tool's axis
constexpr double top = 14;        // the shank's end
constexpr double shoulder = 80;   // hc: where the shank diameter is reached
constexpr double cutTop = 118;    // h: the top of the cutting part
constexpr double tip = 176;       // the tool's tip
constexpr double shankHalf = 30;  // d3 / 2
constexpr double cutHalf = 21;    // d1 / 2 of the end mill and ball nose; d2 / 2 of the cone
constexpr double coneTipHalf = 5; // d1 / 2 of the cone

void arrowHead(QPainter& p, QPointF at, QPointF from) {
    const QPointF d = at - from;
    const double length = std::hypot(d.x(), d.y());
    if (length == 0) return;
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const QPointF base = at - u * 6;
    p.drawPolygon(QPolygonF{at, base + n * 2.5, base - n * 2.5});
}

// A dimension line from a to b with arrows at both ends and its name at `label`.
void dimension(QPainter& p, QPointF a, QPointF b, const QString& name, QPointF label) {
    p.drawLine(a, b);
    arrowHead(p, a, b);
    arrowHead(p, b, a);
    p.drawText(QRectF(label.x() - 12, label.y() - 8, 24, 16), Qt::AlignCenter, name);
}

// The outline of the tool, tip down.
QPainterPath outline(int type) {
    QPainterPath path;
    path.moveTo(axis - shankHalf, top);
    path.lineTo(axis + shankHalf, top);
    path.lineTo(axis + shankHalf, shoulder);
    switch (type) {
    case toolEndMill:
        path.lineTo(axis + cutHalf, cutTop);
        path.lineTo(axis + cutHalf, tip);
        path.lineTo(axis - cutHalf, tip);
        path.lineTo(axis - cutHalf, cutTop);
        break;
    case toolBallNose:
        path.lineTo(axis + cutHalf, cutTop);
        path.lineTo(axis + cutHalf, tip - cutHalf);
        path.arcTo(QRectF(axis - cutHalf, tip - 2 * cutHalf, 2 * cutHalf, 2 * cutHalf), 0, -180);
        path.lineTo(axis - cutHalf, cutTop);
        break;
    default: // conical
        path.lineTo(axis + cutHalf, cutTop);
        path.lineTo(axis + coneTipHalf, tip);
        path.lineTo(axis - coneTipHalf, tip);
        path.lineTo(axis - cutHalf, cutTop);
        break;
    }
    path.lineTo(axis - shankHalf, shoulder);
    path.closeSubpath();
    return path;
}

} // namespace

ToolDiagram::ToolDiagram(const QString& noDiagramText, QWidget* parent)
    : QWidget(parent), noDiagramText_(noDiagramText) {
    setObjectName("imSchemat");
    setMinimumSize(sizeHint());
    // The drawing reads the same way in every language.
    setLayoutDirection(Qt::LeftToRight);
}

void ToolDiagram::setType(int type) {
    if (type == type_) return;
    type_ = type;
    update();
}

void ToolDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (type_ < toolEndMill || type_ > toolConical) {
        p.setPen(Qt::black);
        p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                   noDiagramText_);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(width() / drawingWidth, height() / drawingHeight);
    p.translate((width() - drawingWidth * scale) / 2, (height() - drawingHeight * scale) / 2);
    p.scale(scale, scale);

    // The tool: shank and cutting part, with the edges of the flutes.
    const QPainterPath tool = outline(type_);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(QColor(0xC8, 0xD0, 0xD8));
    p.drawPath(tool);
    p.save();
    p.setClipPath(tool);
    p.setPen(QPen(QColor(0x60, 0x70, 0x80), 1));
    for (double y = cutTop - 12; y < tip + 20; y += 12)
        p.drawLine(QPointF(axis - shankHalf, y + 10), QPointF(axis + shankHalf, y - 10));
    p.restore();
    p.setPen(QPen(Qt::black, 0.6, Qt::DashDotLine));
    p.drawLine(QPointF(axis, top - 8), QPointF(axis, tip + 8));

    // Dimension lines: the diameters across, the lengths from the tip on the right.
    QFont font = p.font();
    font.setPointSizeF(8);
    p.setFont(font);
    const QPen thin(Qt::black, 0.8);
    p.setPen(thin);
    p.setBrush(Qt::black);
    const double right = axis + shankHalf;
    const double tipHalf = type_ == toolConical ? coneTipHalf : cutHalf;
    // Extension lines.
    p.drawLine(QPointF(axis + tipHalf + 2, tip), QPointF(right + 46, tip));
    p.drawLine(QPointF(axis + cutHalf + 2, cutTop), QPointF(right + 20, cutTop));
    p.drawLine(QPointF(right + 2, shoulder), QPointF(right + 46, shoulder));
    p.drawLine(QPointF(axis - tipHalf, tip + 2), QPointF(axis - tipHalf, tip + 16));
    p.drawLine(QPointF(axis + tipHalf, tip + 2), QPointF(axis + tipHalf, tip + 16));
    p.drawLine(QPointF(axis - shankHalf, top - 2), QPointF(axis - shankHalf, top - 10));
    p.drawLine(QPointF(axis + shankHalf, top - 2), QPointF(axis + shankHalf, top - 10));

    dimension(p, {right + 16, cutTop}, {right + 16, tip}, "h", {right + 26, (cutTop + tip) / 2});
    dimension(p, {right + 40, shoulder}, {right + 40, tip}, "hc",
              {right + 52, (shoulder + tip) / 2 + 20});
    dimension(p, {axis - shankHalf, top - 7}, {axis + shankHalf, top - 7}, "d3",
              {axis + shankHalf + 16, top - 7});
    if (type_ == toolConical) {
        // The cone's tip is too narrow to hold the arrows between its ends.
        p.drawLine(QPointF(axis - tipHalf - 14, tip + 12), QPointF(axis + tipHalf + 14, tip + 12));
        arrowHead(p, {axis - tipHalf, tip + 12}, {axis - tipHalf - 10, tip + 12});
        arrowHead(p, {axis + tipHalf, tip + 12}, {axis + tipHalf + 10, tip + 12});
        p.drawText(QRectF(axis - tipHalf - 40, tip + 4, 24, 16), Qt::AlignCenter, "d1");
        dimension(p, {axis - cutHalf, cutTop}, {axis + cutHalf, cutTop}, "d2",
                  {axis - cutHalf - 16, cutTop});
    } else {
        dimension(p, {axis - tipHalf, tip + 12}, {axis + tipHalf, tip + 12}, "d1",
                  {axis - tipHalf - 16, tip + 12});
    }
}
