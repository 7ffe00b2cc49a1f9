#pragma once

#include "app/RawViewState.h"
#include "app/ViewGeometry.h"

#include <QColor>
#include <QOpenGLFunctions_2_1>
#include <QOpenGLWidget>

#include <functional>
#include <optional>
#include <vector>

// The model view: shows a triangle list, a figure list as 3D polylines or the
// sketch of a tool type in a perspective OpenGL viewport, turned, zoomed and
// moved with the mouse. Fixed-function OpenGL 2.1 in a compatibility-profile
// context. What it shows is copied to the graphics card once per list, so the
// view keeps no reference to the lists of others and turning it sends nothing.
class TRAWview : public QOpenGLWidget, protected QOpenGLFunctions_2_1 {
    Q_OBJECT
  public:
    explicit TRAWview(korvane::TTrybPracy mode, QWidget* parent = nullptr);
    ~TRAWview() override;

    // Properties: setting one stores it; the Ustaw… operations store and redraw.
    void setBackground(const QColor& colour) { background_ = colour; }
    void setModelKolor(int colour) { FModel_Kolor = colour; } // 0x00BBGGRR
    void setModelMaterial(double shine) { FModel_Material = shine; }
    void setUkladWsp(bool on) { FUkladWsp = on; }
    void UstawModelKolor(int colour);
    void UstawModelMaterial(double shine);
    void UstawModelSposobKreslenia(korvane::TSposobKreslenia style);
    void UstawWidocznoscUkladuWsp(bool on);
    int modelKolor() const { return FModel_Kolor; }
    double modelMaterial() const { return FModel_Material; }
    korvane::TSposobKreslenia modelSposobKreslenia() const { return FModel_SposobKreslenia; }
    bool ukladWsp() const { return FUkladWsp; }

    // Shows the triangles framed by the extents; resets the view.
    void LadujListeRAW(const korvane::TriangleList& triangles, double minX, double maxX,
                       double minY, double maxY, double minZ, double maxZ);
    // Shows the figures as polylines framed by the x and y extents; resets the view.
    void LadujListeFigur(const korvane::FigureList& figures, double minX, double maxX, double minY,
                         double maxY);
    // Shows the sketch of tool type 0, 1 or 2; any other shows the background.
    void PokazNarzedzie(int IdFrezu);
    // Draws the scene again.
    void PokazScene();
    // Forgets what the view shows and shows the background.
    void CzyscScene();
    void ResetujPrzeksztalcenia();
    void Nawigacja(int typOperacji, int deltaX, int deltaY);

    // A locked view is neither drawn nor navigated.
    void setLocked(bool locked);
    bool locked() const { return state_.Locked; }
    const korvane::RawViewState& state() const { return state_; }
    // The view that follows this one's mouse navigation, when there is one now.
    void setCoupledView(std::function<TRAWview*()> coupled) { coupled_ = std::move(coupled); }

    // Lists copied to the graphics card so far.
    int bufferUploads() const { return uploads_; }

  signals:
    void doubleClicked();

  protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    // One frame of the current content, for the benchmark's baseline as well:
    // projection, light, material, style, the navigation and centring
    // transforms, then the content.
    void setUpFrame();
    void applyCentring();
    // Copies a list waiting for the graphics card into the view's buffer.
    void upload();
    // The triangles of the shown list, lit, in the content's colour.
    void drawTriangles();
    // Line segments, unlit, in the current colour.
    void drawLines(const std::vector<korvane::TrPkt3D>& points);
    // The content's colour as the current one.
    void setColour();

  private:
    struct Label {
        QPointF at;
        QString text;
    };
    // Copies the data into the buffer; false when the graphics memory refused it.
    bool fillBuffer(const std::vector<float>& data);
    void drawAxes();
    void drawFigures();
    std::vector<Label> drawToolSketch();

    korvane::RawViewState state_;
    korvane::TSposobKreslenia FModel_SposobKreslenia = korvane::skWypelnienie;
    int FModel_Kolor = 255;
    double FModel_Material = 0;
    bool FUkladWsp = false;
    QColor background_ = Qt::black;
    bool ViewZainicjowane = false;
    bool resetOnResize_ = false; // reset while hidden: fitted again to the shown size
    std::function<TRAWview*()> coupled_;

    // Waiting for the graphics card: vertex data of triangles or line strips.
    std::optional<std::vector<float>> pendingTriangles_;
    std::optional<korvane::LineStrips> pendingStrips_;
    unsigned buffer_ = 0;
    int triangleVertices_ = 0;
    std::vector<int> stripFirst_, stripCount_;
    int uploads_ = 0;
};
