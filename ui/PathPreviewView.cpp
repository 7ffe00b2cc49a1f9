#include "PathPreviewView.h"

#include "app/MaterialBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>

using namespace korvane;

namespace {

// The paths are seen from the south, 35° down from the top, so that heights,
// plunges and lifts read.
constexpr double tiltDegrees = -35;
// A click picks the nearest point within this many pixels.
constexpr double pickRadius = 12;
// A press and release closer than this is a click, not a drag.
constexpr int clickSlack = 3;

QColor qColour(const Rgb& c) {
    return QColor::fromRgbF(c[0], c[1], c[2]);
}

} // namespace

PathPreviewView::PathPreviewView(QWidget* parent) : TRAWview(tpPrzegladPlikuWy, parent) {
    setBackground(QColor(0x2A, 0x2E, 0x36));
    setModelKolor(0x00FF00);
    setModelMaterial(0.3);
    setFocusPolicy(Qt::StrongFocus);
}

PathPreviewView::~PathPreviewView() {
    if (pathBuffer_ != 0 && context()) {
        makeCurrent();
        const unsigned buffers[] = {pathBuffer_, travelBuffer_, modelBuffer_, toolBuffer_};
        glDeleteBuffers(4, buffers);
        doneCurrent();
    }
}

void PathPreviewView::showPaths(PathPreview paths, const TMinMax& frame) {
    frame_ = frame;
    lowZ_ = paths.lowZ;
    highZ_ = paths.highZ;
    hasPaths_ = !paths.first.empty();
    pendingPaths_ = std::move(paths);
    toolAt_ = -1;
    // An empty figure list: the view's own drawing is the paths, framed here.
    LadujListeFigur({}, frame.minX, frame.maxX, frame.minY, frame.maxY);
}

void PathPreviewView::clearPaths() {
    pendingPaths_ = PathPreview{};
    hasPaths_ = false;
    toolAt_ = -1;
    PokazScene();
}

void PathPreviewView::setModel(const TriangleList& triangles) {
    pendingModel_ = triangleVertexData(triangles);
    PokazScene();
}

void PathPreviewView::setTool(std::vector<float> triangles) {
    pendingTool_ = std::move(triangles);
    PokazScene();
}

void PathPreviewView::setShown(bool model, bool material) {
    showModel_ = model;
    showMaterial_ = material;
    PokazScene();
}

void PathPreviewView::setToolAt(int index) {
    toolAt_ = index;
    PokazScene();
}

void PathPreviewView::initializeGL() {
    TRAWview::initializeGL();
    // A new context has empty buffers: nothing is drawn until the next lists.
    glGenBuffers(1, &pathBuffer_);
    glGenBuffers(1, &travelBuffer_);
    glGenBuffers(1, &modelBuffer_);
    glGenBuffers(1, &toolBuffer_);
    pathVertices_ = travelVertices_ = modelVertices_ = toolVertices_ = 0;
}

void PathPreviewView::uploadPending() {
    // A list the graphics memory refused is not drawn at all.
    auto fill = [&](unsigned buffer, const std::vector<float>& data, int stride) {
        while (glGetError() != GL_NO_ERROR) {
        }
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)),
                     data.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return glGetError() == GL_NO_ERROR ? static_cast<int>(data.size()) / stride : 0;
    };
    if (pendingPaths_) {
        ++pathUploads_;
        pathVertices_ = fill(pathBuffer_, pendingPaths_->points, floatsPerPathVertex);
        travelVertices_ = fill(travelBuffer_, pendingPaths_->travel, floatsPerPathVertex);
        first_ = std::move(pendingPaths_->first);
        count_ = std::move(pendingPaths_->count);
        points_ = std::move(pendingPaths_->points);
        if (pathVertices_ == 0) first_.clear(), count_.clear();
        pendingPaths_.reset();
    }
    if (pendingModel_) {
        modelVertices_ = fill(modelBuffer_, *pendingModel_, floatsPerVertex);
        pendingModel_.reset();
    }
    if (pendingTool_) {
        toolVertices_ = fill(toolBuffer_, *pendingTool_, floatsPerVertex);
        pendingTool_.reset();
    }
}

void PathPreviewView::drawColoured(unsigned buffer, GLenum mode, int vertices) {
    const GLsizei stride = floatsPerPathVertex * sizeof(float);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, nullptr);
    glColorPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    if (mode == GL_LINE_STRIP)
        glMultiDrawArrays(GL_LINE_STRIP, first_.data(), count_.data(),
                          static_cast<GLsizei>(first_.size()));
    else
        glDrawArrays(mode, 0, vertices);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void PathPreviewView::paintGL() {
    if (state().Locked) return;
    upload();
    uploadPending();
    setUpFrame();
    glRotated(tiltDegrees, 1, 0, 0);
    applyCentring();
    glGetDoublev(GL_MODELVIEW_MATRIX, projection_.modelView.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection_.projection.data());
    glGetIntegerv(GL_VIEWPORT, projection_.viewport.data());

    glDisable(GL_LIGHTING);
    TMinMax extent = frame_;
    extent.minZ = std::min(0.0, lowZ_);
    extent.maxZ = std::max(highZ_, box_ && showMaterial_ ? box_->maxZ : 0.0);
    const MillimetreAxes axes = millimetreAxes(extent);
    glColor3f(0.85f, 0.85f, 0.85f);
    std::vector<TrPkt3D> lines;
    for (const AxisSegment& s : axes.lines) lines.push_back(s.from), lines.push_back(s.to);
    drawLines(lines);
    if (box_ && showMaterial_) {
        lines.clear();
        for (const AxisSegment& s : boxEdges(*box_)) lines.push_back(s.from), lines.push_back(s.to);
        // White: apart from the grey rapids and every colour of the height scale.
        glColor3f(1.0f, 1.0f, 1.0f);
        glLineWidth(1.5f);
        drawLines(lines);
    }
    if (!first_.empty()) {
        glLineWidth(1.0f);
        drawColoured(travelBuffer_, GL_LINES, travelVertices_);
        glLineWidth(2.0f);
        drawColoured(pathBuffer_, GL_LINE_STRIP, pathVertices_);
    }
    glLineWidth(1.0f);
    glEnable(GL_LIGHTING);

    const GLsizei stride = floatsPerVertex * sizeof(float);
    auto drawTriangleBuffer = [&](unsigned buffer, int vertices) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, stride, nullptr);
        glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
        glDrawArrays(GL_TRIANGLES, 0, vertices);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    };
    const auto at = static_cast<std::size_t>(toolAt_) * floatsPerPathVertex;
    if (toolAt_ >= 0 && at + 2 < points_.size() && toolVertices_ > 0) {
        glPushMatrix();
        glTranslated(points_[at], points_[at + 1], points_[at + 2]);
        glColor3f(0.85f, 0.85f, 0.9f);
        drawTriangleBuffer(toolBuffer_, toolVertices_);
        glPopMatrix();
    }
    // The model last, translucent, over what lies under it, never hiding it.
    if (showModel_ && modelVertices_ > 0) {
        // Blended into the colours only: the frame stays opaque where the
        // window shows it.
        glEnable(GL_BLEND);
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
        glDepthMask(GL_FALSE);
        glColor4f(0.3f, 0.8f, 0.4f, 0.25f);
        drawTriangleBuffer(modelBuffer_, modelVertices_);
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
    }

    std::vector<AxisLabel> labels = axes.labels;
    if (box_ && showMaterial_) {
        const auto dimensions = boxDimensions(*box_);
        labels.insert(labels.end(), dimensions.begin(), dimensions.end());
    }
    drawOverlay(labels);
}

std::optional<TrPkt3D> PathPreviewView::pointAt(int index) const {
    // The paths still waiting for the graphics card hold the points until then.
    const std::vector<float>& points = pendingPaths_ ? pendingPaths_->points : points_;
    const auto at = static_cast<std::size_t>(index) * floatsPerPathVertex;
    if (index < 0 || at + 2 >= points.size()) return std::nullopt;
    return TrPkt3D{points[at], points[at + 1], points[at + 2]};
}

std::optional<QPointF> PathPreviewView::pointOnScreen(int index) const {
    const auto at = static_cast<std::size_t>(index) * floatsPerPathVertex;
    if (index < 0 || at + 2 >= points_.size()) return std::nullopt;
    const auto w = projectToWindow(projection_, points_[at], points_[at + 1], points_[at + 2]);
    if (!w) return std::nullopt;
    const qreal ratio = devicePixelRatioF();
    return QPointF((*w)[0] / ratio, height() - (*w)[1] / ratio);
}

void PathPreviewView::drawOverlay(const std::vector<AxisLabel>& labels) {
    // The painter's own drawing neither tested against the scene's depth nor
    // lit, nor faded by the translucent colour left current (Mesa's painter
    // reads it).
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glColor4f(1, 1, 1, 1);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal ratio = devicePixelRatioF();
    painter.setPen(QColor(0xE0, 0xE0, 0xE0));
    for (const AxisLabel& l : labels)
        if (const auto w = projectToWindow(projection_, l.at.x, l.at.y, l.at.z))
            painter.drawText(QPointF((*w)[0] / ratio + 3, height() - (*w)[1] / ratio),
                             QString::fromStdString(l.text));
    if (!hasPaths_) return;

    // The legend in the right-hand top corner: the height scale, then the
    // swatches of rapids and plunges.
    const QFontMetrics m = painter.fontMetrics();
    const int barWidth = 16, barHeight = std::min(200, height() / 2);
    const QString title = texts_.height + " [mm]";
    // Wide enough for the title, the numbers and the names, whatever the language.
    const int wide =
        std::max({m.horizontalAdvance(title), barWidth + 6 + m.horizontalAdvance("-0000.00"),
                  barWidth + 14 + m.horizontalAdvance(texts_.rapid),
                  barWidth + 14 + m.horizontalAdvance(texts_.plunge)});
    const int top = 12 + m.height(), barLeft = width() - 12 - wide;
    painter.drawText(barLeft, top - 4, title);
    QLinearGradient gradient(0, top + barHeight, 0, top);
    for (int k = 0; k <= 8; ++k) gradient.setColorAt(k / 8.0, qColour(heightColour(k / 8.0)));
    painter.fillRect(barLeft, top, barWidth, barHeight, gradient);
    const double span = highZ_ - lowZ_;
    const std::vector<double> marks = scaleMarks(lowZ_, highZ_, 5);
    const double step = marks.size() > 1 ? marks[1] - marks[0] : 1;
    for (const double v : marks) {
        const int y = span > 0 ? top + barHeight - static_cast<int>((v - lowZ_) / span * barHeight)
                               : top + barHeight / 2;
        painter.drawLine(barLeft + barWidth, y, barLeft + barWidth + 4, y);
        painter.drawText(barLeft + barWidth + 6, y + m.ascent() / 2,
                         QString::fromStdString(scaleText(v, step)));
    }
    int y = top + barHeight + 16;
    for (const auto& [colour, name] :
         {std::pair{rapidColour, texts_.rapid}, std::pair{plungeColour, texts_.plunge}}) {
        painter.setPen(QPen(qColour(colour), 3));
        painter.drawLine(barLeft, y, barLeft + barWidth + 8, y);
        painter.setPen(QColor(0xE0, 0xE0, 0xE0));
        painter.drawText(barLeft + barWidth + 14, y + m.ascent() / 2 - 1, name);
        y += m.height() + 4;
    }
}

int PathPreviewView::pick(QPoint at) const {
    const qreal ratio = devicePixelRatioF();
    return nearestVertexOnScreen(points_, floatsPerPathVertex, projection_, at.x() * ratio,
                                 (height() - at.y()) * ratio, pickRadius * ratio);
}

void PathPreviewView::mousePressEvent(QMouseEvent* event) {
    pressedAt_ = event->position().toPoint();
    TRAWview::mousePressEvent(event);
}

void PathPreviewView::mouseReleaseEvent(QMouseEvent* event) {
    TRAWview::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    if (locked() || (at - pressedAt_).manhattanLength() > clickSlack) return;
    const int index = pick(at);
    if (index < 0) return;
    if (event->button() == Qt::LeftButton)
        emit pointClicked(index);
    else if (event->button() == Qt::RightButton)
        emit pointMenuRequested(index, event->globalPosition().toPoint());
}

void PathPreviewView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (slider_) {
            QApplication::sendEvent(slider_, event);
            return;
        }
        break;
    default:
        break;
    }
    TRAWview::keyPressEvent(event);
}
