#include "StartDialogs.h"

#include "app/PktStartDlg.h"
#include "foundation/Interfejs.h"
#include "foundation/Rounding.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using namespace korvane;

namespace {

QString text(const char* section, const char* key) {
    return QString::fromStdString(txt(section, key));
}

} // namespace

bool runStartPointDialog(QWidget* parent, const std::optional<StartPoint>& preset) {
    TfPktStartDlg logic;
    if (preset) logic.preset(*preset);
    QDialog dialog(parent);
    dialog.setObjectName("TfPktStartDlg");
    dialog.setWindowTitle(text("Start_point_selection_dialog", "Caption"));
    auto* form = new QFormLayout;
    auto field = [&](const char* name, double maximum) {
        auto* edit = new QDoubleSpinBox;
        edit->setObjectName(name);
        edit->setDecimals(3);
        edit->setRange(0, std::max(0.0, maximum));
        edit->setSuffix(" mm");
        return edit;
    };
    auto* x = field("feuX", logic.maxX);
    auto* y = field("feuY", logic.maxY);
    auto* z = field("feuZ", logic.maxZ);
    x->setValue(logic.x);
    y->setValue(logic.y);
    z->setValue(logic.z);
    form->addRow("X", x);
    form->addRow("Y", y);
    form->addRow("Z", z);
    z->setEnabled(logic.zZetem);
    auto* note = new QLabel(text("Start_point_selection_dialog", "lZ_opis.caption"));
    note->setWordWrap(true);
    note->setVisible(logic.zZetem);
    auto* current = new QPushButton(text("Start_point_selection_dialog", "btnAktualnyXYZ.caption"));
    current->setObjectName("btnAktualnyXYZ");
    QObject::connect(current, &QPushButton::clicked, &dialog, [&] {
        if (!logic.takeCurrent(true, true, true)) return;
        x->setValue(logic.x);
        y->setValue(logic.y);
        z->setValue(logic.z);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(text("Universal", "txtAnuluj"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        logic.x = x->value();
        logic.y = y->value();
        logic.z = z->value();
        // The point 0, 0, 0 keeps the dialog open.
        if (logic.btnZapiszClick()) dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(current);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted;
}

bool runHeadWaitDialog(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName("TCzekajNaGlowiceForm");
    dialog.setWindowTitle(QString::fromStdString(applicationTitle));
    auto* temperatures = new QLabel;
    temperatures->setAlignment(Qt::AlignCenter);
    temperatures->setFont(QFont("monospace", 16));
    auto* cancel = new QPushButton(text("Universal", "txtAnuluj"));
    cancel->setObjectName("BCancel");
    QTimer timer;
    // Once a second: the temperatures shown; the head within 3 degrees of its
    // set value ends the wait.
    auto check = [&] {
        ReadHeadTemperatures();
        temperatures->setText(QString("%1/%2")
                                  .arg(static_cast<int>(roundHalfEven(headTemperatureRead[0])))
                                  .arg(static_cast<int>(roundHalfEven(headTemperatureRead[1]))));
        if (std::fabs(headTemperatureRead[1] - headTemperatureSet[0]) < 3) {
            timer.stop();
            dialog.accept();
        }
    };
    QObject::connect(&timer, &QTimer::timeout, &dialog, check);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, [&] {
        timer.stop();
        dialog.reject();
    });
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(temperatures);
    layout->addWidget(cancel);
    timer.start(1000);
    return dialog.exec() == QDialog::Accepted;
}
