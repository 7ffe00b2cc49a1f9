#include "machine/JobFile.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "machine/Encoding.h"
#include "machine/MachineModels.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/SpeedLimits.h"

#include <cmath>

namespace korvane {

namespace {

// Cross-section of a 1.75 mm filament, mm².
constexpr double filamentSection = 2.4052818754046854483;

std::string bytesOf(std::initializer_list<int> values, const char* letter) {
    std::string r = letter;
    for (int v : values) appendByte(r, v);
    return r;
}

std::string temperatureRecord(float temperature) {
    std::string r = "s3t";
    appendFloat32(r, temperature);
    return PadCommand16(r);
}

} // namespace

std::filesystem::path jobFilePath() {
    return dataFolder / outputFolderName / jobFileName;
}

TJobWriter::TJobWriter(std::filesystem::path file, TOperacjaDane op, TJobContext context)
    : path_(std::move(file)), op_(std::move(op)), context_(context) {}

void TJobWriter::record(const std::string& bytes) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out_.flush();
    ++records_;
    bytes_ += static_cast<long long>(bytes.size());
}

std::vector<std::string> pauseRecords(long long ms) {
    std::vector<std::string> records;
    for (; ms >= 256; ms -= 255) records.push_back(bytesOf({255}, "p"));
    if (ms > 0) records.push_back(bytesOf({static_cast<int>(ms)}, "p"));
    return records;
}

std::string TJobWriter::buildMove(int speed, double z, double y, double x, double k) {
    const TMachineParams& p = machineParams;
    const long long tx = roundHalfEven(x * 100 * p.stepsX);
    const long long ty = roundHalfEven(y * 100 * p.stepsY);
    const long long tz = roundHalfEven(z * 100 * p.stepsZ);
    EncodedMove move = EncodeMove(tx - lastX_, ty - lastY_, tz - lastZ_, speed, k);
    if (move.bytes.empty()) return {};
    move.bytes[0] = 'a';
    lastX_ = tx;
    lastY_ = ty;
    lastZ_ = tz;
    lastMoveLength_ = move.length;
    return move.bytes;
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

    if (!newEncoding) record(bytesOf({0}, "s"));
    auto speedRecord = [&](int slot, long long value, bool wide) {
        std::string r = "v";
        appendByte(r, slot);
        if (wide)
            appendLE32(r, value);
        else
            appendLE16(r, value);
        record(r);
    };
    speedRecord(0, SpeedToMachine(roundHalfEven(op_.szybkoscPrzestawcza * k)), newEncoding);
    speedRecord(1, SpeedToMachine(roundHalfEven(op_.szybkosc * k)), newEncoding);
    if (context_.printer3D) {
        speedRecord(3, SpeedToMachine(roundHalfEven(op_.szybkoscPrzestawcza * k * 0.8)), true);
        speedRecord(4, SpeedToMachine(roundHalfEven(op_.szybkosc * k)), true);
    } else if (extendedStatus) {
        const long long value = std::max<long long>(
            std::min<long long>(roundHalfEven(op_.obroty), p.spindleSpeedMax), p.spindleSpeedMin);
        record(bytesOf({10}, "p"));
        WriteSpindleSpeed(value);
        record(bytesOf({10}, "p"));
    } else {
        record(bytesOf({100}, "p"));
        WriteSpindleSpeed(roundHalfEven(op_.obroty / 100));
        record(bytesOf({100}, "p"));
    }
    record(bytesOf({200}, "p"));
    if (!context_.printer3D) {
        record(bytesOf({1, 1}, "r"));
        if (!extendedStatus || modelVariant) {
            for (const auto& r : pauseRecords(roundHalfEven(0.1 * 1000))) record(r);
        } else {
            record(bytesOf({10}, "p"));
            record("sfw" + std::string(13, ' '));
        }
    }
    for (int i = 0; i < 5; ++i) record(bytesOf({200}, "p"));
    if (context_.printer3D) {
        SendCommand(temperatureRecord(context_.headTemperature));
    }
    lastX_ = lastY_ = 0;
    lastZ_ = context_.printer3D ? 0 : roundHalfEven(safeHeight * 100 * p.stepsZ);
}

void TJobWriter::WriteJobFigure(const tFigura& fig, int startPoint) {
    const TMachineParams& p = machineParams;
    const bool newEncoding = p.newSpeedEncoding != 0;
    const bool printing = context_.printer3D;
    const double k = p.speedFactor;
    const double substrate = context_.gruboscPodkladki;
    if (fig.poz.empty()) return;
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
    record(bytesOf({1}, "p"));
    record(bytesOf({0}, "f"));
    if (!printing) record(bytesOf({1, 1}, "r"));
    WriteJobMove(-1, lastZ_ / 100.0 / p.stepsZ, P.y, P.x, k);
    record(bytesOf({1}, "p"));
    WriteJobMove(-1, printing ? z0 : z0 + op_.warstwaGrubosc, P.y, P.x, k);
    record(bytesOf({1}, "p"));
    record(bytesOf({1}, "f"));
    if (!printing) {
        std::string r = "v";
        appendByte(r, 3);
        if (newEncoding)
            appendLE32(r, SpeedToMachine(roundHalfEven(op_.posuwWiercenia * k)));
        else
            appendLE16(r, SpeedToMachine(roundHalfEven(op_.posuwWiercenia * p.stepsZ * k)));
        record(r);
        record(bytesOf({3}, "f"));
        WriteJobMove(-1, z0, P.y, P.x, k);
        record(bytesOf({1}, "p"));
    }
    if (printing)
        record(bytesOf({fig.obrys == 1 ? 1 : fig.Przestawcza == 1 ? 3 : 1}, "f"));
    else
        record(bytesOf({1}, "f"));
    const bool smoothingRecords = context_.pathSmoothing && !newEncoding;
    if (smoothingRecords) record(bytesOf({1}, "s"));

    long long o = 65535;
    bool limitOpen = true;
    bool pauseAfterMove = false;
    double previousZ = z0;
    const std::size_t first = static_cast<std::size_t>(std::max(startPoint, 1));
    for (std::size_t i = first; i < fig.poz.size(); ++i) {
        const double x = fig.poz[i].x, y = fig.poz[i].y, z = fig.poz[i].z + substrate;
        const bool extruding = printing && std::fabs(z - previousZ) < 0.001;
        std::string pending;
        if (!newEncoding) pending = buildMove(-1, z, y, x, k);
        const long long D = limits[i];
        if (D < 24) {
            if (!newEncoding && limitOpen) pending += bytesOf({1, 0}, "l");
            o = 1;
            limitOpen = false;
        } else if (D < 65535) {
            if (std::fabs(double(D - o)) / o > 0.1 || newEncoding) {
                if (!newEncoding) {
                    std::string l = "l";
                    appendLE16(l, D);
                    pending += l;
                    limitOpen = true;
                }
                o = D;
            }
        } else if (newEncoding) {
            o = 65535;
            pauseAfterMove = true;
        } else {
            if (limitOpen) pending += bytesOf({1, 0}, "l");
            pending += bytesOf({1}, "p");
            limitOpen = false;
        }
        if (!extruding) {
            if (newEncoding) {
                WriteJobMove(static_cast<int>(o), z, y, x, k);
                if (pauseAfterMove) {
                    record(bytesOf({10}, "p"));
                    pauseAfterMove = false;
                }
            } else {
                // The pending text holds a move followed by its limit records.
                std::size_t at = 0;
                while (at < pending.size()) {
                    const std::size_t length = pending[at] == 'a' ? 14 : pending[at] == 'l' ? 3 : 2;
                    record(pending.substr(at, length));
                    at += length;
                }
            }
        } else {
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
                record(move.bytes);
                lastX_ += dx;
                lastY_ += dy;
            }
            if (o == 65535) record(bytesOf({10}, "p"));
            emitted += roundHalfEven(E);
        }
        previousZ = z;
        if (pauseAfterMove) {
            record(bytesOf({10}, "p"));
            pauseAfterMove = false;
        }
    }
    if (smoothingRecords) record(bytesOf({0}, "s"));
    record(bytesOf({1}, "p"));
    record(bytesOf({0}, "f"));
    const TrPkt3D& last = fig.poz.back();
    WriteJobMove(-1, substrate + fig.przestawczyZ, last.y, last.x, k);
    record(bytesOf({1}, "p"));
    if (!printing) record(bytesOf({1, 1}, "r"));
}

void TJobWriter::WriteJobTrailer() {
    const double k = machineParams.speedFactor;
    record(bytesOf({10}, "p"));
    record(bytesOf({0, 2}, "r"));
    record(bytesOf({1}, "p"));
    record(bytesOf({2}, "f"));
    if (context_.printer3D) record(temperatureRecord(standbyHeadTemperature));
    WriteJobMove(-1, safeHeight, 0, 0, k);
    if (!machineParams.newSpeedEncoding)
        record(bytesOf({0}, "s"));
    else
        record(PadCommand16("SE"));
    record(bytesOf({10}, "p"));
    out_.close();
}

} // namespace korvane
