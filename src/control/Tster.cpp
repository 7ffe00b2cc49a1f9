#include "control/Tster.h"

#include "control/BaseCheck.h"
#include "control/Joystick.h"
#include "control/SpeedSlider.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/Rounding.h"
#include "foundation/Settings.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/Ethernet.h"
#include "machine/Identification.h"
#include "machine/MachineLinks.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/Ploter.h"
#include "machine/TransmitArm.h"
#include "machine/Usb.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>

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

HeadVerdict headTemperatureVerdict(double read, double last, double set) {
    if (std::fabs(read - last) > 20) return HeadVerdict::thermistorFault;
    if (std::fabs(read - set) > 10) return HeadVerdict::headTooCold;
    return HeadVerdict::ok;
}

bool isJogKey(int key) {
    return key == jogZUp || key == jogZDown || (key >= jogLeft && key <= jogFront) ||
           (key >= jogDownLeft && key <= jogLeftPad) || (key >= jogRightPad && key <= jogUpRight);
}

std::string Tster::FormActivate() {
    jogActive_ = false;
    repetycja_ = false;
    lastKey_ = 0;
    linkedAtActivate_ = linkUp();
    if (!usbLink && !ethernetActive)
        return txt("Control_panel", "sterBrakPolaczenia") + " - " + txt("Control_panel", "brakUsb");
    ReadStatus();
    if (linkUp()) {
        SendCommand("X");
        ReadMachineInfo();
        IdentifyMachine();
        ReadPower();
        powerMin_ = static_cast<int>(roundHalfEven(machineParams.spindleSpeedMin / 100.0L));
        powerMax_ = static_cast<int>(roundHalfEven(machineParams.spindleSpeedMax / 100.0L));
        display_.powerPosition = extendedStatus
                                     ? static_cast<int>(roundHalfEven(plotstate.power / 100.0L))
                                     : plotstate.power;
        ReadSpeeds();
        if (plotstate.speed != 0)
            sliderPosition_ = SliderPosition(static_cast<int>(MachineToSpeed(plotstate.speed)));
        VScrollChange(sliderPosition_);
        ReadPositions();
        ReadWorkOrigin();
        shownPowerSlot_ = shownSpindle_ = 255;
        shownPower_ = -1;
    }
    SendCommand("X");
    std::string caption;
    if (usbLink && usbLink->VardimonExist())
        caption = txt("Control_panel", "sterRecznePolaczone") + " [USB]";
    else if (ethernetActive)
        caption = txt("Control_panel", "sterRecznePolaczone") + " [Ethernet]";
    else
        caption = txt("Control_panel", "sterBrakPolaczenia");
    if (settings.printer3D) {
        ReadHeadTemperatures();
        ostatniaTemperatura_ = headTemperatureRead[1];
    }
    linkedAtActivate_ = linkUp();
    return caption;
}

bool Tster::linkChangedSinceActivate() const {
    return linkUp() != linkedAtActivate_;
}

int Tster::Timer1Timer(bool active) {
    // The watchdog tries a connection while the settings ask for the network
    // machine and it is not connected.
    if (ethernetLink && !ethernetActive && ethernetWanted()) ethernetLink->wakeWatchdog();
    // The head temperature is checked once a second whatever the interval.
    elapsedMs_ += interval_;
    if (elapsedMs_ >= 1000) {
        elapsedMs_ = 0;
        newSek_ = true;
    }
    interval_ = transArm.isOpen() || active ? 10 : 100;
    if (transArm.isOpen()) transArm.tick();
    // A record whose echo was lost is never sent again: the machine is told to
    // stop once it can be reached, and the job ends stopped, to go on from the
    // last confirmed point.
    if (transArm.lostEcho() && jobRunning && transArm.stopMachineAfterLostEcho())
        stopAfterLostEcho();
    Tick(active);
    PeriodicBaseCheck(WallClock::now());
    return interval_;
}

void Tster::PeriodicBaseCheck(WallClock::time_point now) {
    baseCheck.PeriodicBaseCheck(
        now,
        [this] {
            wstrzymaj();
            return breakpoint_;
        },
        [this] { kontynuuj(); });
}

void Tster::Tick(bool active) {
    if (zatrzymaj_ || stopRequest) {
        zatrzymaj_ = false;
        ReadStatus();
        if (plotstate.state & stateJobRunning) wstrzymaj();
    }
    // Without the USB link object the message comes once, while the panel is
    // open, not at every beat: a box every 100 ms would leave the program
    // unusable, and the heartbeat of a closed panel stays quiet. While the
    // network machine is being connected there is nothing to report yet.
    if (!usbLink && !ethernetActive) {
        if (active && !noUsbShown_ && !ethernetWanted()) {
            showMessage(txt("Ploter", "bladUsb"), true, "wr ");
            noUsbShown_ = true;
        }
        return;
    }
    noUsbShown_ = false;
    ReadStatus();
    if (jobRunning && linkUp() && !(plotstate.state & stateJobRunning)) endOfJob();
    machineEvents();
    if (settings.printer3D && newSek_) checkHeadTemperature();
    if (active) refreshDisplay();
}

void Tster::checkHeadTemperature() {
    newSek_ = false;
    ReadHeadTemperatures();
    const double head = headTemperatureRead[1];
    display_.headTemperatures =
        std::to_string(static_cast<int>(roundHalfEven(headTemperatureRead[0]))) + "/" +
        std::to_string(static_cast<int>(roundHalfEven(head)));
    switch (headTemperatureVerdict(head, ostatniaTemperatura_, headTemperatureSet[0])) {
    case HeadVerdict::thermistorFault:
        wstrzymaj();
        if (showStatusText) showStatusText("awaria termistora");
        showMessage("awaria termistora", true);
        break;
    case HeadVerdict::headTooCold:
        wstrzymaj();
        if (showStatusText) showStatusText("glowica za zimna");
        break;
    case HeadVerdict::ok:
        break;
    }
    ostatniaTemperatura_ = head;
}

void Tster::refreshDisplay() {
    ReadStatus();
    ReadPositions();
    ReadWorkOrigin();
    ReadSpeeds();
    ReadPower();
    const tplotstate& s = plotstate;
    PanelDisplay& d = display_;
    d.instantSpeed = s.speedc > 0 ? static_cast<int>(MachineToSpeed(s.speedc)) : 0;
    d.speedCaption = speedSlotCaption(s.sel_speed);
    // The slider follows the machine without sending the speed back.
    if (s.speed != 0) sliderPosition_ = SliderPosition(static_cast<int>(MachineToSpeed(s.speed)));
    const int spindle = (s.state & stateSpindleOn) ? 1 : 0;
    if (s.sel_power != shownPowerSlot_ || s.power != shownPower_ || spindle != shownSpindle_) {
        const std::string caption = powerSlotCaption(s.sel_power);
        if (!caption.empty()) d.powerCaption = caption;
        shownPowerSlot_ = s.sel_power;
        shownPower_ = s.power;
        shownSpindle_ = spindle;
    }
    if (extendedStatus) {
        d.powerPosition = static_cast<int>(roundHalfEven(s.power / 100.0L));
        d.powerLabel = s.power;
    } else {
        d.powerPosition = s.power;
        d.powerLabel = s.power * 100;
    }
    d.spindleOn = spindle != 0;
    d.decimals = machineParams.newSpeedEncoding ? 3 : 2;
    d.machineX = s.abspos.x / 100.0;
    d.machineY = s.abspos.y / 100.0;
    d.machineZ = s.pos0.z / 100.0 + s.abspos.z / 100.0;
    d.projectX = (s.abspos.x - s.pos0.x) / 100.0;
    d.projectY = (s.abspos.y - s.pos0.y) / 100.0;
    d.projectZ = d.machineZ;
    d.controlsEnabled = !(s.state & stateJobRunning);
}

void Tster::PScrollChange(int position) {
    display_.powerLabel = position * 100;
    plotstate.power = static_cast<std::uint16_t>(extendedStatus ? position * 100 : position);
    SetPower();
}

void Tster::k_zalwylClick() {
    ToggleSpindle();
    ReadStatus();
    display_.spindleOn = (plotstate.state & stateSpindleOn) != 0;
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
    PauseForMachine(std::chrono::milliseconds(10));
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
