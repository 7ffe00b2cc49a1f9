#include "OldPreviewImage.h"

#include <QPainter>

QImage oldPreviewImage(const std::vector<korvane::PreviewPolyline>& lines, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    for (const auto& line : lines) {
        QPoint from(line.front().x, line.front().y);
        for (std::size_t i = 1; i < line.size(); ++i) {
            const QPoint to(line[i].x, line[i].y);
            painter.drawLine(from, to);
            from = to;
        }
    }
    return image;
}
