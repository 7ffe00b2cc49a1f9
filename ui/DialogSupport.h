#pragma once

#include <QLabel>
#include <QWidget>

#include <string>
#include <vector>

// What every editing dialog does alike: the direction of the interface
// language and the bold label of the field that has the focus.
void applyDialogDirection(QWidget* dialog);

// Keeps the label of the focused field bold while the dialog lives.
class FocusedLabels : public QObject {
    Q_OBJECT
  public:
    explicit FocusedLabels(QWidget* dialog);
    void add(QWidget* field, QLabel* label);

  private:
    void follow(QWidget* now);

    std::vector<std::pair<QWidget*, QLabel*>> pairs_;
};

// Unit labels: caption + " [" + abbreviation + "]", or "/min]" for speeds.
QString unitCaption(const std::string& caption, bool speed = false);
