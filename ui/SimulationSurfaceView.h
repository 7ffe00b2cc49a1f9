#pragma once

#include "RAWview.h"
#include "app/ScreenPick.h"
#include "app/SimulationSurface.h"

#include <optional>

// The simulation page's 3D view: the remaining material as a shaded surface
// coloured by deviation, turned, zoomed and moved with the model view's mouse
// rules. It opens tilted, looking from the south, so that the surface reads in
// depth. A click on the surface tells where it was.
class SimulationSurfaceView final : public TRAWview {
    Q_OBJECT
  public:
    explicit SimulationSurfaceView(QWidget* parent = nullptr);
    ~SimulationSurfaceView() override;

    // Shows the mesh framed by its extents; resets the view.
    void setMesh(korvane::SurfaceMesh mesh);
    // The triangles drawn from the graphics card, 0 before the first frame.
    int drawnTriangles() const { return indexCount_ / 3; }

  signals:
    // A click on the surface at the plan point (x, y), mm.
    void surfaceClicked(double x, double y);

  protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void uploadMesh();

    std::optional<korvane::SurfaceMesh> pending_;
    unsigned vertexBuffer_ = 0, indexBuffer_ = 0;
    int indexCount_ = 0;
    korvane::ScreenProjection projection_;
    QPoint pressedAt_;
};
