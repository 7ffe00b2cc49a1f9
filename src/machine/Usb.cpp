#include "machine/Usb.h"

#include "platform/MainLoop.h"

#include <cctype>
#include <chrono>
#include <thread>

namespace korvane {

namespace {
// How long a device that reported itself busy is left alone.
constexpr std::chrono::milliseconds busyDevicePause{500};
} // namespace

bool isVardimonDevice(const HidDeviceInfo& d) {
    if (!d.stringsOk || d.manufacturer != "Vardimon") return false;
    auto upper = [&](std::size_t i) {
        return i < d.product.size() ? std::toupper(static_cast<unsigned char>(d.product[i])) : 0;
    };
    return upper(0) == 'X' || upper(0) == 'G' || (upper(0) == 'K' && upper(1) == 'W');
}

TfUsb::TfUsb(std::unique_ptr<HidBackend> backend)
    : backend_(std::move(backend)), alive_(std::make_shared<bool>(true)) {
    // Device changes may be reported on a system thread: the list is rebuilt on
    // the main loop, and not at all once this object is gone.
    std::weak_ptr<bool> alive = alive_;
    backend_->setDeviceChangeHandler([this, alive] {
        mainLoop().post([this, alive] {
            if (alive.lock()) deviceChange();
        });
    });
    enumerate();
    Write("X");
    present_ = false;
}

TfUsb::~TfUsb() {
    alive_.reset();
    backend_->setDeviceChangeHandler({});
}

void TfUsb::enumerate() {
    devList_ = backend_->enumerate();
}

void TfUsb::deviceChange() {
    devList_.clear();
    present_ = false;
    enumerate();
}

bool TfUsb::VardimonExist() {
    if (present_) return true;
    for (std::size_t i = 0; i < devList_.size(); ++i) {
        if (isVardimonDevice(devList_[i])) {
            theDev_ = i;
            present_ = true;
            return true;
        }
    }
    present_ = false;
    return false;
}

int TfUsb::Write(const std::string& sx) {
    if (!VardimonExist()) return usbNotPresent;
    const std::string& id = devList_[theDev_].id;
    if (const int e = backend_->open(id); e != 0) return e;
    // A device that reports itself not functioning has taken the report: the
    // machine answers so while it is busy. After a pause the write counts as
    // done, and the second report of a long command still has to follow, or
    // the machine keeps a prefix ("SBS") without its move.
    auto write = [&](const HidReport& report) {
        const int e = backend_->writeReport(id, report);
        if (e != hidErrorNotFunctioning) return e;
        std::this_thread::sleep_for(busyDevicePause);
        return 0;
    };
    HidReport report{};
    if (sx.size() <= 16) {
        for (std::size_t i = 0; i < sx.size(); ++i)
            report[i + 1] = static_cast<std::uint8_t>(sx[i]);
        return write(report);
    }
    for (std::size_t i = 0; i < 16; ++i) report[i + 1] = static_cast<std::uint8_t>(sx[i]);
    if (const int e = write(report); e != 0) return e;
    report.fill(0);
    for (std::size_t i = 16; i < sx.size() && i < 32; ++i)
        report[i - 15] = static_cast<std::uint8_t>(sx[i]);
    return write(report);
}

int TfUsb::ReadString(int ind) {
    int error = noMachine;
    if (VardimonExist()) {
        const std::string& id = devList_[theDev_].id;
        if (const int e = backend_->open(id); e != 0) {
            error = e;
        } else {
            HidBlock block{};
            for (int attempt = 0; attempt < 10; ++attempt) {
                const int e = backend_->getIndexedString(id, ind, block);
                if (e == 0) {
                    std::copy(block.begin(), block.end(), BufIn.begin());
                    BufIn[256] = 0;
                    return 0;
                }
                error = e;
            }
        }
    }
    BufIn.fill(0);
    present_ = false;
    return error;
}

} // namespace korvane
