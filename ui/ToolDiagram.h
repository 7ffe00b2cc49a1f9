#pragma once

#include <QWidget>

// The diagram of a tool type: the side view of an end mill, a ball-nose or a
// conical cutter with the dimension lines of d1, d2, h, d3 and hc; for no or
// an unknown type an empty picture with a text.
class ToolDiagram final : public QWidget {
    Q_OBJECT
  public:
    explicit ToolDiagram(const QString& noDiagramText, QWidget* parent = nullptr);

    void setType(int type);
    int type() const { return type_; }
    QSize sizeHint() const override { return {161, 201}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString noDiagramText_;
    int type_ = -1;
};
