#include "NumPadForm.h"

#include <QGridLayout>
#include <QPushButton>
#include <QScreen>

using namespace korvane;

TNumPadForm::TNumPadForm(bool big, QWidget* parent) : QDialog(parent) {
    setObjectName("NumPadForm");
    const int side = big ? 57 : 34;
    auto* grid = new QGridLayout(this);
    grid->setSpacing(big ? 4 : 2);
    grid->setContentsMargins(big ? 8 : 4, big ? 8 : 4, big ? 8 : 4, big ? 8 : 4);
    auto button = [&](const QString& caption, const char* name, int row, int column, auto action) {
        auto* b = new QPushButton(caption);
        b->setObjectName(name);
        b->setFixedSize(side, side);
        b->setAutoDefault(false);
        if (big) {
            QFont f = b->font();
            f.setPointSize(f.pointSize() + 3);
            b->setFont(f);
        }
        connect(b, &QPushButton::clicked, this, action);
        grid->addWidget(b, row, column);
    };
    const char* digitNames[] = {"btn0", "btn1", "btn2", "btn3", "btn4",
                                "btn5", "btn6", "btn7", "btn8", "btn9"};
    for (int d = 1; d <= 9; ++d)
        button(QString::number(d), digitNames[d], 2 - (d - 1) / 3, (d - 1) % 3, [this, d] {
            entry_.digit(d);
            showEntry();
        });
    button("0", digitNames[0], 3, 0, [this] {
        entry_.digit(0);
        showEntry();
    });
    button(QString(QChar(decimalSeparator)), "btnDecimal", 3, 1, [this] {
        entry_.decimal();
        showEntry();
    });
    button("-", "btnMinus", 3, 2, [this] {
        entry_.minus();
        showEntry();
    });
    button("C", "btnC", 0, 3, [this] {
        entry_.clear();
        showEntry();
    });
    button("CE", "btnCE", 1, 3, [this] {
        entry_.backspace();
        showEntry();
    });
    button("OK", "btnOK", 2, 3, [this] { accept(); });
    button("Cancel", "btnCancel", 3, 3, [this] { reject(); });
    if (big) setFixedSize(298, 318);
    showEntry();
}

void TNumPadForm::showEntry() {
    setWindowTitle(QString::fromStdString(entry_.text()));
}

void TNumPadForm::placeOver(QWidget* field) {
    adjustSize();
    const QPoint topLeft = field->mapToGlobal(QPoint(0, 0));
    const QRect screen = field->screen()->availableGeometry();
    const ScreenRect place =
        numPadPlace({topLeft.x(), topLeft.y(), field->width(), field->height()}, width(), height(),
                    {screen.x(), screen.y(), screen.width(), screen.height()});
    move(place.left, place.top);
}
