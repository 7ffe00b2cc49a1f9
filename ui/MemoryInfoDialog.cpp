#include "MemoryInfoDialog.h"
#include "DialogSupport.h"

#include "app/MemoryInfo.h"
#include "foundation/Interfejs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QLabel* value(const QString& name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

MemoryInfoDialog::MemoryInfoDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("fPamiecInfo");
    setWindowTitle(text(txt("MemoryInfo", "Caption")));
    applyDialogDirection(this);
    const MemoryInfoText captions = memoryInfoText({}, {});

    auto* memory = new QGridLayout;
    memory->addWidget(new QLabel(text(captions.totalCaption)), 0, 1, Qt::AlignRight);
    memory->addWidget(new QLabel(text(captions.availableCaption)), 0, 2, Qt::AlignRight);
    for (std::size_t row = 0; row < captions.memory.size(); ++row) {
        const int r = static_cast<int>(row) + 1;
        memory->addWidget(new QLabel(text(captions.memory[row].caption)), r, 0);
        memory_[2 * row] = value(QString("lCalkowita%1").arg(row));
        memory_[2 * row + 1] = value(QString("lDostepna%1").arg(row));
        memory->addWidget(memory_[2 * row], r, 1);
        memory->addWidget(memory_[2 * row + 1], r, 2);
    }

    auto* heapBox = new QGroupBox(text(captions.heapCaption));
    heapBox->setObjectName("gbSterta");
    auto* heap = new QGridLayout(heapBox);
    for (std::size_t row = 0; row < captions.heap.size(); ++row) {
        heap_[row] = value(QString("lSterta%1").arg(row));
        heap->addWidget(new QLabel(text(captions.heap[row].caption)), static_cast<int>(row), 0);
        heap->addWidget(heap_[row], static_cast<int>(row), 1);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    auto* again = buttons->addButton(text(txt("MemoryInfo", "btnOdswiez.Caption")),
                                     QDialogButtonBox::ActionRole);
    again->setObjectName("btnOdswiez");
    connect(again, &QPushButton::clicked, this, &MemoryInfoDialog::refresh);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(memory);
    layout->addWidget(heapBox);
    layout->addWidget(buttons);
    refresh();
}

void MemoryInfoDialog::refresh() {
    const MemoryInfoText info = memoryInfoText(readMemoryStatus(), readHeapStatus());
    for (std::size_t row = 0; row < info.memory.size(); ++row) {
        memory_[2 * row]->setText(text(info.memory[row].total));
        memory_[2 * row + 1]->setText(text(info.memory[row].available));
    }
    for (std::size_t row = 0; row < info.heap.size(); ++row)
        heap_[row]->setText(text(info.heap[row].value));
}
