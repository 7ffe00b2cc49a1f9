#include "StateReset.h"

#include "control/BaseCheck.h"
#include "control/ToolMeasurement.h"
#include "foundation/Interfejs.h"
#include "foundation/MachineParams.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "generation/GenState.h"
#include "generation/Kreski.h"
#include "geometry/Figury.h"
#include "geometry/Raster.h"
#include "libraries/LibraryState.h"
#include "machine/Ethernet.h"
#include "machine/MachineState.h"
#include "machine/TransmitArm.h"
#include "machine/Usb.h"
#include "output/DaneWyjsciowe.h"
#include "output/OldPreview.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace korvane::test {

namespace {

void resetFoundation() {
    setUserInterface(nullptr);
    exeFolder = KORVANE_EXE_DIR;
    dataFolder.clear();
    texts.reset();
    settings = TUstawienia{};
    operationTypes.clear();
    unitTable = {};
    toolTypeNames = {};
    messageState = komunikat_stan{};
    programArguments.clear();
    modelExtents = TModel{};
    modelTriangles.clear();
    modelSize = TrPkt3D{};
    materialExtents = TModel{};
    materialTriangles.clear();
    materialSize = TrPkt3D{};
    pixelSize = 0;
    effectiveResolution = 0;
    rasterSizeX = rasterSizeY = rasterSizeZ = 0;
    materialCellsX = materialCellsY = materialCellsZ = 0;
    rasterReady = false;
    materialRasterReady = true;
    resolutionChanged = false;
    roughingCount = 0;
    outputFolderName.clear();
    closing = false;
    loggerOn = false;
    surfacingFraction = 0.05;
    smoothing = false;
    jobLogOn = true;
    motionFactor = 45.0f;
    machineParams = defaultMachineParams;
    cornerAngle = 150.0;
    cornerCountAngle = 150.0;
    transferMargin = 5.0;
    setAnsiCodePage("WINDOWS-1252");
}

void resetLibraries() {
    toolLibrary.reset();
    operationLibrary.reset();
    project.reset();
}

void resetGeometryAndGeneration() {
    for (tpix2d* layer :
         {&modelHeights, &offsetHeights, &motionHeights, &flatMask, &materialHeights})
        *layer = tpix2d{};
    cellStatus = tpix2dRec{};
    flatStatus = tpix2dRec{};
    figureList.clear();
    figureCounter = 0;
    generationTerminate = false;
    maxNestingLevel = 0;
    printProgress = 0;
    printTimeLeft = 0;
    layerTop = 0;
    currentLevel = TrPkt3D{};
    lowLimit = 0;
    highLimit = 0;
    currentFigure.reset();
}

void resetOutput() {
    outputReader.reset();
    outputFileName.clear();
    sharpCornerCount = 0;
    startFigureIndex = 0;
    startPointIndex = 0;
    outputPathSmoothing = false;
    previewScale = 0;
    previewWidth = previewHeight = 0;
}

void resetMachine() {
    transArm = TTransArm{};
    jobLogSection.clear();
    usbLink.reset();
    ethernetLink.reset();
    plotstate = tplotstate{};
    ethernetActive = false;
    ethernetError = 0;
    fwMajor = fwMinor = fwBuild = 0;
    extendedStatus = false;
    workArea = TrPkt3D{};
    safeHeight = 10.0;
    driverErrorAxisMask = 0;
    headTemperatureRead = {};
    headTemperatureSet = {};
    machineWaitLimit = std::chrono::minutes(10);
    exchangeTimeout = std::chrono::seconds(5);
    modelCode.clear();
    modelVariant = false;
    sharpCornerAngle = 165;
    alternativeRamp = false;
    calX = calY = calZ = 1;
    finishingFeedLimit = 3000;
    continueWithoutStoredJob = false;
    motionSettings = {};
    jobRunning = false;
    jobPaused = false;
    stopRequest = false;
    showStatusText = [](const std::string&) {};
    machineWaitPump = nullptr;
}

void resetControl() {
    baseCheck = BaseCheck{};
    toolLengthDialog = nullptr;
}

class StateResetListener final : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { resetProcessState(); }
};

// Registered when the test program starts (the support library is linked
// object by object, so this registration is always part of the program).
const bool registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new StateResetListener);
    return true;
}();

} // namespace

void resetProcessState() {
    // Links and the transmission first: they may refer to the state below.
    resetControl();
    resetMachine();
    resetOutput();
    resetGeometryAndGeneration();
    resetLibraries();
    resetFoundation();
}

} // namespace korvane::test
