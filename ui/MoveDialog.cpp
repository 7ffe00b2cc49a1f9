#include "MoveDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"

#include "foundation/Interfejs.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString caption(const char* key) {
    return QString::fromStdString(txt("Move_dialog", key));
}

} // namespace

MoveDialog::MoveDialog(QWidget* parent) : QDialog(parent), logic_(*this) {
    setUpDialog(this, "przesun", caption("Przesun.Caption"));

    auto* modeBox = radioChoice(
        this, caption("Przesun.Caption"), "Przesun",
        {caption("Przesun.Items0"), caption("Przesun.Items1"), caption("Przesun.Items2")},
        "rbPrzesun", modes_, [this](int id) { logic_.Przesun = id; });
    modes_[logic_.Przesun]->setChecked(true);

    auto* edits = new QGridLayout;
    addFieldRow(edits, 0, "X [mm]", new TFltEdit(logic_.delta_x), "delta_x");
    addFieldRow(edits, 1, "Y [mm]", new TFltEdit(logic_.delta_y), "delta_y");
    addFieldRow(edits, 2, "Z [mm]", new TFltEdit(logic_.delta_z), "delta_z");
    withoutZ_ = new QCheckBox(caption("bezosiZ.Caption"));
    withoutZ_->setObjectName("bezosiZ");
    connect(withoutZ_, &QCheckBox::toggled, this, [this](bool on) { logic_.bezosiZ = on; });
    edits->addWidget(withoutZ_, 3, 0, 1, 2);

    auto* execute = new QPushButton(caption("Wykonaj.Caption"));
    execute->setObjectName("Wykonaj");
    execute->setDefault(true);
    connect(execute, &QPushButton::clicked, this, [this] { logic_.WykonajClick(); });
    auto* test = dialogButton("\u21C4", "test");
    connect(test, &QPushButton::clicked, this, [this] { runTest(&Tprzesun::testClick); });
    auto* cancel = dialogButton(caption("cancel.Caption"), "cancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(test);
    buttons->addStretch();
    buttons->addWidget(execute);
    buttons->addWidget(cancel);

    service_ = new QWidget;
    service_->setObjectName("pSerwis");
    auto* serviceLayout = new QGridLayout(service_);
    sequence_ = new QListWidget;
    sequence_->setObjectName("lbSekwencja");
    sequence_->installEventFilter(this);
    connect(sequence_, &QListWidget::currentRowChanged, this, [this](int r) {
        if (r != logic_.selected) logic_.lbSekwencjaClick(r);
    });
    value_ = new QLineEdit;
    value_->setObjectName("fePrzesuw");
    connect(value_, &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_.fePrzesuw = text.toStdString(); });
    connect(value_, &QLineEdit::returnPressed, this, [this] { logic_.sbZatwierdzClick(); });
    auto* add = dialogButton("+", "sbDodaj");
    connect(add, &QPushButton::clicked, this, [this] { logic_.sbDodajClick(); });
    auto* remove = dialogButton("\u2212", "sbUsun");
    connect(remove, &QPushButton::clicked, this, [this] { logic_.sbUsunClick(); });
    auto* confirm = dialogButton("\u2713", "sbZatwierdz");
    connect(confirm, &QPushButton::clicked, this, [this] { logic_.sbZatwierdzClick(); });
    sum_ = new QLabel;
    sum_->setObjectName("eSumaPrzesuwow");
    auto* conveyor = dialogButton("\u221E", "btnTasmociagTest");
    connect(conveyor, &QPushButton::clicked, this,
            [this] { runTest(&Tprzesun::btnTasmociagTestClick); });
    serviceLayout->addWidget(sequence_, 0, 0, 5, 1);
    serviceLayout->addWidget(value_, 0, 1, 1, 3);
    serviceLayout->addWidget(add, 1, 1);
    serviceLayout->addWidget(remove, 1, 2);
    serviceLayout->addWidget(confirm, 1, 3);
    serviceLayout->addWidget(new QLabel("\u03A3"), 2, 1);
    serviceLayout->addWidget(sum_, 2, 2, 1, 2);
    serviceLayout->addWidget(conveyor, 3, 1, 1, 3);
    service_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(modeBox);
    layout->addLayout(edits);
    layout->addLayout(buttons);
    layout->addWidget(service_);
    applyTouchMode(this);
    showSequence();
}

void MoveDialog::showSequence() {
    const QSignalBlocker block(sequence_);
    sequence_->clear();
    for (const auto& line : logic_.lbSekwencja) sequence_->addItem(QString::fromStdString(line));
    sequence_->setCurrentRow(logic_.selected);
    value_->setText(QString::fromStdString(logic_.fePrzesuw));
    sum_->setText(QString::fromStdString(logic_.eSumaPrzesuwow));
    service_->setVisible(logic_.pSerwisVisible);
}

void MoveDialog::beep() {
    QApplication::beep();
}

void MoveDialog::runTest(void (Tprzesun::*test)()) {
    // Until a key or a left click, the window only watches for them.
    stop_ = false;
    qApp->installEventFilter(this);
    (logic_.*test)();
    qApp->removeEventFilter(this);
}

bool MoveDialog::stopAsked() {
    QCoreApplication::processEvents();
    return stop_;
}

bool MoveDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sequence_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() == "-") {
            logic_.sbDodajClick();
            return true;
        }
        if (key->text() == ".") {
            logic_.sbUsunClick();
            return true;
        }
    }
    if (watched != sequence_) {
        switch (event->type()) {
        case QEvent::KeyPress:
            stop_ = true;
            return true;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) stop_ = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MoveDialog::keyPressEvent(QKeyEvent* event) {
    const auto all = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier;
    if (event->key() == Qt::Key_F12 && (event->modifiers() & all) == all) {
        logic_.toggleService();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !value_->hasFocus()) {
        logic_.WykonajClick();
        return;
    }
    QDialog::keyPressEvent(event);
}
