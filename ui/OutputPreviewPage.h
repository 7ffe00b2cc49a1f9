#pragma once

#include "app/PathPlayback.h"
#include "app/ShownOutputFile.h"

#include <QWidget>

#include <memory>

class QLabel;
class QSlider;
class PathPreviewView;

// The output preview's page: the 3D preview, under it the playback slider
// (Home, End and the arrow keys move it, in the preview too), the point the
// tool stands at with its coordinates and time, and the output's path length
// and estimated time. A right click on the path offers to start from there.
class OutputPreviewPage final : public QWidget {
    Q_OBJECT
  public:
    explicit OutputPreviewPage(QWidget* parent = nullptr);
    ~OutputPreviewPage() override;

    PathPreviewView* view() const { return view_; }
    QSlider* slider() const { return slider_; }

    // Shows the output read into outputReader with its operation and tool,
    // the texts taken from the language file; the tool stands at the first point.
    void showOutput();
    void clear();
    // What the preview shows beside the paths, from the settings.
    void applySettings();

  signals:
    // "Start from here" chosen on a point of the path.
    void startFrom(int figure, int point);

  private:
    void showPosition(int index);

    PathPreviewView* view_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* figures_ = nullptr;
    std::unique_ptr<korvane::PathTimeline> timeline_;
    korvane::ShownOutputOperation operation_;
    int corners_ = 0;
};
