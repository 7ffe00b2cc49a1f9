#pragma once

#include "control/EvdevJoystick.h"
#include "control/Tster.h"

#include <QTimer>
#include <QWidget>

#include <map>

class QLabel;
class QPushButton;
class QSlider;
class QGroupBox;

// The machine console "Sterowanie ręczne": the positions, the speed and power
// sliders, the jog and spindle buttons over the core panel, whose heartbeat
// its timer drives.
class ControlPanelWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit ControlPanelWindow(QWidget* parent = nullptr);
    korvane::Tster& panel() { return panel_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void heartbeat();
    void render();
    QPushButton* jogButton(const char* name, const QString& arrow, int code);

    korvane::Tster panel_;
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
