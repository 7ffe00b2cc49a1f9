#include "app/Glowny.h"

#include "foundation/CommandLine.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"
#include "foundation/Version.h"
#include "geometry/Raster.h"
#include "libraries/LibraryFolders.h"
#include "libraries/LibraryState.h"
#include "machine/LibusbHidBackend.h"
#include "machine/MachineLinks.h"
#include "machine/MachineState.h"
#include "machine/Usb.h"
#include "output/DaneWyjsciowe.h"
#include "platform/Folders.h"

#include <cmath>

namespace korvane {

TfGlowny::TfGlowny(MainWindowView& view, bool singleInstance)
    : view_(view), singleInstance_(singleInstance), toolPane_(view), operationPane_(view),
      modelOpening_(view), budowanie_(*this) {
    budowanie_.rasterBuilding = [this] { return modelOpening_.modelRasterComing(); };
    budowanie_.startRasterBuild = [this] { modelOpening_.rebuildRaster(); };
    budowanie_.startStockRasterBuild = [this] { modelOpening_.rebuildStockRaster(); };
}

std::string TfGlowny::caption() {
    return std::string(applicationTitle) + "   " + txt("Universal", "txtWer") +
           std::to_string(versionMajor) + "." + std::to_string(versionMinor) + "." +
           std::to_string(versionRelease) + "." + std::to_string(versionBuild);
}

bool TfGlowny::takeInstanceLock() {
    instance_ = std::make_unique<SingleInstance>();
    if (instance_->acquired()) return true;
    const std::string gap = "\r\n\r\n";
    showMessage(txt("Main_window", "msgMutex1") + gap + txt("Main_window", "msgMutex2") + gap +
                    txt("Main_window", "msgMutex3") + gap + txt("Main_window", "msgMutex4"),
                true, txt("Main_window", "msgKoniecPracyProgramu"));
    return false;
}

void TfGlowny::applyInterfaceTexts() {
    texts->arabski = texts->country == 966;
    view_.setRightToLeft(texts->arabski);
    toolTypeNames = {txt("Tools", "txtFrezPalcowy"), txt("Tools", "txtFrezKulowy"),
                     txt("Tools", "txtFrezStozkowy")};
    texts->loadOperationTypes();
    texts->loadUnits();
    view_.applyTexts();
    view_.setCaption(caption());
}

bool TfGlowny::FormCreate() {
    closing = false;
    exeFolder = programFolder();

    texts = std::make_unique<tInterfejs>();
    if (!chooseDataFolder()) {
        closing = true;
        return false;
    }
    loggerOn = hasSwitch("loggerOn");
    if (singleInstance_ && !takeInstanceLock()) {
        closing = true;
        return false;
    }
    if (!texts->langOk || !createDataFolders()) {
        closing = true;
        return false;
    }
    rasterReady = false;
    materialRasterReady = true;

    // The libraries, each shown in its pane in library order; nothing checked.
    toolLibrary = std::make_unique<TFrezy>();
    toolPane_.fill();
    operationLibrary = std::make_unique<TOperacje>();
    operationPane_.fill();

    applyInterfaceTexts();

    readSettings();
    // A resolution that is not a positive number would make every raster size
    // meaningless: such a file gets the default resolution.
    if (!(settings.rozdzielczosc > 0) || !std::isfinite(settings.rozdzielczosc))
        settings.rozdzielczosc = 5.0;
    pixelSize = 1.0 / settings.rozdzielczosc;
    effectiveResolution = settings.rozdzielczosc;
    resolutionChanged = false;
    view_.applyViewSettings(settings.modelKolor == 0 ? 0x00FF00 : settings.modelKolor,
                            settings.modelSposobKreslenia, settings.modelPolysk, settings.ukladWsp);
    // The raster at its initial size, cleared, until a model gives it its own.
    allocateRasters();

    // The project named on the command line, else the project of the last run;
    // a missing or unreadable file leaves a new one.
    project = std::make_unique<TProjekt>();
    for (const std::string& arg : programArguments)
        if (modelFileKind(arg) == fileKindProject) {
            settings.plikProjektu = std::filesystem::absolute(arg).string();
            break;
        }
    if (!settings.plikProjektu.empty()) loadProject(settings.plikProjektu);

    if (!createOutputFolder()) {
        closing = true;
        return false;
    }
    outputReader = std::make_unique<tWy>();
    refillOutputList();
    // The USB link, unless "95" is the first or second argument; a system
    // without USB access runs without it.
    if (!noUsbSwitch()) {
        try {
            usbLink = std::make_unique<TfUsb>(makeLibusbHidBackend());
        } catch (...) {
            usbLink.reset();
        }
    }
    view_.showOldPreviewPage(hasSwitch("testy"));
    if (auto fraction = surfacingFractionOption()) surfacingFraction = *fraction;
    return true;
}

bool TfGlowny::FormClose() {
    if (budowanie_.genProcWtoku) {
        showMessage(txt("Main_window", "zakonczGenPlikowWy"), false);
        return false;
    }
    closing = true;
    budowanie_.moznaGenKolejneProcesy = false;
    // An unsaved project is saved (asking for a name when it has none), then
    // the settings; failures here must not keep the window open.
    try {
        if (project && project->DoZapisu()) mProjektZapiszClick();
        writeSettings();
    } catch (...) {
    }
    project.reset();

    // Every thread ends before what it reads goes.
    budowanie_.abort();
    modelOpening_.stop();
    closeMachineLinks();
    operationLibrary.reset();
    toolLibrary.reset();
    outputReader.reset();
    texts.reset();
    return true;
}

} // namespace korvane
