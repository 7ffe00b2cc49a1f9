#include "MoveDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"

#include "foundation/Interfejs.h"

#include <QApplication>
#include <QButtonGroup>
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

QPushButton* button(const QString& text, const char* name) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

MoveDialog::MoveDialog(QWidget* parent) : QDialog(parent), logic_(*this) {
    setObjectName("przesun");
    setWindowTitle(caption("Przesun.Caption"));
    applyDialogDirection(this);

    auto* modeBox = new QGroupBox(caption("Przesun.Caption"));
    modeBox->setObjectName("Przesun");
    auto* modeLayout = new QVBoxLayout(modeBox);
    auto* group = new QButtonGroup(this);
    const char* items[] = {"Przesun.Items0", "Przesun.Items1", "Przesun.Items2"};
    for (int i = 0; i < 3; ++i) {
        modes_[i] = new QRadioButton(caption(items[i]));
        modes_[i]->setObjectName(QString("rbPrzesun%1").arg(i));
        group->addButton(modes_[i], i);
        modeLayout->addWidget(modes_[i]);
    }
    modes_[logic_.Przesun]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { logic_.Przesun = id; });

    auto* edits = new QGridLayout;
    const std::tuple<const char*, FltField*, const char*> fields[] = {
        {"X [mm]", &logic_.delta_x, "delta_x"},
        {"Y [mm]", &logic_.delta_y, "delta_y"},
        {"Z [mm]", &logic_.delta_z, "delta_z"}};
    int row = 0;
    for (auto [text, field, name] : fields) {
        auto* edit = new TFltEdit(*field);
        edit->setObjectName(name);
        edits->addWidget(new QLabel(text), row, 0);
        edits->addWidget(edit, row++, 1);
    }
    withoutZ_ = new QCheckBox(caption("bezosiZ.Caption"));
    withoutZ_->setObjectName("bezosiZ");
    connect(withoutZ_, &QCheckBox::toggled, this, [this](bool on) { logic_.bezosiZ = on; });
    edits->addWidget(withoutZ_, row, 0, 1, 2);

    auto* execute = new QPushButton(caption("Wykonaj.Caption"));
    execute->setObjectName("Wykonaj");
    execute->setDefault(true);
    connect(execute, &QPushButton::clicked, this, [this] { logic_.WykonajClick(); });
    auto* test = button("\u21C4", "test");
    connect(test, &QPushButton::clicked, this, [this] { runTest(&Tprzesun::testClick); });
    auto* cancel = button(caption("cancel.Caption"), "cancel");
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
    auto* add = button("+", "sbDodaj");
    connect(add, &QPushButton::clicked, this, [this] { logic_.sbDodajClick(); });
    auto* remove = button("\u2212", "sbUsun");
    connect(remove, &QPushButton::clicked, this, [this] { logic_.sbUsunClick(); });
    auto* confirm = button("\u2713", "sbZatwierdz");
    connect(confirm, &QPushButton::clicked, this, [this] { logic_.sbZatwierdzClick(); });
    sum_ = new QLabel;
    sum_->setObjectName("eSumaPrzesuwow");
    auto* conveyor = button("\u221E", "btnTasmociagTest");
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
