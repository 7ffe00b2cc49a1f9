#pragma once

#include "machine/JobFile.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

// Streams the job file to the machine in batches of at most 50 records per tick
// and tells the machine to execute after the seventeenth record.
namespace korvane {

inline constexpr int badRecord = -2;
// The machine is told to execute the job once it holds this many records.
inline constexpr long long recordsBeforeExecute = 17;

// A record whose echo never came: the machine may hold it or not, and a move
// taken twice would spoil the part, so it is never sent again. The
// transmission ends there; the machine is to be stopped, and the job can go on
// from the last point the machine confirmed (a start from that point).
struct LostEcho {
    long long confirmedRecords = 0;    // the records the machine echoed, from the first
    std::uintmax_t confirmedBytes = 0; // where the unconfirmed record begins in the file
    bool machineStopped = false;       // "Q" has reached the machine
};

class TTransArm {
  public:
    // Opens the job file (jobFilePath() when `file` is empty) and starts from
    // its first record; `windowCaption` (the main window's caption) heads the
    // job log entry. False, with the file closed, when it cannot be opened.
    bool start(const TOperacjaDane& weOperacja, const std::filesystem::path& file,
               const std::string& windowCaption);
    void stop();
    // Sends the next batch. A record the link did not take is sent again by a
    // later tick; a record the machine echoed wrongly (the machine is told to
    // stop, "Q"), or whose echo was lost, stops the transmission with its
    // message.
    void tick();

    // Set when the transmission ended at a lost echo; cleared by start.
    const std::optional<LostEcho>& lostEcho() const { return lostEcho_; }
    // Tells the machine to stop ("Q") after a lost echo, once a link is up
    // again; true when it was told (now or before).
    bool stopMachineAfterLostEcho();

    bool isOpen() const { return isOpen_; }
    long long licznik() const { return licznik_; }
    double progres() const { return progres_; }
    // The result of the last failed send (0 when the last send went through;
    // badRecord for a letter outside the record-length table).
    int lastFailure() const { return lastFailure_; }

  private:
    void logStart();

    std::ifstream fb_;
    long long licznik_ = 0;
    std::uintmax_t totalsize_ = 0;
    bool isOpen_ = false;
    double progres_ = 0;
    TOperacjaDane operWtoku_;
    std::string windowCaption_;
    int lastFailure_ = 0;
    std::optional<LostEcho> lostEcho_;
};

// The job transmitter of the program.
extern TTransArm transArm;

// The section of the job log kept from the start entry for the end entry.
extern std::string jobLogSection;

} // namespace korvane
