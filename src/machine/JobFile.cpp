#include "machine/JobFile.h"

#include "foundation/MachineParams.h"
#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/SpeedLimits.h"

#include <cmath>
#include <optional>

namespace korvane {

namespace {

// Cross-section of a 1.75 mm filament, mm².
constexpr double filamentSection = 2.4052818754046854483;
// The spindle's spin-up time on machines that do not report it.
constexpr double spinUpSeconds = 0.1;

// The limit value that lifts the limit.
constexpr long long noLimit = 1;

std::string letterAndBytes(char letter, std::initializer_list<int> values) {
    std::string r(1, letter);
    for (int v : values) appendByte(r, v);
    return r;
}

std::string pauseRecord(int milliseconds) {
    return letterAndBytes('p', {milliseconds});
}

std::string slotRecord(int slot) {
    return letterAndBytes('f', {slot});
}

std::string spindleOnRecord() {
    return letterAndBytes('r', {1, 1});
}

std::string spindleOffRecord() {
    return letterAndBytes('r', {0, 2});
}

std::string smoothingRecord(bool on) {
    return letterAndBytes('s', {on ? 1 : 0});
}

std::string limitRecord(long long value) {
    std::string r = "l";
    appendLE16(r, value);
    return r;
}

std::string speedRecord(int slot, long long value, bool wide) {
    std::string r = letterAndBytes('v', {slot});
    if (wide)
        appendLE32(r, value);
    else
        appendLE16(r, value);
    return r;
}

} // namespace

std::string headTemperatureRecord(float temperature) {
    std::string r = "s3t";
    appendFloat32(r, temperature);
    return PadCommand16(r);
}

std::filesystem::path jobFilePath() {
    return dataFolder / outputFolderName / jobFileName;
}

TJobWriter::TJobWriter(std::filesystem::path file, TOperacjaDane op, TJobContext context)
    : path_(std::move(file)), op_(std::move(op)), context_(context) {}

// The next record written is the move to `point` of the current figure.
void TJobWriter::markPoint(std::size_t point) {
    marks_.push_back({records_, {figures_, point}});
}

void TJobWriter::record(const std::string& bytes) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ++records_;
    bytes_ += static_cast<long long>(bytes.size());
}

std::vector<std::string> pauseRecords(long long ms) {
    std::vector<std::string> records;
    for (; ms >= 256; ms -= 255) records.push_back(pauseRecord(255));
    if (ms > 0) records.push_back(pauseRecord(static_cast<int>(ms)));
    return records;
}

TJobWriter::StepMove TJobWriter::stepsTo(double z, double y, double x) const {
    const TMachineParams& p = machineParams;
    return {roundHalfEven(x * 100 * p.stepsX) - lastX_, roundHalfEven(y * 100 * p.stepsY) - lastY_,
            roundHalfEven(z * 100 * p.stepsZ) - lastZ_};
}

std::string TJobWriter::takeMove(const StepMove& steps, int speed, double k) {
    EncodedMove move = EncodeMove(steps.dx, steps.dy, steps.dz, speed, k);
    if (move.bytes.empty()) return {};
    move.bytes[0] = 'a';
    lastX_ += steps.dx;
    lastY_ += steps.dy;
    lastZ_ += steps.dz;
    lastMoveLength_ = move.length;
    return move.bytes;
}

std::string TJobWriter::buildMove(int speed, double z, double y, double x, double k) {
    return takeMove(stepsTo(z, y, x), speed, k);
}

bool TJobWriter::WriteJobMove(int speed, double z, double y, double x, double k) {
    const std::string move = buildMove(speed, z, y, x, k);
    if (move.empty()) return false;
    record(move);
    return true;
}

void TJobWriter::WriteSpindleSpeed(long long value) {
    std::string r = "t";
    appendByte(r, 1);
    if (fwMajor < 6)
        appendByte(r, value);
    else
        appendLE32(r, value);
    record(r);
}

void TJobWriter::writeSpindle(double rpm) {
    const TMachineParams& p = machineParams;
    spindle_ = rpm;
    if (extendedStatus) {
        const long long value = std::max<long long>(
            std::min<long long>(roundHalfEven(rpm), p.spindleSpeedMax), p.spindleSpeedMin);
        record(pauseRecord(10));
        WriteSpindleSpeed(value);
        record(pauseRecord(10));
    } else {
        record(pauseRecord(100));
        WriteSpindleSpeed(roundHalfEven(rpm / 100));
        record(pauseRecord(100));
    }
}

std::string TJobWriter::workingFeedRecord(double feed) {
    const TMachineParams& p = machineParams;
    if (p.maxSpeed > 0) feed = std::min(feed, double(p.maxSpeed));
    if (p.minSpeed > 0) feed = std::max(feed, double(p.minSpeed));
    if (feed == workingFeed_) return {};
    workingFeed_ = feed;
    return speedRecord(1, SpeedToMachine(roundHalfEven(feed * p.speedFactor)),
                       p.newSpeedEncoding != 0);
}

void TJobWriter::WriteJobHeader() {
    const TMachineParams& p = machineParams;
    const bool newEncoding = p.newSpeedEncoding != 0;
    if (context_.printer3D && !newEncoding)
        throw MachineRangeError("3D printing needs a machine with 32-bit speeds");
    const double k = p.speedFactor;
    out_.exceptions(std::ios::failbit | std::ios::badbit);
    out_.open(path_, std::ios::binary | std::ios::trunc);
    lastMoveLength_ = 0;
    records_ = bytes_ = 0;
    marks_.clear();
    figures_ = 0;

    if (!newEncoding) record(smoothingRecord(false));
    record(speedRecord(0, SpeedToMachine(roundHalfEven(op_.szybkoscPrzestawcza * k)), newEncoding));
    record(speedRecord(1, SpeedToMachine(roundHalfEven(op_.szybkosc * k)), newEncoding));
    workingFeed_ = op_.szybkosc;
    if (context_.printer3D) {
        record(
            speedRecord(3, SpeedToMachine(roundHalfEven(op_.szybkoscPrzestawcza * k * 0.8)), true));
        record(speedRecord(4, SpeedToMachine(roundHalfEven(op_.szybkosc * k)), true));
    } else {
        writeSpindle(op_.obroty);
    }
    record(pauseRecord(200));
    if (!context_.printer3D) {
        record(spindleOnRecord());
        if (!extendedStatus || modelVariant) {
            for (const auto& r : pauseRecords(roundHalfEven(spinUpSeconds * 1000))) record(r);
        } else {
            record(pauseRecord(10));
            record("sfw" + std::string(13, ' '));
        }
    }
    for (int i = 0; i < 5; ++i) record(pauseRecord(200));
    lastX_ = lastY_ = 0;
    lastZ_ = context_.printer3D ? 0 : roundHalfEven(safeHeight * 100 * p.stepsZ);
}

void TJobWriter::WriteJobFigure(const tFigura& fig, int startPoint, const FigureFeeds* feeds) {
    const TMachineParams& p = machineParams;
    const bool newEncoding = p.newSpeedEncoding != 0;
    const bool printing = context_.printer3D;
    const double k = p.speedFactor;
    const double substrate = context_.gruboscPodkladki;
    if (fig.poz.empty()) {
        ++figures_;
        return;
    }
    if (startPoint < 0 || static_cast<std::size_t>(startPoint) >= fig.poz.size()) startPoint = 0;

    const std::vector<std::uint16_t> limits =
        ComputeSpeedLimits(fig.poz, startPoint, context_.pathSmoothing);
    const double e =
        op_.warstwaSzer * op_.warstwaGrubosc / filamentSection * op_.zuzycieMaterialu / 100;
    double extruded = 0;
    long long emitted = 0;
    if (printing) lastMoveLength_ = 0;

    const TrPkt3D& P = fig.poz[static_cast<std::size_t>(startPoint)];
    const double z0 = P.z + substrate;
    // A program's figure is approached at the height its rapids ended (above
    // a later start point by as much) and plunged at its own feed.
    double approach = z0 + op_.warstwaGrubosc;
    double plungeFeed = op_.posuwWiercenia;
    if (feeds) {
        approach = z0 + std::max(0.0, feeds->approachZ - fig.poz.front().z);
        plungeFeed = feeds->plungeFeed > 0 ? feeds->plungeFeed : op_.posuwWiercenia;
        if (p.maxPlungeFeed > 0) plungeFeed = std::min(plungeFeed, double(p.maxPlungeFeed));
        if (!printing && feeds->spindle != spindle_) writeSpindle(feeds->spindle);
    }
    record(pauseRecord(1));
    record(slotRecord(0));
    if (!printing) record(spindleOnRecord());
    WriteJobMove(-1, lastZ_ / 100.0 / p.stepsZ, P.y, P.x, k);
    record(pauseRecord(1));
    if (printing) {
        const std::string move = buildMove(-1, z0, P.y, P.x, k);
        if (!move.empty()) {
            markPoint(static_cast<std::size_t>(startPoint));
            record(move);
        }
    } else {
        WriteJobMove(-1, approach, P.y, P.x, k);
    }
    record(pauseRecord(1));
    record(slotRecord(1));
    if (!printing) {
        const double plunge = newEncoding ? plungeFeed * k : plungeFeed * p.stepsZ * k;
        record(speedRecord(3, SpeedToMachine(roundHalfEven(plunge)), newEncoding));
        record(slotRecord(3));
        const std::string move = buildMove(-1, z0, P.y, P.x, k);
        if (!move.empty()) {
            markPoint(static_cast<std::size_t>(startPoint));
            record(move);
        }
        record(pauseRecord(1));
    }
    if (printing)
        record(slotRecord(fig.obrys == 1 ? 1 : fig.Przestawcza == 1 ? 3 : 1));
    else
        record(slotRecord(1));
    const bool smoothingRecords = context_.pathSmoothing && !newEncoding;
    if (smoothingRecords) record(smoothingRecord(true));

    long long o = stopMarker;
    bool limitOpen = true;
    bool pauseAfterMove = false;
    // With newSpeedEncoding the last move is held back until the next one is
    // known: a stop point whose own move rounds to no step hands its stop to
    // it, so that the machine still brakes for that corner.
    struct HeldMove {
        StepMove steps;
        std::size_t point = 0;
        std::string bytes;
    };
    std::optional<HeldMove> held;
    auto writeHeld = [&] {
        if (!held) return;
        markPoint(held->point);
        record(held->bytes);
        held.reset();
    };
    double previousZ = z0;
    const std::size_t first = static_cast<std::size_t>(std::max(startPoint, 1));
    for (std::size_t i = first; i < fig.poz.size(); ++i) {
        const double x = fig.poz[i].x, y = fig.poz[i].y, z = fig.poz[i].z + substrate;
        const bool extruding = printing && std::fabs(z - previousZ) < 0.001;
        if (feeds && i < feeds->feeds.size()) {
            const std::string speed = workingFeedRecord(feeds->feeds[i]);
            if (!speed.empty()) {
                // The held move runs at the speed in force before the change.
                writeHeld();
                record(speed);
            }
        }
        // Without newSpeedEncoding the move goes first, then the records of
        // the limit at its end point.
        std::vector<std::string> pending;
        bool movePending = false;
        if (!newEncoding) {
            std::string move = buildMove(-1, z, y, x, k);
            movePending = !move.empty();
            if (movePending) pending.push_back(std::move(move));
        }
        const long long D = limits[i];
        if (D < 24) {
            if (!newEncoding && limitOpen) pending.push_back(limitRecord(noLimit));
            o = noLimit;
            limitOpen = false;
        } else if (D < stopMarker) {
            if (std::fabs(double(D - o)) / o > 0.1 || newEncoding) {
                if (!newEncoding) {
                    pending.push_back(limitRecord(D));
                    limitOpen = true;
                }
                o = D;
            }
        } else if (newEncoding) {
            o = stopMarker;
            pauseAfterMove = true;
        } else {
            if (limitOpen) pending.push_back(limitRecord(noLimit));
            pending.push_back(pauseRecord(1));
            limitOpen = false;
        }
        if (!extruding) {
            if (newEncoding) {
                const StepMove steps = stepsTo(z, y, x);
                std::string move = takeMove(steps, static_cast<int>(o), k);
                if (!move.empty()) {
                    writeHeld();
                    held = HeldMove{steps, i, std::move(move)};
                } else if (o == stopMarker && held) {
                    held->bytes = EncodeMove(held->steps.dx, held->steps.dy, held->steps.dz,
                                             static_cast<int>(stopMarker), k)
                                      .bytes;
                    held->bytes[0] = 'a';
                }
                if (pauseAfterMove) {
                    writeHeld();
                    record(pauseRecord(10));
                    pauseAfterMove = false;
                }
            } else {
                if (movePending) markPoint(i);
                for (const std::string& r : pending) record(r);
            }
        } else {
            writeHeld();
            const long long dx = roundHalfEven(p.stepsX * x * 100) - lastX_;
            const long long dy = roundHalfEven(p.stepsY * y * 100) - lastY_;
            const double length = std::sqrt(double(dx) * dx + double(dy) * dy) + lastMoveLength_;
            lastMoveLength_ = 0;
            double mm = length / (p.stepsX * 100);
            if (fig.NrWarstwy == 0) mm *= 0.1;
            extruded += mm * e * 100 * p.stepsB;
            const double E = extruded - emitted;
            EncodedMove move = EncodeMovePlanar(dx, dy, -roundHalfEven(E), static_cast<int>(o), k);
            if (!move.bytes.empty()) {
                move.bytes[0] = 'a';
                record(PadCommand16("sBS"));
                markPoint(i);
                record(move.bytes);
                lastX_ += dx;
                lastY_ += dy;
            }
            if (o == stopMarker) record(pauseRecord(10));
            emitted += roundHalfEven(E);
        }
        previousZ = z;
        if (pauseAfterMove) {
            writeHeld();
            record(pauseRecord(10));
            pauseAfterMove = false;
        }
    }
    writeHeld();
    if (smoothingRecords) record(smoothingRecord(false));
    record(pauseRecord(1));
    record(slotRecord(0));
    const TrPkt3D& last = fig.poz.back();
    WriteJobMove(-1, substrate + fig.przestawczyZ, last.y, last.x, k);
    record(pauseRecord(1));
    if (!printing) record(spindleOnRecord());
    ++figures_;
}

void TJobWriter::WriteJobTrailer() {
    const double k = machineParams.speedFactor;
    record(pauseRecord(10));
    record(spindleOffRecord());
    record(pauseRecord(1));
    record(slotRecord(2));
    if (context_.printer3D) record(headTemperatureRecord(standbyHeadTemperature));
    WriteJobMove(-1, safeHeight, 0, 0, k);
    if (!machineParams.newSpeedEncoding)
        record(smoothingRecord(false));
    else
        record(PadCommand16("SE"));
    record(pauseRecord(10));
    out_.close();
}

} // namespace korvane
