#include "control/Tster.h"

#include "control/Joystick.h"
#include "control/SpeedSlider.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/Ploter.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

namespace korvane {

namespace {

// The joystick's dead zone around its centre.
constexpr int joystickZeroSize = 5000;
constexpr int joystickCentre = 32768;

// The fourth axis moves of the filament feed, in its own units.
constexpr double filamentTravel = 10000;

struct JogDelta {
    double dx = 0, dy = 0, dz = 0, db = 0;
};

JogDelta jogDelta(int code) {
    const TrPkt3D& a = plotstate.abspos;
    const double wx = workArea.x * 100.0;
    const double wy = workArea.y * 100.0;
    JogDelta d;
    switch (code) {
    case jogZUp:
        d.dz = -a.z;
        break;
    case jogZDown:
        // Down to the project zero height, or up to it from below: never below.
        d.dz = -(plotstate.pos0.z + a.z);
        break;
    case jogLeft:
    case jogLeftPad:
        d.dx = -a.x;
        break;
    case jogRight:
    case jogRightPad:
        d.dx = wx - a.x;
        break;
    case jogBack:
    case jogUp:
        d.dy = wy - a.y;
        break;
    case jogFront:
    case jogDown:
        d.dy = -a.y;
        break;
    case jogDownLeft: {
        const double m = std::min<double>(a.y, a.x);
        d.dx = -m;
        d.dy = -m;
        break;
    }
    case jogDownRight: {
        const double m = std::min<double>(a.y, wx - a.x);
        d.dx = m;
        d.dy = -m;
        break;
    }
    case jogUpLeft: {
        const double m = std::min<double>(wy - a.y, a.x);
        d.dx = -m;
        d.dy = m;
        break;
    }
    case jogUpRight: {
        const double m = std::min<double>(wy - a.y, wx - a.x);
        d.dx = m;
        d.dy = m;
        break;
    }
    case jogFilamentDown:
        d.db = -filamentTravel;
        break;
    case jogFilamentUp:
        d.db = filamentTravel;
        break;
    default:
        break;
    }
    return d;
}

bool isFilament(int code) {
    return code == jogFilamentDown || code == jogFilamentUp;
}

} // namespace

bool isJogKey(int key) {
    return key == jogZUp || key == jogZDown || (key >= jogLeft && key <= jogFront) ||
           (key >= jogDownLeft && key <= jogLeftPad) || (key >= jogRightPad && key <= jogUpRight);
}

void Tster::Jog(int code) {
    WaitIdle();
    const JogDelta d = jogDelta(code);
    const TMachineParams& p = machineParams;
    const long long sx = roundHalfEven(d.dx * p.stepsX);
    const long long sy = roundHalfEven(d.dy * p.stepsY);
    if (isFilament(code)) {
        const long long sb = roundHalfEven(d.db * p.stepsB);
        const EncodedMove move = EncodeMove(sx, sy, sb, -1, p.speedFactor);
        if (!move.bytes.empty()) {
            SendCommand(PadCommand16("SBS"));
            SendCommand(move.bytes);
        }
    } else {
        SendMove(sx, sy, roundHalfEven(d.dz * p.stepsZ));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    jogActive_ = true;
}

void Tster::KeyDown(int key) {
    repetycja_ = key == lastKey_;
    lastKey_ = key;
    if (key == keyCtrl && !repetycja_) {
        vnorm_ = SliderSpeed(sliderPosition_);
        slowMode_ = true;
        SetSpeed(SpeedToMachine(vnorm_ / 10));
    }
    if (jogActive_) return;
    if (isJogKey(key)) {
        jogActive_ = true;
        WaitIdle();
        ReadPositions();
        Jog(key);
    } else if (key == keyInsert || key == keyNumpad0) {
        ToggleSpindle();
        ReadStatus();
    } else if (key == keyNumpad5) {
        StopMotion();
    } else if (key == keyNumpadStar) {
        bakSpeed_ = sliderMachineSpeed();
        SetSpeed(SpeedToMachine(roundHalfEven(SliderSpeed(sliderPosition_) * 0.01L)));
        Jog(jogFilamentDown);
    } else if (key == keyNumpadPlus) {
        stepSpeed(1);
    } else if (key == keyNumpadMinus) {
        stepSpeed(-1);
    }
}

void Tster::OnKeyUp(int key) {
    if (key == keyCtrl) {
        // Only a slow mode this panel entered is left: a release whose press
        // went to another window keeps the speed as it is.
        if (slowMode_) SetSpeed(SpeedToMachine(vnorm_));
        slowMode_ = false;
        lastKey_ = 0;
    } else if (isJogKey(key)) {
        jogActive_ = false;
        StopMotion();
    } else if (key == keyNumpadStar) {
        StopMotion();
        WaitIdle();
        SetSpeed(bakSpeed_);
        jogActive_ = false;
    }
}

void Tster::buttonDown(int code) {
    ReadStatus();
    if (!linkUp()) showMessage(txt("Ploter", "brakLacznosciZploterem"), true);
    if (isFilament(code)) {
        bakSpeed_ = sliderMachineSpeed();
        SetSpeed(SpeedToMachine(roundHalfEven(SliderSpeed(sliderPosition_) * 0.01L)));
    }
    Jog(code);
}

void Tster::buttonUp(int code) {
    StopMotion();
    if (isFilament(code)) {
        WaitIdle();
        SetSpeed(bakSpeed_);
    }
    jogActive_ = false;
}

void Tster::stopButtonDown() {
    ReadStatus();
    if (!(plotstate.state & stateJobRunning)) StopMotion();
}

int Tster::VScrollChange(int position) {
    const SnappedSpeed snapped = snapSpeed(SliderSpeed(position));
    page_ = snapped.page;
    line_ = snapped.line;
    int pos = SliderPosition(snapped.speed);
    if (SliderSpeed(pos) < machineParams.minSpeed) pos = SliderPosition(machineParams.minSpeed);
    if (plotstate.sel_speed == 1 && smoothing)
        pos = std::min(pos, SliderPosition(machineParams.maxSmoothFeed));
    sliderPosition_ = pos;
    // The label shows the speed the machine is given.
    speedLabel_ = SliderSpeed(pos);
    SetSpeed(sliderMachineSpeed());
    return pos;
}

void Tster::stepSpeed(int delta) {
    const int low = SliderPosition(machineParams.minSpeed);
    const int high = SliderPosition(machineParams.maxSpeed);
    VScrollChange(std::clamp(sliderPosition_ + delta, low, std::max(low, high)));
}

void Tster::joystickStep(JoystickSource& source) {
    if (plotstate.state & stateJobRunning) return;
    const std::optional<JoyState> joy = source.read();
    if (!joy) return;
    key_ = joystickKey(*joy, joystickZeroSize);
    if (key_ != 0) {
        const int deflection =
            std::max(std::abs(joy->x - joystickCentre), std::abs(joy->y - joystickCentre));
        const int position = static_cast<int>(roundHalfEven(
            static_cast<long double>(deflection) / joystickCentre * machineParams.sliderMax));
        // Like the slider's own change event: only when the position moves.
        if (position != joySpeedPosition_) {
            joySpeedPosition_ = position;
            VScrollChange(position);
        }
    }
    if (key_ == lKey_) return;
    ReadStatus();
    if ((plotstate.state & stateMoving) || key_ == 0) {
        StopMotion();
        WaitIdle();
        // Back at the centre the keys may jog again.
        if (key_ == 0) jogActive_ = false;
    }
    ReadPositions();
    if (const int code = joystickJogCode(key_)) Jog(code);
    if (key_ == 16) ToggleSpindle();
    lKey_ = key_;
}

long long Tster::sliderMachineSpeed() const {
    return SpeedToMachine(SliderSpeed(sliderPosition_));
}

} // namespace korvane
