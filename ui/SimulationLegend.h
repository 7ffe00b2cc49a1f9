#pragma once

#include <QWidget>

// The legend of the simulation view: a swatch and the name of each deviation
// class in a row, the names read from the language file when drawn.
class SimulationLegend final : public QWidget {
  public:
    explicit SimulationLegend(QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
