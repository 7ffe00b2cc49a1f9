#include "ControlPanelWindow.h"
#include "BasePointsDialog.h"
#include "MachineAboutDialog.h"
#include "MoveDialog.h"
#include "ToolLengthDialog.h"

#include "control/SpeedSlider.h"
#include "foundation/CommandLine.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "machine/MachineState.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString text(const char* key) {
    return QString::fromStdString(txt("Control_panel", key));
}

// The panel's code of a key, 0 for keys it does not read.
int panelKey(const QKeyEvent* event) {
    const bool pad = event->modifiers() & Qt::KeypadModifier;
    const int key = event->key();
    if (pad && key >= Qt::Key_0 && key <= Qt::Key_9) return keyNumpad0 + (key - Qt::Key_0);
    if (pad && key == Qt::Key_Asterisk) return keyNumpadStar;
    if (pad && key == Qt::Key_Plus) return keyNumpadPlus;
    if (pad && key == Qt::Key_Minus) return keyNumpadMinus;
    switch (key) {
    case Qt::Key_PageUp:
        return jogZUp;
    case Qt::Key_PageDown:
        return jogZDown;
    case Qt::Key_Left:
        return jogLeft;
    case Qt::Key_Up:
        return jogBack;
    case Qt::Key_Right:
        return jogRight;
    case Qt::Key_Down:
        return jogFront;
    case Qt::Key_Control:
        return keyCtrl;
    case Qt::Key_Insert:
        return keyInsert;
    default:
        return 0;
    }
}

QString fixed(double v, int decimals) {
    return QString::number(v, 'f', decimals).rightJustified(9);
}

} // namespace

ControlPanelWindow::ControlPanelWindow(QWidget* parent, Tster* panel)
    : QWidget(parent, Qt::Window), own_(panel ? nullptr : std::make_unique<Tster>()),
      panel_(panel ? *panel : *own_) {
    setObjectName("ster");
    setWindowTitle(text("ster.Caption"));
    setLayoutDirection(texts && texts->arabski ? Qt::RightToLeft : Qt::LeftToRight);

    auto coordinates = [&](const char* group, const char* px, const char* py, const char* pz) {
        auto* box = new QGroupBox(text(group));
        box->setObjectName(group);
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (const char* name : {px, py, pz}) {
            grid->addWidget(new QLabel(QString("XYZ"[row])), row, 0);
            auto* value = new QLabel;
            value->setObjectName(name);
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            value->setFont(QFont("monospace"));
            values_[name] = value;
            grid->addWidget(value, row++, 1);
        }
        return box;
    };

    auto* jog = new QGridLayout;
    jog->addWidget(jogButton("kul", "\u2196", jogUpLeft), 0, 0);
    jog->addWidget(jogButton("ku", "\u2191", jogBack), 0, 1);
    jog->addWidget(jogButton("kur", "\u2197", jogUpRight), 0, 2);
    jog->addWidget(jogButton("kl", "\u2190", jogLeft), 1, 0);
    auto* stop = new QPushButton("STOP");
    stop->setObjectName("kstop");
    stop->setFocusPolicy(Qt::NoFocus);
    connect(stop, &QPushButton::pressed, this, [this] { panel_.stopButtonDown(); });
    connect(stop, &QPushButton::clicked, this, [this] { panel_.kstopClick(); });
    jog->addWidget(stop, 1, 1);
    jog->addWidget(jogButton("kr", "\u2192", jogRight), 1, 2);
    jog->addWidget(jogButton("kdl", "\u2199", jogDownLeft), 2, 0);
    jog->addWidget(jogButton("kd", "\u2193", jogFront), 2, 1);
    jog->addWidget(jogButton("kdr", "\u2198", jogDownRight), 2, 2);
    auto* zUp = jogButton("kzu", "Z\u2191", jogZUp);
    zUp->setToolTip(text("kzu.Hint"));
    jog->addWidget(zUp, 0, 3);
    auto* zDown = jogButton("kzd", "Z\u2193", jogZDown);
    zDown->setToolTip(text("kzd.Hint"));
    jog->addWidget(zDown, 2, 3);
    spindle_ = new QPushButton("\u2699");
    spindle_->setObjectName("k_zalwyl");
    spindle_->setCheckable(true);
    spindle_->setFocusPolicy(Qt::NoFocus);
    spindle_->setToolTip(text("k_zalwyl.Hint"));
    connect(spindle_, &QPushButton::clicked, this, [this] {
        panel_.k_zalwylClick();
        spindle_->setChecked(panel_.display().spindleOn);
    });
    machineButtons_.push_back(spindle_);
    jog->addWidget(spindle_, 1, 3);

    auto slider = [&](const char* group, const char* name, const char* label, const char* hint,
                      QSlider*& sliderOut, QLabel*& labelOut) {
        auto* box = new QGroupBox(text(group));
        box->setObjectName(group);
        auto* layout = new QVBoxLayout(box);
        sliderOut = new QSlider(Qt::Horizontal);
        sliderOut->setObjectName(name);
        sliderOut->setToolTip(text(hint));
        sliderOut->setFocusPolicy(Qt::NoFocus);
        labelOut = new QLabel;
        labelOut->setObjectName(label);
        labelOut->setAlignment(Qt::AlignCenter);
        layout->addWidget(labelOut);
        layout->addWidget(sliderOut);
        return box;
    };
    speedGroup_ =
        slider("Szybkosc.Caption", "VScroll", "speedlabel", "VScroll.Hint", speed_, speedLabel_);
    powerGroup_ =
        slider("moc.Caption", "PScroll", "PowerLabel", "PScroll.Hint", power_, powerLabel_);
    speed_->setRange(0, std::max(190, machineParams.sliderMax));
    connect(speed_, &QSlider::valueChanged, this, [this](int position) {
        const int snapped = panel_.VScrollChange(position);
        const QSignalBlocker block(speed_);
        speed_->setValue(snapped);
        speed_->setPageStep(panel_.sliderPage());
        speed_->setSingleStep(panel_.sliderLine());
        speedLabel_->setText(QString("%1 mm/min").arg(panel_.speedLabel()));
    });
    connect(power_, &QSlider::valueChanged, this, [this](int position) {
        panel_.PScrollChange(position);
        powerLabel_->setText(QString::number(position * 100));
    });

    auto* close = new QPushButton(text("zamknij.Caption"));
    close->setObjectName("zamknij");
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* left = new QVBoxLayout;
    left->addWidget(coordinates("GroupBox1.Caption", "wmx", "wmy", "wmz"));
    left->addWidget(coordinates("GroupBox2.Caption", "wpx", "wpy", "wpz"));
    auto* right = new QVBoxLayout;
    // The pad keeps the machine's directions in right-to-left languages too.
    auto* pad = new QWidget;
    pad->setLayoutDirection(Qt::LeftToRight);
    pad->setLayout(jog);
    right->addWidget(pad);
    right->addWidget(speedGroup_);
    right->addWidget(powerGroup_);
    right->addLayout(machineCareButtons());
    right->addWidget(serviceControls());
    right->addWidget(close);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(right);

    machineWaitPump = [this] {
        const bool was = inWait_;
        inWait_ = true;
        reachedEvents();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        inWait_ = was;
    };
    connect(&timer_, &QTimer::timeout, this, &ControlPanelWindow::heartbeat);
    timer_.start(10);
}

// The machine care dialogs: tool length, project zero, moves by numbers and
// what the machine says about itself.
QLayout* ControlPanelWindow::machineCareButtons() {
    auto* row = new QHBoxLayout;
    auto add = [&](const QString& caption, const char* name, auto open) {
        auto* button = new QPushButton(caption);
        button->setObjectName(name);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, open);
        machineButtons_.push_back(button);
        row->addWidget(button);
    };
    add(text("pomiar.Caption"), "pomiar", [this] { measureToolInWindow(this); });
    add(text("setbaza.Caption"), "setbaza", [this] { chooseBasePointInWindow(this); });
    add(text("Button1.Caption"), "Button1", [this] { MoveDialog(this).exec(); });
    add(QString::fromStdString(txt("Machine_about", "fAboutMaszyny.Caption")), "oMaszynie",
        [this] { MachineAboutDialog(this).exec(); });
    return row;
}

// "Servis" shows the service panel: the inverter programming and the probe of
// the reference switches; the probe within 10 mm shows with the switch "SERVICE".
// The machine waits of these commands show the busy cursor.
QWidget* ControlPanelWindow::serviceControls() {
    auto button = [this](const QString& caption, const char* name, void (Tster::*command)()) {
        auto* b = new QPushButton(caption);
        b->setObjectName(name);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, command] {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            (panel_.*command)();
            QApplication::restoreOverrideCursor();
        });
        machineButtons_.push_back(b);
        return b;
    };
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    auto* service = new QPushButton(text("Servis.Caption"));
    service->setObjectName("Servis");
    service->setFocusPolicy(Qt::NoFocus);
    row->addWidget(service);
    auto* bounded =
        button(text("ButtonSprawdzBaze.Caption"), "ButtonSprawdzBaze", &Tster::BtnSprawdzBazeClick);
    bounded->setVisible(hasSwitch("SERVICE"));
    row->addWidget(bounded);
    layout->addLayout(row);
    auto* panel = new QGroupBox(text("Servis.Caption"));
    panel->setObjectName("pSerwisowy");
    auto* inner = new QHBoxLayout(panel);
    inner->addWidget(button(text("SetOmron.Caption"), "SetOmron", &Tster::SetOmronClick));
    inner->addWidget(
        button(text("BSprawdzBaze.Caption"), "BSprawdzBaze", &Tster::BSprawdzBazeClick));
    panel->hide();
    layout->addWidget(panel);
    connect(service, &QPushButton::clicked, this, [this, panel] {
        panel->setVisible(!panel->isVisible());
        adjustSize();
    });
    return box;
}

ControlPanelWindow::~ControlPanelWindow() {
    machineWaitPump = nullptr;
}

QPushButton* ControlPanelWindow::jogButton(const char* name, const QString& arrow, int code) {
    auto* button = new QPushButton(arrow);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumSize(44, 36);
    connect(button, &QPushButton::pressed, this, [this, code] { panel_.buttonDown(code); });
    connect(button, &QPushButton::released, this, [this, code] { panel_.buttonUp(code); });
    machineButtons_.push_back(button);
    return button;
}

bool ControlPanelWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) readMachine();
    return QWidget::event(event);
}

void ControlPanelWindow::readMachine() {
    const std::string caption = panel_.FormActivate();
    setWindowTitle(QString::fromStdString(caption));
    power_->setRange(panel_.powerMin(), std::max(panel_.powerMin(), panel_.powerMax()));
    const QSignalBlocker block(speed_);
    speed_->setRange(0, std::max(190, machineParams.sliderMax));
    speed_->setValue(panel_.sliderPosition());
    speedLabel_->setText(QString("%1 mm/min").arg(panel_.speedLabel()));
}

void ControlPanelWindow::keyPressEvent(QKeyEvent* event) {
    const int key = panelKey(event);
    if (!key) return QWidget::keyPressEvent(event);
    panel_.KeyDown(key);
    if (key == keyNumpadPlus || key == keyNumpadMinus) {
        const QSignalBlocker block(speed_);
        speed_->setValue(panel_.sliderPosition());
        speedLabel_->setText(QString("%1 mm/min").arg(panel_.speedLabel()));
    }
}

void ControlPanelWindow::keyReleaseEvent(QKeyEvent* event) {
    // Qt's auto-repeat sends a release before each repeated press; the panel
    // sees the repeated presses alone, as one held key.
    if (event->isAutoRepeat()) return;
    if (const int key = panelKey(event))
        panel_.OnKeyUp(key);
    else
        QWidget::keyReleaseEvent(event);
}

// A beat or a machine wait's pump: the window gets its events now. Qt does not
// fire a timer again while its own slot runs, so during a wait inside the
// heartbeat (a pause asked of the tick) only the pumps show the window alive.
void ControlPanelWindow::reachedEvents() {
    if (sinceBeat_.isValid())
        longestStall_ = std::max(longestStall_, sinceBeat_.elapsed() - timer_.interval());
    sinceBeat_.start();
}

void ControlPanelWindow::heartbeat() {
    // A wait for the machine keeps the window drawing; the timer's beats
    // meanwhile are skipped, not nested.
    reachedEvents();
    if (inHeartbeat_ || inWait_) return;
    inHeartbeat_ = true;
    ++heartbeats_;
    timer_.setInterval(panel_.Timer1Timer(isActiveWindow()));
    inHeartbeat_ = false;
    if (!isActiveWindow()) return;
    // A machine connected (or lost) while the panel is open is read and named
    // as if the panel had just been opened.
    if (panel_.linkChangedSinceActivate()) readMachine();
    panel_.joystickStep(joystick_);
    render();
}

void ControlPanelWindow::render() {
    const PanelDisplay& d = panel_.display();
    values_["wmx"]->setText(fixed(d.machineX, d.decimals));
    values_["wmy"]->setText(fixed(d.machineY, d.decimals));
    values_["wmz"]->setText(fixed(d.machineZ, d.decimals));
    values_["wpx"]->setText(fixed(d.projectX, d.decimals));
    values_["wpy"]->setText(fixed(d.projectY, d.decimals));
    values_["wpz"]->setText(fixed(d.projectZ, d.decimals));
    if (!d.speedCaption.empty())
        speedGroup_->setTitle(QString::fromStdString(txt("Control_panel", d.speedCaption)));
    if (!d.powerCaption.empty())
        powerGroup_->setTitle(QString::fromStdString(txt("Control_panel", d.powerCaption)));
    {
        const QSignalBlocker block(speed_);
        speed_->setValue(panel_.sliderPosition());
    }
    {
        const QSignalBlocker block(power_);
        power_->setValue(d.powerPosition);
    }
    powerLabel_->setText(QString::number(d.powerLabel));
    spindle_->setChecked(d.spindleOn);
    for (QPushButton* button : machineButtons_) button->setEnabled(d.controlsEnabled);
}

ControlPanelWindow* showControlPanel(QWidget* owner) {
    auto* panel = owner->findChild<ControlPanelWindow*>();
    if (!panel) panel = new ControlPanelWindow(owner);
    panel->show();
    panel->raise();
    panel->activateWindow();
    return panel;
}
