#pragma once

#include "foundation/Records.h"
#include "libraries/Operacje.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

// The periodic base check: a long test of position repeatability. While a job
// runs it is paused at an interval, the machine probes its reference switches,
// the found position is logged in the job's check file, and the job continues
// unless the error exceeds 1 mm. Each job adds one row to a global CSV report.
namespace korvane {

using WallClock = std::chrono::system_clock;

// The deviations before any probe: every minimum the largest double, every
// maximum the lowest, so that the first probe sets them.
TMinMax noDeviations();
// Widens the smallest and largest X, Y, Z found (mm) by one probe.
void widenDeviations(TMinMax& d, double x, double y, double z);

// "CheckBase" + the start as yyyy-mm-dd.hh-mm-ss + ".txt".
std::string checkFileName(WallClock::time_point start);
// More than 1 mm off on any axis.
bool baseCheckFails(double x, double y, double z);
// The six "odchyłka" lines (CR LF each); values fixed, 8 digits, 3 decimals,
// empty when nothing was probed.
std::string deviationLines(const TMinMax& d);

// Probes the reference switch of one axis (bit 1 X, 2 Y, 4 Z), moving `target`
// (mm, machine coordinates, carried from one axis to the next): away until the
// switch releases, then back step by step until it is pressed again. Returns
// false when it gave up: after 10 mm either way for the bounded variant, after
// the axis's travel for the other, or when the machine did not reach a step.
bool ProbeReference(int axis, bool bounded, TrPkt3D& target);

// Where the machine stands after probing X, Y and Z in turn from its zero
// point, mm in machine coordinates; `found` is false when a probe gave up.
struct ReferenceProbe {
    bool found = false;
    double x = 0, y = 0, z = 0;
};
ReferenceProbe probeReferences(bool bounded);
// "  baza=  " and the three values, each 10 characters with 3 decimals.
std::string probeText(const ReferenceProbe& p);

// What the check file's heading says about the job.
struct BaseCheckJob {
    std::string caption;       // the main window's caption
    std::string modelFile;     // the project's model file
    std::string operationName; // the operation's name
    std::string operationText; // "  Vr=... Vp=..." with the operation's parameters
    std::string toolDescription;
};
// The heading's facts of a job started with `operation` from the window
// captioned `caption`: the project's model file, the operation's speeds and
// the parameters of its type, the description of its tool.
BaseCheckJob baseCheckJob(const TOperacjaDane& operation, const std::string& caption);

class BaseCheck {
  public:
    // "CHECKBASE=minutes" (a positive number) turns the check on;
    // "CHECKBASE_WAIT" waits for manual measurements after each check.
    void configureFromSwitches();
    bool on() const { return interval_.count() > 0; }
    void setInterval(std::chrono::minutes interval) { interval_ = interval; }
    void setWaitForManual(bool wait) { waitForManual_ = wait; }

    // After a start: the deviations reset, the job's check file begun.
    void StartBaseCheckReport(const BaseCheckJob& job, WallClock::time_point now);

    // One panel tick. With the check on, the job's report begun and not ended,
    // a job running (status bit 1 as last read) and the interval passed:
    // `pause` stops the job and gives its breakpoint (position units), the
    // switches are probed and logged; more than 1 mm, or a switch not found,
    // ends the job's test with "Pomyłka" and the job stays paused, else
    // `resume` continues it. True when a check ran.
    bool PeriodicBaseCheck(WallClock::time_point now, const std::function<TrPkt3D()>& pause,
                           const std::function<void()>& resume);

    // The end of the job: the closing lines and the global row "Ok", unless
    // its test already ended with "Pomyłka".
    void endOfJob(WallClock::time_point now);

    // Appends the job's row to "CheckBase_GlobalRaport.txt" (with its header
    // when new).
    void WriteGlobalReport(const std::string& result);

    const std::filesystem::path& checkFile() const { return ChkFile; }
    const TMinMax& deviations() const { return chkOdchylki; }

  private:
    void append(const std::string& text);

    std::chrono::minutes interval_{0};
    bool waitForManual_ = false;
    WallClock::time_point chkTime, startTime;
    std::filesystem::path ChkFile;
    TMinMax chkOdchylki = noDeviations();
    BaseCheckJob job_;
    // From the start of a job's report until its end or its failed check.
    bool reportOpen_ = false;
};

// The program's base check, configured at start.
extern BaseCheck baseCheck;

inline constexpr const char* globalReportName = "CheckBase_GlobalRaport.txt";

} // namespace korvane
