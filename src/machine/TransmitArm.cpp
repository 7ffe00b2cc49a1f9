#include "machine/TransmitArm.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/OperationTypes.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/LinkErrors.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/RecordLengths.h"

#include <chrono>
#include <ctime>

namespace korvane {

TTransArm transArm;
std::string jobLogSection;

namespace {

// At most this many records go to the machine in one tick, the window pumped
// after every tenth: on a slow USB link a whole tick takes about 100 ms.
constexpr int recordsPerTick = 50;
constexpr int recordsBetweenPumps = 10;

std::string booleanText(bool v) {
    return v ? "True" : "False";
}

std::string dateTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

} // namespace

bool TTransArm::start(const TOperacjaDane& weOperacja, const std::filesystem::path& file,
                      const std::string& windowCaption) {
    operWtoku_ = weOperacja;
    windowCaption_ = windowCaption;
    lostEcho_.reset();
    stop();
    const auto path = file.empty() ? jobFilePath() : file;
    fb_.open(path, std::ios::binary);
    std::error_code error;
    totalsize_ = std::filesystem::file_size(path, error);
    if (!fb_ || error) {
        fb_.close();
        return false;
    }
    isOpen_ = true;
    progres_ = 0;
    licznik_ = 0;
    lastFailure_ = 0;
    return true;
}

void TTransArm::stop() {
    if (isOpen_) fb_.close();
    isOpen_ = false;
}

void TTransArm::tick() {
    if (!isOpen_) return;
    if (fb_.peek() == std::char_traits<char>::eof()) {
        stop();
        return;
    }
    ReadStatus();
    if (!usbLink) {
        stop();
        showMessage(txt("Ploter", "bladUsb"), true, "wr ");
        return;
    }
    if (plotstate.StateExtend & stateBufferFull) return;
    for (int n = 0; n < recordsPerTick && fb_.peek() != std::char_traits<char>::eof(); ++n) {
        if (n > 0 && n % recordsBetweenPumps == 0 && machineWaitPump) {
            machineWaitPump();
            if (!isOpen_) return; // stopped from the window meanwhile
        }
        const std::streampos at = fb_.tellg();
        const int letter = fb_.get();
        int length = 0;
        try {
            length = recordLength(static_cast<std::uint8_t>(letter));
        } catch (const MachineRangeError& e) {
            fb_.seekg(at);
            lastFailure_ = badRecord;
            showMessage(e.what(), true, "wr ");
            return;
        }
        std::string rec(static_cast<std::size_t>(length), '\0');
        rec[0] = static_cast<char>(letter);
        fb_.read(rec.data() + 1, length - 1);
        if (fb_.gcount() != length - 1) {
            // A cut-off last record is not sent: the machine would take the
            // following command as its rest.
            stop();
            showMessage(txt("Ploter", "bladUsb"), true, "wr ");
            return;
        }
        const int result = SendCommand(rec);
        if (result == ethernetNoEcho) {
            lastFailure_ = result;
            stop();
            lostEcho_ = LostEcho{licznik_, static_cast<std::uintmax_t>(at), false};
            showMessage(txt("Ploter", "echoUtracone"), true, std::to_string(result));
            stopMachineAfterLostEcho();
            return;
        }
        if (result != 0) {
            if (echoMismatch(result)) {
                // The machine may hold a damaged record: nothing more is sent,
                // and it does not run on with what it holds.
                lastFailure_ = result;
                stop();
                SendCommand("Q");
                showMessage(txt("Ploter", "echoBledne"), true, std::to_string(result));
                return;
            }
            // The link did not take it: the same record goes again next tick.
            lastFailure_ = result;
            fb_.clear();
            fb_.seekg(at);
            return;
        }
        lastFailure_ = 0;
        ++licznik_;
        if (licznik_ == recordsBeforeExecute) {
            showStatusText(txt("Control_panel", "obrobkaNaMaszynieWtoku"));
            jobRunning = true;
            if (jobLogOn) logStart();
            SendCommand("G");
        }
        const auto position = static_cast<double>(fb_.tellg());
        progres_ =
            totalsize_ ? static_cast<double>(roundHalfEven(position / totalsize_ * 100)) : 100;
    }
}

bool TTransArm::stopMachineAfterLostEcho() {
    if (!lostEcho_) return false;
    if (!lostEcho_->machineStopped && linkUp()) lostEcho_->machineStopped = SendCommand("Q") == 0;
    return lostEcho_->machineStopped;
}

void TTransArm::logStart() {
    const TOperacjaDane& op = operWtoku_;
    jobLogSection =
        windowCaption_ + ", " + std::filesystem::path(modelExtents.plik_RAW).filename().string();
    const std::string key = " start : " + op.nazwa + " " + dateTimeText() + " Vr";
    std::string value = formatReal(op.szybkosc) + " Vp=" + formatReal(op.szybkoscPrzestawcza);
    switch (op.idTyp) {
    case opRoughing:
        value += " szer.=" + formatReal(op.warstwaSzer) + " gł.=" + formatReal(op.warstwaGrubosc);
        break;
    case opLayeredFinishing:
        value += " gł.=" + formatReal(op.warstwaGrubosc);
        break;
    case opPlanes:
        value += " szer.=" + formatReal(op.warstwaSzer);
        break;
    case opHatching:
        value += " szer.=" + formatReal(op.warstwaSzer) + " kąt=" + formatReal(op.kat) +
                 " poł.końce=" + booleanText(op.polaczoneKonce);
        break;
    default:
        break;
    }
    value += " naddatek=" + formatReal(op.zostawDoNastOper) +
             " wygładzanie=" + booleanText(smoothing) + " wspRuchuDz=" + formatReal(motionFactor);
    writeLogValue(jobLogSection, key, value);
}

} // namespace korvane
