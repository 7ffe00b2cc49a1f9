#pragma once

#include "machine/HidBackend.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A simulated Vardimon machine: the firmware side of the command protocol,
// executing moves and the job buffer in simulated time.
namespace korvane::sim {

struct SimConfig {
    std::string manufacturer = "Vardimon";
    std::string product = "XKC-3020";
    std::string serial = "SN000001";
    int fwMajor = 5, fwMinor = 9, fwBuild = 0;
    double timeScale = 1.0; // simulated seconds per real second
    std::filesystem::path trace;
    std::size_t bufferCapacity = 1024;                   // job records
    std::array<std::int32_t, 3> workArea{600, 400, 150}; // travel, mm
    char sizeClass = 'Y';                                // index 25: "L" large, "Y" standard
    std::array<double, 3> workOrigin{50, 50, 100};       // mm; z: the table below the top
    // A classic job (no end record) ends when its buffer ran empty and no record
    // came for this long.
    std::chrono::milliseconds jobQuietEnd{2000};
    // Simulated seconds from switching the spindle on until it is at speed.
    double spinUpSeconds = 1.0;
    // How fast the print head's temperature follows its set value, degrees per
    // simulated second; 0 leaves it where it is.
    double heatingRate = 5.0;
    // A button pressed on the machine is reported by this many status replies.
    int buttonReports = 4;
    // How far the axes may run beyond the machine's zero (X and Y below 0, Z
    // above the top), mm: room for the reference switches to release.
    double overtravel = 12;
    // Where the tool tip touches the measuring plate's top ("W" probes down to
    // it), mm in machine Z: 0 at the top, negative below.
    double plateTop = -120;
    // The reference switches, mm in machine coordinates: X and Y are pressed
    // from their position up, Z from its position down. At 0 they agree with
    // the machine's zero; anything else is a drift of the machine's count.
    std::array<double, 3> reference{0, 0, 0};
};

// Faults and buttons that can be raised from outside.
struct SimFaults {
    bool busyForever = false; // axes report motion forever
    bool unsettled = false;   // status bit 3 stays set
    int wrongEchoIn = -1;     // the echo of the n-th next command is damaged (0 = next)
    int dropIn = -1;          // the command connection drops before the n-th next command
    int longEchoIn = -1;      // the echo of the n-th next command has three bytes too many
    // The n-th next command is executed, then the connection drops before its echo.
    int dropEchoIn = -1;
};

class SimMachine {
  public:
    explicit SimMachine(SimConfig config);
    ~SimMachine();

    const SimConfig& config() const { return config_; }

    // The length of the command beginning at `bytes`, or 0 when more bytes are
    // needed to tell.
    std::size_t commandLength(std::string_view bytes) const;

    // Executes one complete command; returns its echo (the first byte in upper
    // case, damaged when a wrong echo was asked for).
    std::string execute(std::string_view command);

    // Replies of the three exchanges.
    std::string statusBlock();     // "SX" over TCP
    std::string infoBlock() const; // "HTTP" on the information port
    HidBlock indexed(int index);   // indexed reads over USB
    void hidReport(const HidReport& report);

    // Consume the drop faults: true when the connection must drop now, before
    // the command (takeDrop) or after it and before its echo (takeDropEcho).
    bool takeDrop();
    bool takeDropEcho();

    // Buttons and faults.
    void pressStart();
    void pressStop();
    void pressContinue();
    // The machine interrupts its running job itself (status bits 5 and 6).
    void interrupt();
    // The print head's temperature jumps to `degrees` (a heater or sensor fault);
    // from there it follows its set value again.
    void setHeadTemperature(float degrees);
    void spindleOverload();
    void driveError(int code, int axisMask);
    void inverterFault();
    void clearFaults();
    // The measuring plate's top and the reference switches (see SimConfig).
    void setPlateTop(double mm);
    void setReference(const std::array<double, 3>& mm);
    // The operator asks for the automatic tool measurement on the machine
    // (status bit 0x4000000 until "SU" acknowledges it or "W" probes).
    void requestToolMeasurement();
    // The spindle inverter's parameters as "[" programmed them: number, value.
    std::map<int, int> inverterParameters();
    void setFaults(const std::function<void(SimFaults&)>& change);

    // Inspection (tests and the control port).
    struct Snapshot {
        std::array<long long, 4> position{}; // x, y, z, b steps
        std::array<long long, 3> origin{};
        std::uint64_t status = 0;
        std::size_t buffered = 0;
        long long executedRecords = 0;
        long long overflows = 0;
        bool spindleOn = false;
        bool spindleAtSpeed = false;
        float headTemperature = 0; // as it is now
        float headSetTemperature = 0;
        bool limitHit = false;
        double simSeconds = 0;
    };
    Snapshot snapshot();
    void flushTrace();

  private:
    void flushTraceLocked();
    struct Motion {
        std::array<long long, 4> from{}, delta{};
        double start = 0, duration = 0;
        char source = 'A';
    };
    struct Activity {
        std::optional<Motion> motion;
        double end = 0;
    };

    double now() const;
    void advance();
    void startNext(double at);
    void executeRecord(const std::string& record, double at);
    void executeInteractive(std::string_view c, double at);
    std::optional<Motion> decodeMove(std::string_view c, char source, double at);
    void beginMotion(Motion m, double at);
    void finishMotion(const Motion& m);
    void cutMotion(double at);
    void interruptJob();
    void pressButton(std::uint64_t bit);
    void switchSpindle(bool on, double at);
    bool spindleAtSpeed(double at) const;
    float headTemperature(double at) const;
    double slotSpeedMmPerMin(int slot) const;
    std::uint64_t statusWord();
    int referenceInputs(const std::array<long long, 4>& position) const;
    std::array<long long, 4> currentPosition(double at) const;

    SimConfig config_;
    bool newEncoding_ = false;
    bool extended_ = false;
    double stepsX_ = 1;
    std::array<double, 3> steps_{1, 1, 1};
    double speedDivisor_ = 1;
    std::chrono::steady_clock::time_point realStart_;
    mutable std::mutex mutex_;

    std::array<long long, 4> position_{};
    std::array<long long, 3> origin_{};
    std::array<long long, 5> speedSlots_{};
    int selectedSlot_ = 0;
    std::array<long long, 6> power_{};
    int selectedPower_ = 0;
    bool spindleOn_ = false;
    double atSpeedAt_ = 0;      // when the running spindle is (was) up to speed
    bool waitForSpeed_ = false; // "Sfw": nothing moves until the spindle is at speed
    double inverterStoppingUntil_ = 0;
    bool fourthAxisNext_ = false;
    std::array<std::uint8_t, 256> calibration_{};
    // The head: its set temperature and the second set value of "S3t", and its
    // actual temperature as it was at headSince_.
    std::array<float, 2> headSet_{20, 20};
    float headFrom_ = 20;
    double headSince_ = 0;

    std::optional<Motion> motion_;
    std::deque<Motion> interactiveQueue_;
    double pauseEnd_ = -1;
    double freeAt_ = 0;
    std::deque<std::string> buffer_;
    bool running_ = false;
    bool jobActive_ = false; // from "G" until the end of the job or "C"
    bool limitHit_ = false;
    bool stopAfterRecord_ = false;
    bool interrupted_ = false;
    bool endOfProgram_ = false;
    std::chrono::steady_clock::time_point lastRecordReal_;
    long long executedRecords_ = 0;
    long long overflows_ = 0;

    // The status replies that still report each button bit (start, stop,
    // continue, and the overload that comes with stop).
    static constexpr std::array<std::uint64_t, 4> buttonBits{0x800, 0x1000, 0x2000, 0x4000};
    std::array<int, 4> buttonReportsLeft_{};
    std::uint64_t faultBits_ = 0;
    bool measurementRequested_ = false;
    std::map<int, int> inverter_;
    int driveErrorCode_ = 0, driveErrorMask_ = 0;
    SimFaults faults_;
    int homingCount_ = 0;
    int jobsRun_ = 0;

    std::ofstream trace_;
    bool traceDirty_ = false;
};

} // namespace korvane::sim
