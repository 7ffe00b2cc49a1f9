#include "SimulationSurfaceView.h"

#include <QMouseEvent>

using namespace korvane;

namespace {

// The view opens looking at the material from the south, 55° down from the top.
constexpr double tiltDegrees = -55;
// A press and release closer than this is a click, not a drag.
constexpr int clickSlack = 3;

} // namespace

SimulationSurfaceView::SimulationSurfaceView(QWidget* parent)
    : TRAWview(tpPrzegladRAWtermSeryjne, parent) {
    setBackground(QColor(0x30, 0x30, 0x30));
    setModelMaterial(0.2);
}

SimulationSurfaceView::~SimulationSurfaceView() {
    if (vertexBuffer_ != 0 && context()) {
        makeCurrent();
        glDeleteBuffers(1, &vertexBuffer_);
        glDeleteBuffers(1, &indexBuffer_);
        doneCurrent();
    }
}

void SimulationSurfaceView::setMesh(SurfaceMesh mesh) {
    const TMinMax e = mesh.extents;
    pending_ = std::move(mesh);
    // An empty triangle list: the view's own drawing is the mesh, framed here.
    LadujListeRAW({}, e.minX, e.maxX, e.minY, e.maxY, e.minZ, e.maxZ);
}

void SimulationSurfaceView::initializeGL() {
    TRAWview::initializeGL();
    // A new context has empty buffers: nothing is drawn until the next mesh.
    glGenBuffers(1, &vertexBuffer_);
    glGenBuffers(1, &indexBuffer_);
    indexCount_ = 0;
}

void SimulationSurfaceView::uploadMesh() {
    if (!pending_) return;
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(pending_->vertices.size() * sizeof(float)),
                 pending_->vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(pending_->indices.size() * sizeof(std::uint32_t)),
                 pending_->indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    // A mesh the graphics memory refused is not drawn at all.
    indexCount_ = glGetError() == GL_NO_ERROR ? static_cast<int>(pending_->indices.size()) : 0;
    pending_.reset();
}

void SimulationSurfaceView::paintGL() {
    if (state().Locked) return;
    uploadMesh();
    setUpFrame();
    glShadeModel(GL_SMOOTH);
    glRotated(tiltDegrees, 1, 0, 0);
    applyCentring();
    glGetDoublev(GL_MODELVIEW_MATRIX, projection_.modelView.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection_.projection.data());
    glGetIntegerv(GL_VIEWPORT, projection_.viewport.data());
    if (indexCount_ > 0) {
        const GLsizei stride = floatsPerSurfaceVertex * sizeof(float);
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, stride, nullptr);
        glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
        glColorPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(6 * sizeof(float)));
        glDrawElements(GL_TRIANGLES, indexCount_, GL_UNSIGNED_INT, nullptr);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
}

void SimulationSurfaceView::mousePressEvent(QMouseEvent* event) {
    pressedAt_ = event->position().toPoint();
    TRAWview::mousePressEvent(event);
}

void SimulationSurfaceView::mouseReleaseEvent(QMouseEvent* event) {
    TRAWview::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    if (locked() || indexCount_ == 0 || event->button() != Qt::LeftButton ||
        (at - pressedAt_).manhattanLength() > clickSlack)
        return;
    // The depth the last frame left under the mouse: the background's is the far plane.
    const qreal ratio = devicePixelRatioF();
    const double x = at.x() * ratio, y = (height() - at.y()) * ratio;
    GLfloat depth = 1;
    makeCurrent();
    glReadPixels(static_cast<GLint>(x), static_cast<GLint>(y), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT,
                 &depth);
    doneCurrent();
    if (!(depth < 1)) return;
    if (const auto p = unprojectFromWindow(projection_, x + 0.5, y + 0.5, depth))
        emit surfaceClicked((*p)[0], (*p)[1]);
}
