#pragma once

#include "libraries/Operacje.h"
#include "machine/Ethernet.h"
#include "machine/HidBackend.h"
#include "machine/JobFile.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Streaming a job file to a machine as the control panel does: the machine
// identified and prepared as the start of machining prepares it, the records
// sent in batches every 10 ms, a lost connection taken up again, and the end of
// the job read from the machine's status.
namespace korvane {

// The machine a job goes to: its USB side (the HID devices of the system, or
// the simulated machine behind the same interface) and, for a machine on the
// network, its address.
struct MachineLink {
    std::unique_ptr<HidBackend> usb;
    std::string host; // empty: the machine on USB
    MachinePorts ports;
};

struct StreamProgress {
    long long records = 0; // records sent
    double percent = 0;    // of the file
    bool allSent = false;  // the last record went out; the machine still works
};

struct StreamRequest {
    std::filesystem::path jobFile;
    // When given, jobFile is first written from this output path file for the
    // machine just identified, as the start of machining writes it; the
    // operation is needed then. Otherwise jobFile must split into this
    // machine's records, or nothing is sent.
    std::filesystem::path outputFile;
    double gruboscPodkladki = 0; // the project's substrate, mm
    // Where a job written from the output file enters its figures: 0 and 0
    // for the whole file, later to go on after a job that ended short.
    JobPoint start;
    // The operation machined: its rapid speed for the preparation, its name for
    // the job log. None: the job file's name with the machine's fastest rapid.
    std::optional<TOperacjaDane> operation;
    std::string windowCaption; // the main window's caption, heading the job log entry
    double safeHeight = 10;    // mm above the work origin
    // How long the machine may stay unreachable or still before the job is
    // given up; also the limit of every wait for the machine to settle.
    std::chrono::seconds timeout{60};
    // Called after every batch and once when the last record went out.
    std::function<void(const StreamProgress&)> progress;
};

enum class StreamResult {
    done,
    noConnection,
    identification,  // a calibration or parameter file of the machine is unreadable
    notAtStartPoint, // the preparation could not bring the tool to the work origin
    cannotOpen,      // the job file
    jobNotWritten,   // from the output file
    wrongMachine,    // the job file's records do not split with this machine's lengths
    badRecord,       // a record letter the machine does not know
    echoMismatch,
    echoLost, // the machine may hold the last record sent; it was not sent again
    driveError,
    spindleOverload,
    stopButton,  // the machine's stop button was pressed
    interrupted, // the machine interrupted the job itself
    connectionLost,
    notStarted, // fewer records than the machine needs before it starts: none sent
    didNotFinish,
    didNotSettle,
};

// Where the tool stands, mm: x and y from the work origin, z above the table.
struct ToolPosition {
    double x = 0, y = 0, z = 0;
};

struct StreamOutcome {
    StreamResult result = StreamResult::done;
    // The result in words: "done", "echo mismatch (103)", "drive error 3 X Z", ...
    std::string text = "done";
    long long records = 0; // records sent
    double seconds = 0;    // from connecting to the end
    // Where the tool stands at the end, as read from the machine once it was
    // prepared; none when the machine was left alone.
    std::optional<ToolPosition> position;
    // After a lost echo: the records the machine confirmed.
    long long confirmedRecords = 0;
    // After a job written from an output file failed, unless it ran to its
    // end: the point of that file where it goes on, from where the tool
    // stands once stopped (the job's own start when none of it went out, or
    // the tool stands at none of its points): a job started from it goes on
    // with no segment machined twice.
    std::optional<JobPoint> resumeAt;
    bool ok() const { return result == StreamResult::done; }
};

// Installs `link` as the program's machine link for the run (taking down the
// one in place; none is left afterwards), identifies the machine, checks the
// whole job against it, prepares it, streams the job and waits for its end.
// A job that went wrong while streaming, the machine's stop button among
// others, is stopped on the machine ("Q"); it stays stored there. The
// machine's continue button means nothing while the job runs. Blocks the
// calling thread, serving the queue main loop (the batch program's and the
// tests').
StreamOutcome streamJob(MachineLink link, const StreamRequest& request);

} // namespace korvane
