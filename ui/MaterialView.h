#pragma once

#include "RAWview.h"
#include "app/ScreenPick.h"

#include <optional>

// The material page's view: the project's material as a translucent box with
// its dimensions, over the stock model when there is one, seen from the south
// and above; a line saying how to set the material while there is none.
class MaterialView final : public TRAWview {
    Q_OBJECT
  public:
    explicit MaterialView(QWidget* parent = nullptr);

    // The stock model's triangles framed by its extents.
    void showStock(const korvane::TriangleList& triangles, const korvane::TMinMax& extents);
    // Takes the project's material again; framed by it while no stock model is shown.
    void refreshMaterial();
    const std::optional<korvane::TMinMax>& box() const { return box_; }

  protected:
    void paintGL() override;
    void showEvent(QShowEvent* event) override;

  private:
    std::optional<korvane::TMinMax> box_;
    bool hasStock_ = false;
    korvane::ScreenProjection projection_;
};
