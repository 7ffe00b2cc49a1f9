#include "RAWview.h"

#include "app/ToolSketch.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <GL/glu.h>

using namespace korvane;

namespace {

KeyModifiers keysOf(Qt::KeyboardModifiers m) {
    return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier),
            m.testFlag(Qt::AltModifier)};
}

MouseButton buttonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return MouseButton::left;
    case Qt::RightButton:
        return MouseButton::right;
    case Qt::MiddleButton:
        return MouseButton::middle;
    default:
        return MouseButton::other;
    }
}

// A colour channel byte b becomes b / 256.
GLfloat channel(int colour, int shift) {
    return static_cast<GLfloat>((colour >> shift) & 0xFF) / 256.0f;
}

constexpr int sketchSlices = 32; // facets around the tool sketch's round pieces

} // namespace

TRAWview::TRAWview(TTrybPracy mode, QWidget* parent) : QOpenGLWidget(parent) {
    state_.FTrybPracy = mode;
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setDepthBufferSize(16);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    setFormat(format);
    setFocusPolicy(Qt::ClickFocus);
}

TRAWview::~TRAWview() {
    if (buffer_ != 0 && context()) {
        makeCurrent();
        glDeleteBuffers(1, &buffer_);
        doneCurrent();
    }
}

void TRAWview::UstawModelKolor(int colour) {
    FModel_Kolor = colour;
    PokazScene();
}

void TRAWview::UstawModelMaterial(double shine) {
    FModel_Material = shine;
    PokazScene();
}

void TRAWview::UstawModelSposobKreslenia(TSposobKreslenia style) {
    FModel_SposobKreslenia = style;
    PokazScene();
}

void TRAWview::UstawWidocznoscUkladuWsp(bool on) {
    FUkladWsp = on;
    PokazScene();
}

void TRAWview::LadujListeRAW(const TriangleList& triangles, double minX, double maxX, double minY,
                             double maxY, double minZ, double maxZ) {
    pendingTriangles_ = triangleVertexData(triangles);
    pendingStrips_.reset();
    state_.ParametryModelu = {minX, minY, minZ, maxX, maxY, maxZ};
    ResetujPrzeksztalcenia();
}

void TRAWview::LadujListeFigur(const FigureList& figures, double minX, double maxX, double minY,
                               double maxY) {
    pendingStrips_ = figureLineStrips(figures);
    pendingTriangles_.reset();
    TMinMax& e = state_.ParametryModelu;
    e.minX = minX;
    e.maxX = maxX;
    e.minY = minY;
    e.maxY = maxY;
    ResetujPrzeksztalcenia();
}

void TRAWview::PokazNarzedzie(int IdFrezu) {
    state_.IdFrezu = IdFrezu;
    if (!ViewZainicjowane) ResetujPrzeksztalcenia();
    PokazScene();
}

void TRAWview::PokazScene() {
    if (!state_.Locked) update();
}

void TRAWview::CzyscScene() {
    // An empty list replaces what was shown: the lists it came from may be gone.
    if (state_.FTrybPracy == tpPrzegladPlikuWy)
        pendingStrips_ = LineStrips{};
    else
        pendingTriangles_ = std::vector<float>{};
    PokazScene();
}

void TRAWview::ResetujPrzeksztalcenia() {
    ViewZainicjowane = true;
    state_.reset(width(), height());
    // A hidden view has not been given its size yet.
    resetOnResize_ = !isVisible();
    PokazScene();
}

void TRAWview::Nawigacja(int typOperacji, int deltaX, int deltaY) {
    state_.Nawigacja(typOperacji, deltaX, deltaY);
}

void TRAWview::setLocked(bool locked) {
    state_.Locked = locked;
    PokazScene();
}

void TRAWview::initializeGL() {
    initializeOpenGLFunctions();
    // A new context (the view moved to another window) has an empty buffer:
    // nothing is drawn from it until the next list.
    glGenBuffers(1, &buffer_);
    triangleVertices_ = 0;
    stripFirst_.clear();
    stripCount_.clear();
}

void TRAWview::resizeGL(int, int) {
    if (resetOnResize_ && !state_.Locked) {
        state_.reset(width(), height());
        resetOnResize_ = false;
    }
}

bool TRAWview::fillBuffer(const std::vector<float>& data) {
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    ++uploads_;
    return glGetError() == GL_NO_ERROR;
}

void TRAWview::upload() {
    // A list the graphics memory cannot hold is not drawn at all, never read
    // beyond the buffer.
    if (pendingTriangles_) {
        const bool filled = fillBuffer(*pendingTriangles_);
        triangleVertices_ =
            filled ? static_cast<int>(pendingTriangles_->size() / floatsPerVertex) : 0;
        stripFirst_.clear();
        stripCount_.clear();
        pendingTriangles_.reset();
    }
    if (pendingStrips_) {
        stripFirst_.clear();
        stripCount_.clear();
        if (fillBuffer(pendingStrips_->points)) {
            stripFirst_ = std::move(pendingStrips_->first);
            stripCount_ = std::move(pendingStrips_->count);
        }
        triangleVertices_ = 0;
        pendingStrips_.reset();
    }
}

void TRAWview::setColour() {
    glColor4f(channel(FModel_Kolor, 0), channel(FModel_Kolor, 8), channel(FModel_Kolor, 16), 1);
}

void TRAWview::setUpFrame() {
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, static_cast<GLsizei>(width() * ratio), static_cast<GLsizei>(height() * ratio));

    // Projection from identity: 20° vertical field of view, the scene 12 units away.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(20.0, height() > 0 ? static_cast<double>(width()) / height() : 1.0, 1.0, 100.0);
    glTranslated(0, 0, -12);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // One directional light in eye coordinates, both faces lit.
    const GLfloat position[] = {-8, 8, 16, 0};
    const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1};
    const GLfloat diffuse[] = {0.7f, 0.7f, 0.7f, 1};
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);

    // Shine as specular reflection; ambient and diffuse follow the colour.
    const auto m = static_cast<GLfloat>(FModel_Material);
    const GLfloat specular[] = {m, m, m, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, 128);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    setColour();

    glClearColor(static_cast<GLfloat>(background_.red()) / 256.0f,
                 static_cast<GLfloat>(background_.green()) / 256.0f,
                 static_cast<GLfloat>(background_.blue()) / 256.0f, 1);
    glEnable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_FLAT);
    // Vertices two pixels wide, so that the points of a model read as a cloud.
    glPointSize(2);
    glPolygonMode(GL_FRONT_AND_BACK, FModel_SposobKreslenia == skKontur   ? GL_LINE
                                     : FModel_SposobKreslenia == skPunkty ? GL_POINT
                                                                          : GL_FILL);

    glTranslated(state_.przesuwPoziom, state_.przesuwPion, 0);
    glRotated(state_.katPoziom, 0, 1, 0);
    glRotated(state_.katPion, 1, 0, 0);
    glScaled(state_.skala, state_.skala, state_.skala);
}

void TRAWview::applyCentring() {
    glTranslated(state_.przesuwPoziom_1szy, state_.przesuwPion_1szy, state_.przesuwZ_1szy);
}

void TRAWview::paintGL() {
    // A locked view keeps the last frame it drew.
    if (state_.Locked) return;
    upload();
    setUpFrame();
    std::vector<Label> labels;
    switch (state_.FTrybPracy) {
    case tpPrzegladRAW:
    case tpPrzegladRAWtermSeryjne:
        if (FUkladWsp) drawAxes();
        applyCentring();
        drawTriangles();
        break;
    case tpPrzegladPlikuWy:
        if (FUkladWsp) drawAxes();
        glTranslated(state_.przesuwPoziom_1szy, state_.przesuwPion_1szy, 0);
        drawFigures();
        break;
    case tpPrzegladNarzedzi:
        glRotated(270, 1, 0, 0); // the tool's axis up the screen
        labels = drawToolSketch();
        break;
    }
    if (labels.empty()) return;
    QPainter painter(this);
    painter.setPen(
        QColor(FModel_Kolor & 0xFF, (FModel_Kolor >> 8) & 0xFF, (FModel_Kolor >> 16) & 0xFF));
    QFont font("Courier");
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(10);
    painter.setFont(font);
    for (const Label& l : labels) painter.drawText(l.at, l.text);
}

// Lines are drawn unlit in the content's colour, so that they read the same
// from every side.
void TRAWview::drawLines(const std::vector<TrPkt3D>& points) {
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    for (const TrPkt3D& p : points) glVertex3f(p.x, p.y, p.z);
    glEnd();
    glEnable(GL_LIGHTING);
}

void TRAWview::drawAxes() {
    std::vector<TrPkt3D> points;
    for (const AxisSegment& s : axisSegments(width(), height())) {
        points.push_back(s.from);
        points.push_back(s.to);
    }
    drawLines(points);
}

void TRAWview::drawTriangles() {
    if (triangleVertices_ == 0) return;
    const GLsizei stride = floatsPerVertex * sizeof(float);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, nullptr);
    glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    glDrawArrays(GL_TRIANGLES, 0, triangleVertices_);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void TRAWview::drawFigures() {
    if (stripFirst_.empty()) return;
    glDisable(GL_LIGHTING);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glMultiDrawArrays(GL_LINE_STRIP, stripFirst_.data(), stripCount_.data(),
                      static_cast<GLsizei>(stripFirst_.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnable(GL_LIGHTING);
}

std::vector<TRAWview::Label> TRAWview::drawToolSketch() {
    std::vector<Label> labels;
    const auto sketch = toolSketch(state_.IdFrezu);
    if (!sketch) return labels;
    GLUquadric* quadric = gluNewQuadric();
    glTranslated(0, 0, sketch->shift);
    for (const SketchPiece& piece : sketch->pieces) {
        switch (piece.shape) {
        case SketchShape::disc:
            gluDisk(quadric, 0, piece.baseRadius, sketchSlices, 1);
            break;
        case SketchShape::sphere:
            gluSphere(quadric, piece.baseRadius, sketchSlices, sketchSlices / 2);
            break;
        case SketchShape::cylinder:
            gluCylinder(quadric, piece.baseRadius, piece.topRadius, piece.length, sketchSlices, 1);
            glTranslated(0, 0, piece.length);
            break;
        }
    }
    gluDeleteQuadric(quadric);
    if (!FUkladWsp) return labels;

    // Now in the frame of the top disc.
    std::vector<TrPkt3D> points;
    for (const SketchLine& l : sketch->lines) {
        points.push_back(l.from);
        points.push_back(l.to);
    }
    drawLines(points);
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const qreal ratio = devicePixelRatioF();
    for (const SketchLabel& l : sketch->labels) {
        GLdouble wx, wy, wz;
        if (gluProject(l.x, 0, l.z, model, projection, viewport, &wx, &wy, &wz) == GL_TRUE)
            labels.push_back(
                {QPointF(wx / ratio, height() - wy / ratio), QString::fromStdString(l.text)});
    }
    return labels;
}

void TRAWview::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (state_.press(buttonOf(event->button()), keysOf(event->modifiers()), p.x(), p.y()))
        setFocus(Qt::MouseFocusReason);
}

void TRAWview::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const auto steps = state_.move(keysOf(event->modifiers()), p.x(), p.y());
    if (steps.empty()) return;
    TRAWview* other = coupled_ ? coupled_() : nullptr;
    for (const NavigationStep& s : steps) {
        Nawigacja(s.typOperacji, s.deltaX, s.deltaY);
        if (other) other->Nawigacja(s.typOperacji, s.deltaX, s.deltaY);
    }
    PokazScene();
    if (other) other->PokazScene();
}

void TRAWview::mouseReleaseEvent(QMouseEvent*) {
    state_.release();
}

void TRAWview::mouseDoubleClickEvent(QMouseEvent*) {
    emit doubleClicked();
}

void TRAWview::wheelEvent(QWheelEvent* event) {
    if (state_.wheel(event->angleDelta().y())) PokazScene();
    event->accept();
}
