#include "MaterialView.h"

#include "app/MaterialBox.h"
#include "foundation/Interfejs.h"

#include <QPainter>

#include <algorithm>

using namespace korvane;

namespace {

constexpr double tiltDegrees = -35;

} // namespace

MaterialView::MaterialView(QWidget* parent) : TRAWview(tpPrzegladRAW, parent) {
    setBackground(QColor(0x2A, 0x2E, 0x36));
    setModelKolor(0x00FF00);
    setModelMaterial(1.0);
}

namespace {

// The plan extents the view frames: the block's with a margin, so that its
// height, tilted towards the viewer, and its dimension labels stay in view.
TMinMax framed(const TMinMax& e) {
    const double margin = 0.15 * std::max(e.maxX - e.minX, e.maxY - e.minY);
    TMinMax f = e;
    f.minX -= margin;
    f.maxX += margin;
    f.minY -= margin;
    f.maxY += margin;
    return f;
}

} // namespace

void MaterialView::showStock(const TriangleList& triangles, const TMinMax& e) {
    hasStock_ = !triangles.empty();
    box_ = projectMaterialBox();
    const TMinMax f = framed(e);
    LadujListeRAW(triangles, f.minX, f.maxX, f.minY, f.maxY, 0, 0);
}

void MaterialView::refreshMaterial() {
    const auto box = projectMaterialBox();
    const bool changed =
        box.has_value() != box_.has_value() ||
        (box && (box->minX != box_->minX || box->maxX != box_->maxX || box->minY != box_->minY ||
                 box->maxY != box_->maxY || box->maxZ != box_->maxZ));
    box_ = box;
    if (changed && !hasStock_ && box_) {
        const TMinMax f = framed(*box_);
        LadujListeRAW({}, f.minX, f.maxX, f.minY, f.maxY, 0, 0);
    }
    PokazScene();
}

void MaterialView::showEvent(QShowEvent* event) {
    TRAWview::showEvent(event);
    refreshMaterial();
}

void MaterialView::paintGL() {
    if (state().Locked) return;
    upload();
    setUpFrame();
    glRotated(tiltDegrees, 1, 0, 0);
    applyCentring();
    glGetDoublev(GL_MODELVIEW_MATRIX, projection_.modelView.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection_.projection.data());
    glGetIntegerv(GL_VIEWPORT, projection_.viewport.data());
    drawTriangles();

    QString line;
    std::vector<AxisLabel> labels;
    if (box_) {
        // The faces translucent over the stock model, then the edges.
        const std::vector<float> faces = boxFaces(*box_);
        glEnable(GL_BLEND);
        // Blended into the colours only: the frame stays opaque.
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
        glDepthMask(GL_FALSE);
        glColor4f(0.95f, 0.65f, 0.3f, 0.35f);
        glBegin(GL_TRIANGLES);
        for (std::size_t i = 0; i + 5 < faces.size(); i += floatsPerVertex) {
            glNormal3f(faces[i + 3], faces[i + 4], faces[i + 5]);
            glVertex3f(faces[i], faces[i + 1], faces[i + 2]);
        }
        glEnd();
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
        std::vector<TrPkt3D> lines;
        for (const AxisSegment& s : boxEdges(*box_)) lines.push_back(s.from), lines.push_back(s.to);
        glColor3f(1.0f, 0.7f, 0.3f);
        glLineWidth(1.5f);
        drawLines(lines);
        glLineWidth(1.0f);
        labels = boxDimensions(*box_);
        line = QString::fromStdString(txt("Main_window", "lWymiaryMaterialu.Caption") + ": " +
                                      boxSizeText(*box_));
    } else if (!hasStock_) {
        line = QString::fromStdString(txt("Main_window", "lBrakMaterialu.Caption"));
    }

    // Opaque white current, as the painter expects (see PathPreviewView).
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glColor4f(1, 1, 1, 1);
    QPainter painter(this);
    painter.setPen(QColor(0xF0, 0xF0, 0xF0));
    const qreal ratio = devicePixelRatioF();
    for (const AxisLabel& l : labels)
        if (const auto w = projectToWindow(projection_, l.at.x, l.at.y, l.at.z))
            painter.drawText(QPointF((*w)[0] / ratio + 4, height() - (*w)[1] / ratio - 4),
                             QString::fromStdString(l.text));
    painter.drawText(QRect(12, height() - 12 - painter.fontMetrics().height() * 2, width() - 24,
                           painter.fontMetrics().height() * 2),
                     Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, line);
}
