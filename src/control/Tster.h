#pragma once

#include "control/PanelDisplay.h"
#include "foundation/Records.h"
#include "libraries/Operacje.h"
#include "machine/JobFile.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The control panel's manual controls: jogging by keys, buttons and joystick,
// the slow mode of the Ctrl key and the speed slider. Main thread only; the
// window translates its events into these calls.
namespace korvane {

class JoystickSource;

// Jog codes: the Windows key codes the panel has always used for its keys and
// buttons.
enum JogCode : int {
    jogZUp = 33,       // Page Up, kzu
    jogZDown = 34,     // Page Down, kzd
    jogLeft = 37,      // Left arrow, kl
    jogBack = 38,      // Up arrow, ku (Y+)
    jogRight = 39,     // Right arrow, kr
    jogFront = 40,     // Down arrow, kd (Y-)
    jogDownLeft = 97,  // numpad 1, kdl
    jogDown = 98,      // numpad 2
    jogDownRight = 99, // numpad 3, kdr
    jogLeftPad = 100,  // numpad 4
    jogRightPad = 102, // numpad 6
    jogUpLeft = 103,   // numpad 7, kul
    jogUp = 104,       // numpad 8
    jogUpRight = 105,  // numpad 9, kur
    jogFilamentDown = 110,
    jogFilamentUp = 111,
};

// Other keys the panel reads.
enum PanelKey : int {
    keyCtrl = 17,
    keyInsert = 45,
    keyNumpad0 = 96,
    keyNumpad5 = 101,
    keyNumpadStar = 106,
    keyNumpadPlus = 107,
    keyNumpadMinus = 109,
};

bool isJogKey(int key);

// A head temperature check's verdict: a jump of more than 20 degrees since the
// last check is a failed thermistor, more than 10 below or above the set value
// a head that is not at its temperature.
enum class HeadVerdict { ok, thermistorFault, headTooCold };
HeadVerdict headTemperatureVerdict(double read, double last, double set);

// What the panel asks of the program around it; unset actions do nothing.
struct PanelActions {
    // The machine's start and continue buttons: the main window's START and
    // continue, as if their buttons were clicked.
    std::function<void()> start;
    std::function<void()> continueJob;
    // The base-points dialog; the chosen project zero (x, y) in mm, or none.
    std::function<std::optional<std::pair<double, double>>()> chooseProjectZero;
    // After the end of a job was handled: the beeps.
    std::function<void()> jobEnded;
};

// The print head's working and standby temperatures, head and second value.
inline constexpr float headWorking[2] = {220, 80};
inline constexpr float headStandby[2] = {150, 70};

class Tster {
  public:
    PanelActions actions;

    // The panel became the active window: the machine is read afresh, the
    // sliders follow it and the caption says the link. Returns the caption.
    std::string FormActivate();
    // Whether the link came up or went down since FormActivate last read the
    // machine; the open panel then activates again to read and name it.
    bool linkChangedSinceActivate() const;
    int powerMin() const { return powerMin_; }
    int powerMax() const { return powerMax_; }

    // The timer: one heartbeat. `active` is whether the panel is the active
    // window (the display refreshes only then). Returns the next interval in
    // ms: 10 while a transmission is open or the panel is active, else 100.
    int Timer1Timer(bool active);
    // One poll and, when `active`, the refresh of display().
    void Tick(bool active);
    const PanelDisplay& display() const { return display_; }

    // One jog: waits until the axes rest, then one "A" move towards the end of
    // the travel in the code's direction (Z down only to the project zero).
    // The move is stopped by "Y" on release.
    void Jog(int code);

    // Keyboard. `key` is the panel's key code; a key pressed again without a
    // release in between is the auto-repeat and starts nothing.
    void KeyDown(int key);
    void OnKeyUp(int key);

    // The jog buttons (codes of JogCode) and STOP while no job runs.
    void buttonDown(int code);
    void buttonUp(int code);
    void stopButtonDown();

    // The speed slider moved to `position`: the snapped position, sent to the
    // machine as the selected slot's speed. Returns the position to show.
    int VScrollChange(int position);
    // The power slider moved: the selected power slot's value is sent.
    void PScrollChange(int position);
    // The spindle button: switched over, then the status read again.
    void k_zalwylClick();

    // STOP of the panel: a pause of the running job at the next tick.
    void kstopClick() { zatrzymaj_ = true; }
    // Pause: the machine's program stopped, the tool lifted to the safe height
    // over the point where it stopped, the spindle off; that point kept.
    void wstrzymaj();
    // Continue after our pause, or after the machine interrupted the job.
    void kontynuuj();
    // Where the last pause left the job: x, y from the work origin, z above
    // the table, position units (0.01 mm).
    const TrPkt3D& breakpoint() const { return breakpoint_; }
    // The operation being machined; set by the start of machining.
    TOperacjaDane operWtoku;

    // The machine's part of a start: the output file read when it is not the
    // one last read, the job file written for the machine identified now from
    // the start figure and point on, the machine prepared and the
    // transmission opened. False, with the reason shown, when nothing was sent.
    bool StartMaszyny(const TOperacjaDane& operation, const std::string& outputName,
                      const std::string& windowCaption);
    // After a transmission that ended at a lost echo, once the machine was
    // told to stop: the point the job goes on from (figure and point of the
    // output file read): the last point up to the lost record where the
    // machine stands, else the job's first point. None before that.
    std::optional<JobPoint> resumePoint() const { return resume_; }

    // Homing; the project zero through the base-points dialog; the tool length.
    void bazujClick();
    void setbazaClick();
    void setdlugosc();
    // The print head: the set temperatures sent; on; standby.
    void UstawTemperatureGlowicy();
    void ButtonOn1Click();
    void ButtonStendByClick();

    // The service panel: the spindle inverter programmed from its parameter
    // file; the reference switches probed from the machine's zero, without a
    // limit (BSprawdzBaze) or within 10 mm (ButtonSprawdzBaze), and where
    // they were found shown. Each needs the machine at rest.
    void SetOmronClick();
    void BSprawdzBazeClick();
    void BtnSprawdzBazeClick();
    // The periodic base check at `now` over the panel's own pause and continue.
    void PeriodicBaseCheck(std::chrono::system_clock::time_point now);

    // Numpad + and -: one position up or down within minSpeed..maxSpeed.
    void stepSpeed(int delta);

    // The joystick's part of a tick, while no job runs: the deflection sets the
    // speed, a new direction stops the last jog and starts its own, the centre
    // stops it.
    void joystickStep(JoystickSource& source);
    int joystickKeyNow() const { return key_; }

    int sliderPosition() const { return sliderPosition_; }
    int sliderPage() const { return page_; }
    int sliderLine() const { return line_; }
    int speedLabel() const { return speedLabel_; }
    bool jogActive() const { return jogActive_; }

  private:
    void machineEvents();
    void stopAfterLostEcho();
    void endOfJob();
    bool resumeAt(double z, double y, double x, bool afterOwnPause);
    long long sliderMachineSpeed() const;
    void refreshDisplay();
    void checkHeadTemperature();

    PanelDisplay display_;
    int powerMin_ = 0, powerMax_ = 0;
    int interval_ = 10;
    int elapsedMs_ = 0; // since the last head temperature check
    bool newSek_ = false;
    double ostatniaTemperatura_ = 0;
    // The power slot, power and spindle bit of the last refresh; 255 redraws the first time.
    int shownPowerSlot_ = 255, shownPower_ = -1, shownSpindle_ = 255;

    int sliderPosition_ = 0;
    int speedLabel_ = 0;
    bool jogActive_ = false;
    int lastKey_ = 0;
    bool repetycja_ = false;
    int vnorm_ = 0;
    bool slowMode_ = false;
    int page_ = 10;
    int line_ = 1;
    long long bakSpeed_ = 0;
    int key_ = 0;
    int lKey_ = 0;
    int joySpeedPosition_ = -1;

    std::vector<JobPointMark> marks_; // of the job last written
    JobPoint jobStart_;
    std::optional<JobPoint> resume_;
    bool zatrzymaj_ = false;
    bool noUsbShown_ = false;
    bool linkedAtActivate_ = false;
    TrPkt3D breakpoint_;
    // Machine bits seen at the last tick: the buttons act and the drive error
    // is reported once per press or occurrence.
    std::uint64_t seenEvents_ = 0;
};

} // namespace korvane
