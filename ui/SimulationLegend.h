#pragma once

#include <QWidget>

// The legend of the simulation view in a row: reached in green, the measure
// of the page's headline (the material left on the reachable surface) as an
// amber scale from 0.01 mm to its largest value, gouges in red and what no
// tool reaches in grey; the names read from the language file when drawn.
class SimulationLegend final : public QWidget {
  public:
    explicit SimulationLegend(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // The largest thickness left, the amber scale's end.
    void setLargestThickness(double mm);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double largest_ = 0;
};
