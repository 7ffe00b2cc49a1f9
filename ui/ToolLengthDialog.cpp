#include "ToolLengthDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace korvane;

namespace {

QString caption(const char* key) {
    return QString::fromStdString(txt("Tool_lenght_dialog", key));
}

} // namespace

ToolLengthDialog::ToolLengthDialog(QWidget* parent) : QDialog(parent), logic_(*this) {
    setUpDialog(this, "dlugoscForm", caption("dlugoscForm.Caption"));

    auto* automatic = new QGroupBox(caption("pomiar.Caption"));
    automatic->setObjectName("gbPomiarAutomatyczny");
    auto* plateBox = radioChoice(
        this, caption("rgPloterPlytkaPomPolozenie.Caption"), "rgPloterPlytkaPomPolozenie",
        {caption("lPloterPlytkaPomPolozenie0"), caption("lPloterPlytkaPomPolozenie1"),
         caption("lPloterPlytkaPomPolozenie2")},
        "rbPlytka", plate_, [this](int id) { logic_.rgPloterPlytkaPomPolozenie = id; });
    pomiar_ = dialogButton(caption("pomiar.Caption"), "pomiar");
    connect(pomiar_, &QPushButton::clicked, this, [this] { logic_.pomiarClick(); });
    auto* automaticLayout = new QVBoxLayout(automatic);
    automaticLayout->addWidget(plateBox);
    automaticLayout->addWidget(pomiar_);

    auto* semi = new QGroupBox(caption("gbPomiarPolAutomatyczny.Caption"));
    semi->setObjectName("gbPomiarPolAutomatyczny");
    auto* semiLayout = new QVBoxLayout(semi);
    auto* material =
        dialogButton(caption("powierzchnia_materialu.Caption"), "powierzchnia_materialu");
    auto* table = dialogButton(caption("powierzchnia_stolu.Caption"), "powierzchnia_stolu");
    connect(material, &QPushButton::clicked, this,
            [this] { logic_.powierzchnia_materialuClick(); });
    connect(table, &QPushButton::clicked, this, [this] { logic_.powierzchnia_stoluClick(); });
    semiLayout->addWidget(material);
    semiLayout->addWidget(table);

    auto* manual = new QHBoxLayout;
    auto* label = new QLabel(caption("Label1.Caption"));
    label->setObjectName("Label1");
    tool_ = new TFltEditU(logic_.tool);
    tool_->setObjectName("tool");
    tool_->setMinimumWidth(120);
    label->setBuddy(tool_);
    auto* unit = new QLabel;
    unit->setObjectName("Label1Jm");
    manual->addWidget(label);
    manual->addWidget(tool_, 1);
    manual->addWidget(unit);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK");
    ok->setObjectName("OK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { logic_.OKClick(); });
    auto* cancel = dialogButton(caption("Anuluj.Caption"), "Anuluj");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(automatic);
    layout->addWidget(semi);
    layout->addLayout(manual);
    layout->addLayout(buttons);
    applyTouchMode(this);

    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] {
        logic_.TimerAutomatPomiarNarzTimer();
        if (!logic_.timerEnabled) timer_.stop();
    });
    unit_ = unit;
}

void ToolLengthDialog::showEvent(QShowEvent* event) {
    logic_.FormActivate();
    unit_->setText(QString::fromStdString(logic_.unitLabel));
    plate_[std::clamp(logic_.rgPloterPlytkaPomPolozenie, 0, 2)]->setChecked(true);
    pomiar_->setEnabled(logic_.pomiarEnabled);
    tool_->refresh();
    timer_.start();
    QDialog::showEvent(event);
}

void ToolLengthDialog::done(int result) {
    timer_.stop();
    logic_.FormClose();
    QDialog::done(result);
}

void ToolLengthDialog::closeDialog(bool accepted) {
    if (accepted)
        accept();
    else
        reject();
}

void ToolLengthDialog::focusTool() {
    tool_->setFocus();
}

void ToolLengthDialog::setBusyCursor(bool busy) {
    // While the machine measures, the user's input only asks to stop it.
    keyPressed_ = false;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
    }
}

bool ToolLengthDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
        keyPressed_ = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

bool ToolLengthDialog::inputPending() {
    QCoreApplication::processEvents();
    return keyPressed_;
}

void ToolLengthDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        openManual("tool length");
        return;
    }
    QDialog::keyPressEvent(event);
}

bool measureToolInWindow(QWidget* parent) {
    ToolLengthDialog dialog(parent);
    dialog.exec();
    return dialog.logic().narzedzieZmierzone;
}
