#pragma once

#include "control/EvdevJoystick.h"
#include "control/Tster.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <map>
#include <memory>

class QLabel;
class QPushButton;
class QSlider;
class QGroupBox;
class QLayout;

// The machine console "Sterowanie ręczne": the positions, the speed and power
// sliders, the jog and spindle buttons over the core panel, whose heartbeat
// its timer drives.
class ControlPanelWindow final : public QWidget {
    Q_OBJECT
  public:
    // Over `panel` when given (the program's panel), else over its own.
    explicit ControlPanelWindow(QWidget* parent = nullptr, korvane::Tster* panel = nullptr);
    ~ControlPanelWindow() override;
    korvane::Tster& panel() { return panel_; }
    // The heartbeat ends with the program.
    void stopHeartbeat() { timer_.stop(); }
    // The longest time, in ms, the window went without its events beyond the
    // heartbeat's interval: between two beats, or two pumps of a machine wait.
    qint64 longestStall() const { return longestStall_; }
    // Measures the longest stall from now on.
    void clearLongestStall() { longestStall_ = 0; }
    // The heartbeats that ran the panel's tick, skipped ones left out.
    long heartbeats() const { return heartbeats_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void heartbeat();
    // Reads the machine afresh: caption, slider ranges and positions.
    void readMachine();
    void reachedEvents();
    void render();
    QPushButton* jogButton(const char* name, const QString& arrow, int code);
    QLayout* machineCareButtons();
    QWidget* serviceControls();

    std::unique_ptr<korvane::Tster> own_;
    korvane::Tster& panel_;
    // A machine wait lets the window draw; heartbeats meanwhile are skipped.
    bool inHeartbeat_ = false;
    bool inWait_ = false;
    QElapsedTimer sinceBeat_;
    qint64 longestStall_ = 0;
    long heartbeats_ = 0;
    korvane::EvdevJoystick joystick_;
    QTimer timer_;
    std::map<std::string, QLabel*> values_;
    QGroupBox* speedGroup_ = nullptr;
    QGroupBox* powerGroup_ = nullptr;
    QSlider* speed_ = nullptr;
    QSlider* power_ = nullptr;
    QLabel* speedLabel_ = nullptr;
    QLabel* powerLabel_ = nullptr;
    QPushButton* spindle_ = nullptr;
    std::vector<QPushButton*> machineButtons_;
};

// Shows the owner's control panel, made on first use.
ControlPanelWindow* showControlPanel(QWidget* owner);
