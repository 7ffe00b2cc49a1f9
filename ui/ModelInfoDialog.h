#pragma once

#include "foundation/Records.h"

#include <QDialog>

// The model information dialog: the file, its size, the model's size and
// extents in the unit of measure; placed where the caller says.
class TfModelInfo final : public QDialog {
    Q_OBJECT
  public:
    TfModelInfo(int left, int top, const korvane::TModel& model, QWidget* parent = nullptr);
};
