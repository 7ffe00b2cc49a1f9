#pragma once

#include "RAWview.h"
#include "app/PathPreview.h"
#include "app/PreviewAxes.h"
#include "app/ScreenPick.h"

#include <optional>
#include <string>
#include <vector>

class QSlider;

// The output preview: the paths by kind (rapids and transfers grey, plunges
// magenta, cuts coloured by height with the scale's legend), the model
// translucent under them and the material's outline (each switchable), axes
// with a millimetre scale, and the tool in its real shape at the playback
// point. Everything is copied to the graphics card once per output; moving the
// tool sends nothing. A click on the path picks its nearest point.
class PathPreviewView final : public TRAWview {
    Q_OBJECT
  public:
    explicit PathPreviewView(QWidget* parent = nullptr);
    ~PathPreviewView() override;

    struct Texts {
        QString height, rapid, plunge;
    };
    void setTexts(Texts texts) { texts_ = std::move(texts); }

    // Shows an output framed by the x and y extents; resets the view.
    void showPaths(korvane::PathPreview paths, const korvane::TMinMax& frame);
    void clearPaths();
    // The model under the paths, the material's box, the tool's triangles
    // (tip at the origin); each drawn only when given and switched on.
    void setModel(const korvane::TriangleList& triangles);
    void setMaterialBox(std::optional<korvane::TMinMax> box) { box_ = box; }
    void setTool(std::vector<float> triangles);
    void setShown(bool model, bool material);
    // The tool at point `index` of the paths; -1 hides it.
    void setToolAt(int index);
    // Keys that move the playback go to this slider.
    void setPlaybackSlider(QSlider* slider) { slider_ = slider; }

    // The point at the tool and the counts drawn, for the tests.
    int toolAt() const { return toolAt_; }
    int pathPoints() const { return pathVertices_; }
    // Outputs copied to the graphics card so far.
    int pathUploads() const { return pathUploads_; }
    // Point `index` of the shown paths, none beyond them.
    std::optional<korvane::TrPkt3D> pointAt(int index) const;
    // The window position (Qt's, y down) where point `index` was last drawn.
    std::optional<QPointF> pointOnScreen(int index) const;

  signals:
    // A left click near a point of the path; a right click, with where it was.
    void pointClicked(int index);
    void pointMenuRequested(int index, QPoint global);

  protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void uploadPending();
    void drawColoured(unsigned buffer, GLenum mode, int vertices);
    void drawOverlay(const std::vector<korvane::AxisLabel>& labels);
    int pick(QPoint at) const;

    Texts texts_;
    std::optional<korvane::PathPreview> pendingPaths_;
    std::optional<std::vector<float>> pendingModel_, pendingTool_;
    unsigned pathBuffer_ = 0, travelBuffer_ = 0, modelBuffer_ = 0, toolBuffer_ = 0;
    int pathVertices_ = 0, travelVertices_ = 0, modelVertices_ = 0, toolVertices_ = 0;
    int pathUploads_ = 0;
    std::vector<int> first_, count_;
    std::vector<float> points_; // kept for the tool's position and picking
    double lowZ_ = 0, highZ_ = 0;
    bool hasPaths_ = false;
    std::optional<korvane::TMinMax> box_;
    korvane::TMinMax frame_;
    bool showModel_ = true, showMaterial_ = true;
    int toolAt_ = -1;
    QSlider* slider_ = nullptr;
    korvane::ScreenProjection projection_;
    QPoint pressedAt_;
};
