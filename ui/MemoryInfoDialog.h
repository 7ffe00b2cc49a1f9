#pragma once

#include <QDialog>

#include <array>

class QLabel;

// The memory information dialog: physical memory, swap and address space with
// their totals and available parts, and the heap's figures; Refresh reads
// them again.
class MemoryInfoDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit MemoryInfoDialog(QWidget* parent = nullptr);

    void refresh();

  private:
    std::array<QLabel*, 6> memory_{}; // total and available of each row
    std::array<QLabel*, 9> heap_{};
};
