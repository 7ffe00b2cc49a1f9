#include "machine/Identification.h"

#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "machine/MachineModels.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/RecordLengths.h"
#include "machine/Usb.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <fstream>

namespace korvane {

namespace {

// The row identified last; each identification starts from its base values so
// that calibration is never applied twice.
std::size_t selectedRow = 0;

// A factor of 0 and one that is no number at all (erased calibration memory
// reads 0xFFFFFFFF, a NaN) mean an axis that was never calibrated.
float calibrationFactor(float v) {
    return v == 0 || !std::isfinite(v) ? 1.0f : v;
}

} // namespace

void IdentifyMachine() {
    const std::string& product =
        plotstate.info1.empty() ? std::string(defaultProductString) : plotstate.info1;
    const auto& table = machineModelTable();

    // 1, 2: the code and the last matching row.
    modelCode = modelCodeOf(product);
    if (const TMachineModel* row = findMachineModel(product))
        selectedRow = static_cast<std::size_t>(row - table.data());
    const TMachineModel& model = table[selectedRow];
    machineParams = model.params;
    modelVariant = model.variantB && product.size() >= 8 && product[7] == 'b';

    // 3: the newer controller generation.
    const TNewerGeneration& g = model.newer;
    extendedStatus = g.present;
    alternativeRamp = g.present;
    sharpCornerAngle = g.present ? g.sharpCornerAngle : 165;
    cornerAngle = g.present ? g.cornerAngle : 150;
    cornerCountAngle = g.present ? g.cornerCountAngle : 150;
    if (g.present) {
        motionFactor = g.motionFactor;
        motionSettings = g.motionSettings;
        smoothing = false;
        if (g.divisorTimesMult && FirmwareAtLeast(6, 32))
            machineParams.speedDivisor *= machineParams.mult;
        if (g.accelerationByFirmware) {
            if (FirmwareIs(6, 34))
                machineParams.acceleration = 0;
            else if (FirmwareAtLeast(6, 35))
                machineParams.acceleration = 4;
        }
        if (g.cornerCoefByFirmware && FirmwareAtLeastEach(9, 12, 77)) {
            machineParams.cornerCoefNormal = 700;
            machineParams.cornerCoefSteep = 600;
        }
        if (g.readsSizeClass) {
            const bool large = !ethernetActive && usbLink &&
                               usbLink->ReadString(usbSizeClassIndex) == 0 &&
                               usbLink->BufIn[2] == 'L';
            const std::uint16_t speed = large ? 30000 : 15000;
            machineParams.maxSpeed = machineParams.maxFeed = machineParams.maxRapid = speed;
            machineParams.sliderMax = large ? 480 : 330;
        }
    }

    // 4 to 7.
    finishingFeedLimit = static_cast<std::uint16_t>(
        std::min<std::uint32_t>(machineParams.finishingFeedBound, 65535));
    transferMargin = 1.0;
    LoadCalibration();
    continueWithoutStoredJob = machineParams.continueWithoutStoredJob;
    setRecordLengths(machineParams.newSpeedEncoding != 0, fwMajor);
}

void LoadCalibration() {
    calX = calY = calZ = 1;
    if (extendedStatus) {
        if (!ethernetActive && usbLink && usbLink->ReadString(usbCalibrationIndex) == 0) {
            const std::uint8_t* b = usbLink->BufIn.data();
            calX = calibrationFactor(readFloat32(b + 2));
            calY = calibrationFactor(readFloat32(b + 6));
            calZ = calibrationFactor(readFloat32(b + 10));
        }
    } else {
        const auto file = exeFolder / "kalibracja.txt";
        std::ifstream in(file);
        if (!in) return;
        float factors[3];
        for (float& f : factors) {
            std::string line;
            if (!std::getline(in, line))
                throw MachineFileError("kalibracja.txt: three lines expected");
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto v = parseReal(line);
            if (!v) throw MachineFileError("kalibracja.txt: not a number: " + line);
            f = static_cast<float>(std::clamp(*v, 0.6, 1.4));
        }
        calX = factors[0];
        calY = factors[1];
        calZ = factors[2];
    }
    machineParams.stepsX /= calX;
    machineParams.stepsY /= calY;
    machineParams.stepsZ /= calZ;
}

void WriteCalibration(float x, float y, float z) {
    const float factors[3] = {x, y, z};
    for (int axis = 0; axis < 3; ++axis) {
        const auto bits = std::bit_cast<std::uint32_t>(factors[axis]);
        for (int i = 0; i < 4; ++i) {
            std::string cmd = "S\x0D";
            appendByte(cmd, 68 + 4 * axis + i);
            appendByte(cmd, (bits >> (8 * i)) & 0xFF);
            SendCommand(cmd);
        }
    }
}

void loadCachedProduct() {
    std::ifstream in(dataFolder / "typ.txt");
    std::string line;
    if (in && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) {
            plotstate.info1 = line;
            return;
        }
    }
    plotstate.info1 = defaultProductString;
}

void saveCachedProduct() {
    if (plotstate.info1.empty()) return;
    std::ofstream out(dataFolder / "typ.txt", std::ios::binary | std::ios::trunc);
    out << plotstate.info1 << "\r\n";
}

} // namespace korvane
