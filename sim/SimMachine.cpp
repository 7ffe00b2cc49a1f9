#include "SimMachine.h"

#include "machine/MachineModels.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace korvane::sim {

namespace {

// Little-endian reads and writes of the simulator's own, independent of the
// program's encoders so that the two sides check each other.
long long le(std::string_view c, std::size_t at, int bytes) {
    unsigned long long v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(c[at + static_cast<std::size_t>(i)]);
    if (bytes == 4) return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return static_cast<long long>(v);
}

template <class Block> void put(Block& b, std::size_t at, unsigned long long v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

template <class Block> void putFloat(Block& b, std::size_t at, float v) {
    put(b, at, std::bit_cast<std::uint32_t>(v), 4);
}

} // namespace

SimMachine::SimMachine(SimConfig config)
    : config_(std::move(config)), realStart_(std::chrono::steady_clock::now()) {
    // The machine is the model its product string names, variant included, as
    // the program identifies it.
    const TMachineModel* model = findMachineModel(config_.product);
    const TMachineParams& p = model ? model->params : machineModelTable().front().params;
    newEncoding_ = p.newSpeedEncoding != 0;
    extended_ = model && model->newer.present;
    stepsX_ = p.stepsX;
    steps_ = {p.stepsX, p.stepsY, p.stepsZ};
    speedDivisor_ = p.speedDivisor;
    for (std::size_t i = 0; i < 3; ++i)
        origin_[i] = std::llround(config_.workOrigin[i] * 100 * steps_[i]);
    for (int axis = 0; axis < 3; ++axis)
        putFloat(calibration_, 68 + 4 * static_cast<std::size_t>(axis), 1.0f);
    if (!config_.trace.empty()) trace_.open(config_.trace, std::ios::trunc);
    lastRecordReal_ = realStart_;
}

SimMachine::~SimMachine() {
    flushTrace();
}

double SimMachine::now() const {
    const std::chrono::duration<double> real = std::chrono::steady_clock::now() - realStart_;
    return real.count() * config_.timeScale;
}

std::size_t SimMachine::commandLength(std::string_view c) const {
    if (c.empty()) return 0;
    const char letter = c[0];
    switch (letter) {
    case 'A':
    case 'a':
        return newEncoding_ ? 15 : 14;
    case 'V':
    case 'v':
        return newEncoding_ ? 6 : 4;
    case 'T':
    case 't':
        return config_.fwMajor >= 6 ? 6 : 3;
    case 'F':
    case 'f':
    case 'P':
    case 'p':
    case 'B':
    case 'b':
    case 'H':
    case 'h':
    case 'I':
    case 'i':
        return 2;
    case 'R':
    case 'r':
    case 'L':
    case 'l':
        return 3;
    case 'U':
        return 9;
    case 'u':
        return 7;
    case 'N':
        return 5;
    case 'n':
        return 4;
    case '[':
        return 5;
    case 's':
        if (c.size() < 2) return 0;
        return (c[1] == 0 || c[1] == 1) ? 2 : 16;
    case 'S':
        if (c.size() < 2) return 0;
        switch (c[1]) {
        case 'X':
        case 'U':
        case 0:
        case 1:
            return 2;
        case 'f':
            return 3;
        case 'I':
            return 7;
        case 0x0D:
            return 4;
        default:
            return 16;
        }
    default:
        return 1;
    }
}

double SimMachine::slotSpeedMmPerMin(int slot) const {
    const long long s = slot >= 0 && slot < 5 ? speedSlots_[static_cast<std::size_t>(slot)] : 0;
    if (s <= 0 || s >= 65535) return 1000;
    const double v = newEncoding_
                         ? 600000.0 / std::max(1.0, std::nearbyint(stepsX_)) / (s * speedDivisor_)
                         : 600000.0 / (s * speedDivisor_);
    return std::clamp(v, 1.0, 100000.0);
}

std::array<long long, 4> SimMachine::currentPosition(double at) const {
    if (!motion_) return position_;
    const Motion& m = *motion_;
    const double f = m.duration <= 0 ? 1.0 : std::clamp((at - m.start) / m.duration, 0.0, 1.0);
    std::array<long long, 4> p{};
    for (std::size_t i = 0; i < 4; ++i) p[i] = m.from[i] + std::llround(m.delta[i] * f);
    return p;
}

std::optional<SimMachine::Motion> SimMachine::decodeMove(std::string_view c, char source,
                                                         double at) {
    if (c.size() < commandLength(c)) return std::nullopt;
    const int flags = static_cast<unsigned char>(c[1]);
    long long dx = le(c, 5, 3), dy = le(c, 8, 3), dz = le(c, 11, 3);
    if (newEncoding_ && config_.fwMajor >= 6) dz &= 0xFFFFF;
    if (flags & 1) dx = -dx;
    if (flags & 2) dy = -dy;
    if (flags & 4) dz = -dz;
    Motion m;
    m.source = source;
    m.from = position_;
    m.delta = {dx, dy, 0, 0};
    if (fourthAxisNext_) {
        m.delta[3] = dz;
        fourthAxisNext_ = false;
    } else {
        m.delta[2] = dz;
    }
    const double mm = std::sqrt(double(dx) * dx / (steps_[0] * steps_[0]) +
                                double(dy) * dy / (steps_[1] * steps_[1]) +
                                double(m.delta[2]) * m.delta[2] / (steps_[2] * steps_[2])) /
                      100;
    m.duration = mm / slotSpeedMmPerMin(selectedSlot_) * 60;
    m.start = at;
    return m;
}

void SimMachine::beginMotion(Motion m, double at) {
    m.start = at;
    m.from = position_;
    // The travel: X and Y from 0 up, Z from 0 (top) down.
    const std::array<long long, 3> travel = {std::llround(config_.workArea[0] * 100 * steps_[0]),
                                             std::llround(config_.workArea[1] * 100 * steps_[1]),
                                             std::llround(config_.workArea[2] * 100 * steps_[2])};
    bool limit = false;
    for (std::size_t i = 0; i < 3; ++i) {
        const long long target = m.from[i] + m.delta[i];
        const long long over = std::llround(config_.overtravel * 100 * steps_[i]);
        const long long low = i == 2 ? -travel[2] : -over, high = i == 2 ? over : travel[i];
        const long long clamped = std::clamp(target, low, high);
        if (clamped != target) {
            limit = true;
            m.delta[i] = clamped - m.from[i];
        }
    }
    motion_ = m;
    if (limit) {
        limitHit_ = true;
        if (running_) interruptJob();
    }
}

void SimMachine::finishMotion(const Motion& m) {
    for (std::size_t i = 0; i < 4; ++i) position_[i] = m.from[i] + m.delta[i];
    if (trace_) {
        trace_ << m.source << ' ' << position_[0] << ' ' << position_[1] << ' ' << position_[2]
               << ' ' << position_[3] << '\n';
        traceDirty_ = true;
    }
}

void SimMachine::cutMotion(double at) {
    if (motion_) {
        position_ = currentPosition(at);
        if (trace_) {
            trace_ << "Y " << position_[0] << ' ' << position_[1] << ' ' << position_[2] << ' '
                   << position_[3] << '\n';
            traceDirty_ = true;
        }
    }
    motion_.reset();
    interactiveQueue_.clear();
}

void SimMachine::interruptJob() {
    if (!running_ && !jobActive_) return;
    running_ = false;
    stopAfterRecord_ = false;
    interrupted_ = true;
}

void SimMachine::advance() {
    const double t = now();
    for (;;) {
        if (pauseEnd_ >= 0) {
            if (pauseEnd_ > t) break;
            freeAt_ = pauseEnd_;
            pauseEnd_ = -1;
        }
        if (motion_) {
            const double end = motion_->start + motion_->duration;
            if (end > t) break;
            finishMotion(*motion_);
            motion_.reset();
            freeAt_ = end;
        }
        if (waitForSpeed_) {
            if (spindleOn_ && !spindleAtSpeed(t)) break;
            freeAt_ = std::max(freeAt_, spindleOn_ ? atSpeedAt_ : freeAt_);
            waitForSpeed_ = false;
        }
        if (!interactiveQueue_.empty()) {
            Motion m = interactiveQueue_.front();
            interactiveQueue_.pop_front();
            beginMotion(m, freeAt_);
            continue;
        }
        if (!running_) break;
        if (stopAfterRecord_) {
            running_ = false;
            stopAfterRecord_ = false;
            break;
        }
        if (!buffer_.empty()) {
            const std::string record = std::move(buffer_.front());
            buffer_.pop_front();
            ++executedRecords_;
            executeRecord(record, freeAt_);
            continue;
        }
        const auto quiet = std::chrono::steady_clock::now() - lastRecordReal_;
        // Without an end record (classic controllers) a drained, quiet buffer ends the job.
        if (endOfProgram_ || (!newEncoding_ && quiet > config_.jobQuietEnd)) {
            running_ = false;
            jobActive_ = false;
            endOfProgram_ = false;
            ++jobsRun_;
            flushTraceLocked();
        }
        break;
    }
    if (!motion_ && pauseEnd_ < 0) freeAt_ = std::max(freeAt_, t);
}

void SimMachine::executeRecord(const std::string& r, double at) {
    const char letter = static_cast<char>(r[0] | 0x20);
    switch (letter) {
    case 'a':
        if (auto m = decodeMove(r, 'a', at)) beginMotion(*m, at);
        break;
    case 'v': {
        const int slot = static_cast<unsigned char>(r[1]);
        if (slot < 5) speedSlots_[static_cast<std::size_t>(slot)] = le(r, 2, newEncoding_ ? 4 : 2);
        break;
    }
    case 'f':
        selectedSlot_ = static_cast<unsigned char>(r[1]);
        break;
    case 'p':
        pauseEnd_ = at + static_cast<unsigned char>(r[1]) / 1000.0;
        break;
    case 'r':
        switchSpindle(r[1] != 0, at);
        break;
    case 't':
        power_[1] = le(r, 2, config_.fwMajor >= 6 ? 4 : 1);
        break;
    case 's':
        if (r.compare(0, 3, "sBS") == 0) fourthAxisNext_ = true;
        if (r.compare(0, 2, "SE") == 0) endOfProgram_ = true;
        if (r.compare(0, 3, "sfw") == 0 && spindleOn_ && !spindleAtSpeed(at))
            pauseEnd_ = atSpeedAt_;
        if (r.compare(0, 3, "s3t") == 0) {
            headFrom_ = headTemperature(at);
            headSince_ = at;
            headSet_[0] = std::bit_cast<float>(static_cast<std::uint32_t>(le(r, 3, 4)));
        }
        break;
    default:
        break; // "l" limits and the smoothing switch change no position
    }
}

void SimMachine::executeInteractive(std::string_view c, double at) {
    switch (c[0]) {
    case 'A': {
        if (running_) break; // no manual moves while a job runs
        auto m = decodeMove(c, 'A', at);
        if (!m) break;
        if (motion_ || pauseEnd_ >= 0 || waitForSpeed_)
            interactiveQueue_.push_back(*m);
        else
            beginMotion(*m, at);
        break;
    }
    case 'V': {
        const int slot = static_cast<unsigned char>(c[1]);
        if (slot < 5) speedSlots_[static_cast<std::size_t>(slot)] = le(c, 2, newEncoding_ ? 4 : 2);
        break;
    }
    case 'F':
        selectedSlot_ = static_cast<unsigned char>(c[1]);
        break;
    case 'Y':
        cutMotion(at);
        break;
    case 'U':
        origin_[0] = le(c, 1, 4);
        origin_[1] = le(c, 5, 4);
        break;
    case 'N':
        origin_[2] = le(c, 1, 4);
        break;
    case 'R':
        switchSpindle(c[1] != 0, at);
        break;
    case 'T': {
        const int slot = static_cast<unsigned char>(c[1]);
        if (slot < 6)
            power_[static_cast<std::size_t>(slot)] = le(c, 2, config_.fwMajor >= 6 ? 4 : 1);
        break;
    }
    case 'B':
        if (c[1] == '7' && !running_) {
            cutMotion(at);
            Motion m;
            m.source = 'H';
            m.from = position_;
            m.delta = {-position_[0], -position_[1], -position_[2], 0};
            m.duration = 2.0;
            beginMotion(m, at);
            ++homingCount_;
        }
        break;
    case 'Q':
        if (running_) {
            if (motion_ || pauseEnd_ >= 0)
                stopAfterRecord_ = true;
            else
                running_ = false;
        }
        break;
    case 'C':
        if (!running_) {
            buffer_.clear();
            jobActive_ = false;
            interrupted_ = false;
            endOfProgram_ = false;
        }
        break;
    case 'G':
        if (!buffer_.empty() || jobActive_) {
            running_ = true;
            jobActive_ = true;
            interrupted_ = false;
            lastRecordReal_ = std::chrono::steady_clock::now();
        }
        break;
    case 'K':
        if (jobActive_ && !running_ && !(faultBits_ & 0x10000000)) {
            running_ = true;
            interrupted_ = false;
            stopAfterRecord_ = false;
            lastRecordReal_ = std::chrono::steady_clock::now();
        }
        break;
    case 'S':
        if (c.size() >= 3 && c.substr(0, 3) == "SBS") fourthAxisNext_ = true;
        if (c.size() >= 2 && c[1] == 'U') measurementRequested_ = false;
        if (c.size() >= 4 && c[1] == 0x0D)
            calibration_[static_cast<unsigned char>(c[2])] = static_cast<std::uint8_t>(c[3]);
        if (c.size() >= 3 && c.substr(0, 3) == "Sfw" && spindleOn_ && !spindleAtSpeed(at))
            waitForSpeed_ = true;
        if (c.size() >= 7 && c.substr(0, 3) == "S3t") {
            headFrom_ = headTemperature(at);
            headSince_ = at;
            headSet_[0] = std::bit_cast<float>(static_cast<std::uint32_t>(le(c, 3, 4)));
            // The head controls send the second value as well; a pause sends the head's alone.
            if (c.size() >= 11 && (c[7] || c[8] || c[9] || c[10]))
                headSet_[1] = std::bit_cast<float>(static_cast<std::uint32_t>(le(c, 7, 4)));
        }
        break;
    case 'W': {
        // The tool goes straight down until it touches the measuring plate.
        if (running_ || motion_) break;
        measurementRequested_ = false;
        const long long plate = std::llround(config_.plateTop * 100 * steps_[2]);
        if (position_[2] <= plate) break;
        Motion m;
        m.source = 'W';
        m.from = position_;
        m.delta = {0, 0, plate - position_[2], 0};
        m.duration = double(position_[2] - plate) / (steps_[2] * 100) / 1000 * 60;
        beginMotion(m, at);
        break;
    }
    case '[':
        if (c.size() >= 5) inverter_[static_cast<int>(le(c, 1, 2))] = static_cast<int>(le(c, 3, 2));
        break;
    default:
        break; // "X", "B4" and the rest leave the axes alone
    }
}

std::string SimMachine::execute(std::string_view command) {
    std::lock_guard lock(mutex_);
    advance();
    const double at = now();
    const bool jobRecord = (command[0] >= 'a' && command[0] <= 'z') ||
                           (command.size() >= 2 && command[0] == 'S' && command[1] == 'E');
    if (jobRecord) {
        if (buffer_.size() >= config_.bufferCapacity)
            ++overflows_;
        else
            buffer_.emplace_back(command);
        lastRecordReal_ = std::chrono::steady_clock::now();
    } else {
        executeInteractive(command, at);
    }
    advance();
    std::string echo(command);
    if (echo[0] >= 'a' && echo[0] <= 'z') echo[0] = static_cast<char>(echo[0] - 32);
    if (faults_.wrongEchoIn >= 0 && faults_.wrongEchoIn-- == 0)
        echo.back() = static_cast<char>(echo.back() ^ 0x5A);
    if (faults_.longEchoIn >= 0 && faults_.longEchoIn-- == 0) echo += "\x01\x02\x03";
    return echo;
}

bool SimMachine::takeDrop() {
    std::lock_guard lock(mutex_);
    return faults_.dropIn >= 0 && faults_.dropIn-- == 0;
}

bool SimMachine::takeDropEcho() {
    std::lock_guard lock(mutex_);
    return faults_.dropEchoIn >= 0 && faults_.dropEchoIn-- == 0;
}

std::uint64_t SimMachine::statusWord() {
    std::uint64_t s = 0;
    if (motion_ || !interactiveQueue_.empty() || waitForSpeed_ || faults_.busyForever) s |= 0x1;
    if (running_) s |= 0x2;
    if (spindleOn_) s |= 0x4;
    if (faults_.unsettled) s |= 0x8;
    if (jobActive_ || !buffer_.empty()) s |= 0x20;
    if (interrupted_) s |= 0x40;
    if (buffer_.size() + 64 >= config_.bufferCapacity) s |= 0x200;
    s |= faultBits_;
    if (measurementRequested_) s |= 0x4000000;
    for (std::size_t i = 0; i < buttonBits.size(); ++i)
        if (buttonReportsLeft_[i] > 0) {
            s |= buttonBits[i];
            --buttonReportsLeft_[i];
        }
    if (!extended_) s &= 0xFFFFFFFFull;
    return s;
}

std::string SimMachine::statusBlock() {
    std::lock_guard lock(mutex_);
    advance();
    std::array<std::uint8_t, 256> b{};
    const std::size_t s = config_.fwMajor >= 7 ? 8 : 0;
    const auto pos = currentPosition(now());
    // Bytes 1 and 2 as bytes 2 and 6 of index 17: the drive error.
    b[1] = static_cast<std::uint8_t>(driveErrorCode_ ? driveErrorCode_ : referenceInputs(pos));
    b[2] = static_cast<std::uint8_t>(driveErrorMask_);
    b[3] = 0;
    put(b, 4, statusWord() & 0xFFFFFFFF, 4);
    for (std::size_t i = 0; i < 3; ++i)
        put(b, 8 + 4 * i, static_cast<unsigned long long>(pos[i]), 4);
    if (s) {
        put(b, 20, static_cast<unsigned long long>(pos[2]), 4);
        put(b, 24,
            static_cast<unsigned long long>(
                speedSlots_[static_cast<std::size_t>(std::min(selectedSlot_, 4))]),
            4);
    }
    for (std::size_t i = 0; i < 3; ++i)
        put(b, s + 24 + 4 * i, static_cast<unsigned long long>(origin_[i]), 4);
    for (std::size_t i = 0; i < 3; ++i)
        put(b, s + 40 + 4 * i, static_cast<unsigned long long>(config_.workArea[i]), 4);
    put(b, s + 52, static_cast<unsigned long long>(std::llround(now() / 60)), 4);
    put(b, s + 56, static_cast<unsigned long long>(jobsRun_), 4);
    b[s + 62] = static_cast<std::uint8_t>(selectedSlot_);
    for (std::size_t i = 0; i < 4; ++i)
        put(b, s + 64 + 4 * i, static_cast<unsigned long long>(speedSlots_[i]), 4);
    put(b, s + 80,
        motion_ ? static_cast<unsigned long long>(
                      speedSlots_[static_cast<std::size_t>(std::min(selectedSlot_, 4))])
                : 0,
        4);
    b[s + 90] = static_cast<std::uint8_t>(selectedPower_);
    for (std::size_t i = 0; i < 6; ++i)
        put(b, s + 92 + 2 * i, static_cast<unsigned long long>(power_[i]), 2);
    return std::string(b.begin(), b.end());
}

std::string SimMachine::infoBlock() const {
    std::string block = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
    const std::size_t i = block.size();
    block += "VARDIMON";
    block.resize(i + 21, ' ');
    block += (config_.product + "        ").substr(0, 8);
    block.resize(i + 42, ' ');
    block += (config_.serial + "        ").substr(0, 8);
    block += " ver" + std::to_string(config_.fwMajor % 10) +
             std::to_string(config_.fwMinor / 10 % 10) + std::to_string(config_.fwMinor % 10) +
             "\r\n";
    return block;
}

HidBlock SimMachine::indexed(int index) {
    std::lock_guard lock(mutex_);
    advance();
    HidBlock b{};
    const double t = now();
    const auto pos = currentPosition(t);
    switch (index) {
    case 10:
        if (extended_) {
            put(b, 6, statusWord(), 8);
            for (std::size_t i = 0; i < 3; ++i)
                put(b, 14 + 4 * i, static_cast<unsigned long long>(pos[i]), 4);
        } else {
            put(b, 2, statusWord(), 4);
            for (std::size_t i = 0; i < 3; ++i)
                put(b, 6 + 4 * i, static_cast<unsigned long long>(pos[i]), 4);
        }
        break;
    case 11:
        for (std::size_t i = 0; i < 3; ++i)
            put(b, 2 + 4 * i, static_cast<unsigned long long>(origin_[i]), 4);
        break;
    case 12: {
        b[0] = static_cast<std::uint8_t>(selectedSlot_);
        const auto current =
            motion_ ? speedSlots_[static_cast<std::size_t>(std::min(selectedSlot_, 4))] : 0;
        if (newEncoding_) {
            for (std::size_t i = 0; i < 4; ++i)
                put(b, 2 + 4 * i, static_cast<unsigned long long>(speedSlots_[i]), 4);
            put(b, 22, static_cast<unsigned long long>(current), 4);
        } else {
            for (std::size_t i = 0; i < 4; ++i)
                put(b, 2 + 2 * i, static_cast<unsigned long long>(speedSlots_[i]), 2);
            put(b, 12, static_cast<unsigned long long>(current), 2);
        }
        break;
    }
    case 13:
        b[0] = static_cast<std::uint8_t>(selectedPower_);
        for (std::size_t i = 0; i < 5; ++i)
            put(b, 2 + 2 * i, static_cast<unsigned long long>(power_[i]), 2);
        break;
    case 14:
        for (std::size_t i = 0; i < 3; ++i)
            put(b, 2 + 4 * i, static_cast<unsigned long long>(config_.workArea[i]), 4);
        put(b, 14, static_cast<unsigned long long>(std::llround(t / 60)), 4);
        put(b, 18, static_cast<unsigned long long>(jobsRun_), 4);
        break;
    case 16:
        put(b, 2, t < inverterStoppingUntil_ ? 0x800 : 0, 4);
        break;
    case 17:
        // Byte 2 carries the drive error's code, else the reference switches' inputs.
        b[2] = static_cast<std::uint8_t>(driveErrorCode_ ? driveErrorCode_ : referenceInputs(pos));
        b[6] = static_cast<std::uint8_t>(driveErrorMask_);
        break;
    case 18:
        std::copy(calibration_.begin() + 68, calibration_.begin() + 80, b.begin() + 2);
        break;
    case 19:
        b[0] = static_cast<std::uint8_t>(config_.fwMajor);
        b[1] = static_cast<std::uint8_t>(config_.fwMinor);
        put(b, 10, static_cast<unsigned long long>(config_.fwBuild), 2);
        break;
    case 20:
        putFloat(b, 2, headSet_[0]);
        putFloat(b, 6, headTemperature(t));
        break;
    case 25:
        b[2] = static_cast<std::uint8_t>(config_.sizeClass);
        break;
    default:
        break;
    }
    return b;
}

void SimMachine::hidReport(const HidReport& report) {
    const std::string_view data(reinterpret_cast<const char*>(report.data() + 1), 16);
    std::size_t length = commandLength(data);
    if (length == 0 || length > 16) length = 16;
    execute(data.substr(0, length));
}

void SimMachine::pressButton(std::uint64_t bit) {
    for (std::size_t i = 0; i < buttonBits.size(); ++i)
        if (buttonBits[i] == bit) buttonReportsLeft_[i] = std::max(1, config_.buttonReports);
}

// The buttons only report themselves: what a press means (start, pause,
// continue) is the program's to do, also while a job runs.
void SimMachine::pressStart() {
    std::lock_guard lock(mutex_);
    pressButton(0x800);
}

void SimMachine::pressStop() {
    std::lock_guard lock(mutex_);
    pressButton(0x1000);
}

void SimMachine::pressContinue() {
    std::lock_guard lock(mutex_);
    pressButton(0x2000);
}

void SimMachine::spindleOverload() {
    std::lock_guard lock(mutex_);
    advance();
    pressButton(0x1000);
    pressButton(0x4000);
    switchSpindle(false, now());
    cutMotion(now());
    interruptJob();
}

void SimMachine::interrupt() {
    std::lock_guard lock(mutex_);
    advance();
    if (!running_) return;
    cutMotion(now());
    interruptJob();
}

void SimMachine::setHeadTemperature(float degrees) {
    std::lock_guard lock(mutex_);
    headFrom_ = degrees;
    headSince_ = now();
}

void SimMachine::switchSpindle(bool on, double at) {
    if (on && !spindleOn_) atSpeedAt_ = at + config_.spinUpSeconds;
    if (!on && spindleOn_) inverterStoppingUntil_ = at + 2.0;
    spindleOn_ = on;
}

bool SimMachine::spindleAtSpeed(double at) const {
    return spindleOn_ && at >= atSpeedAt_;
}

float SimMachine::headTemperature(double at) const {
    const double change = config_.heatingRate * std::max(0.0, at - headSince_);
    const double target = headSet_[0];
    if (headFrom_ < target) return static_cast<float>(std::min(target, headFrom_ + change));
    return static_cast<float>(std::max(target, headFrom_ - change));
}

void SimMachine::driveError(int code, int axisMask) {
    std::lock_guard lock(mutex_);
    advance();
    faultBits_ |= 0x10000000;
    driveErrorCode_ = code;
    driveErrorMask_ = axisMask;
    cutMotion(now());
    interruptJob();
}

void SimMachine::inverterFault() {
    std::lock_guard lock(mutex_);
    faultBits_ |= 0x4000000000000000ull;
}

void SimMachine::clearFaults() {
    std::lock_guard lock(mutex_);
    faultBits_ = 0;
    driveErrorCode_ = driveErrorMask_ = 0;
    faults_ = SimFaults{};
}

int SimMachine::referenceInputs(const std::array<long long, 4>& p) const {
    auto at = [&](std::size_t i) { return std::llround(config_.reference[i] * 100 * steps_[i]); };
    return (p[0] >= at(0) ? 1 : 0) | (p[1] >= at(1) ? 2 : 0) | (p[2] <= at(2) ? 4 : 0);
}

void SimMachine::setPlateTop(double mm) {
    std::lock_guard lock(mutex_);
    config_.plateTop = mm;
}

void SimMachine::setReference(const std::array<double, 3>& mm) {
    std::lock_guard lock(mutex_);
    config_.reference = mm;
}

void SimMachine::requestToolMeasurement() {
    std::lock_guard lock(mutex_);
    measurementRequested_ = true;
}

std::map<int, int> SimMachine::inverterParameters() {
    std::lock_guard lock(mutex_);
    return inverter_;
}

void SimMachine::setFaults(const std::function<void(SimFaults&)>& change) {
    std::lock_guard lock(mutex_);
    change(faults_);
}

SimMachine::Snapshot SimMachine::snapshot() {
    std::lock_guard lock(mutex_);
    advance();
    Snapshot s;
    s.position = currentPosition(now());
    s.origin = origin_;
    const auto reportsLeft = buttonReportsLeft_;
    s.status = statusWord();
    buttonReportsLeft_ = reportsLeft;
    s.buffered = buffer_.size();
    s.executedRecords = executedRecords_;
    s.overflows = overflows_;
    s.spindleOn = spindleOn_;
    s.simSeconds = now();
    s.spindleAtSpeed = spindleAtSpeed(s.simSeconds);
    s.headTemperature = headTemperature(s.simSeconds);
    s.headSetTemperature = headSet_[0];
    s.limitHit = limitHit_;
    return s;
}

void SimMachine::flushTrace() {
    std::lock_guard lock(mutex_);
    flushTraceLocked();
}

void SimMachine::flushTraceLocked() {
    if (traceDirty_) trace_.flush();
    traceDirty_ = false;
}

} // namespace korvane::sim
