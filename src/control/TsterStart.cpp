#include "control/Tster.h"

#include "control/JobBuilder.h"
#include "control/ResumePoint.h"
#include "control/StartMaszyny.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/OperationTypes.h"
#include "foundation/Settings.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"
#include "machine/Identification.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "machine/TransmitArm.h"
#include "output/DaneWyjsciowe.h"

#include <chrono>

// The machine's part of the start of machining.
namespace korvane {

bool Tster::StartMaszyny(const TOperacjaDane& operation, const std::string& outputName,
                         const std::string& windowCaption) {
    operWtoku = operation;
    const std::filesystem::path outputFile = dataFolder / outputFolderName / (outputName + ".out");
    if (!outputReader) outputReader = std::make_unique<tWy>();
    if (outputName != outputFileName) {
        outputReader->wyczyscListeFigur();
        outputFileName.clear();
        try {
            outputReader->wczytajPlik(outputFile, -1);
        } catch (const std::exception& e) {
            showMessage(e.what(), true);
            return false;
        }
        outputFileName = outputName;
    }
    if (operation.idTyp == opRoughing) {
        ReadWorkOrigin();
        if (-outputReader->min.x > plotstate.pos0.x / 100) {
            showMessage("Zmień punkt startowy lub szerokość warstwy", false);
            return false;
        }
    }
    transArm.stop();

    // The job for the machine as it answers now.
    ReadStatus();
    ReadMachineInfo();
    try {
        IdentifyMachine();
    } catch (const std::exception& e) {
        showMessage(e.what(), true);
        return false;
    }
    saveCachedProduct();
    JobRequest job;
    job.outputFile = outputFile;
    job.jobFile = jobFilePath();
    job.operation = operation;
    job.safeHeight = safeHeight;
    job.gruboscPodkladki =
        project ? static_cast<double>(project->d.material.gruboscPodkladki) : 0.0;
    job.startFigure = static_cast<std::size_t>(std::max(0, startFigureIndex));
    job.startPoint = static_cast<std::size_t>(std::max(0, startPointIndex));
    const double height = safeHeight;
    const JobBuildResult built = writeJob(job);
    safeHeight = height;
    if (!built.ok()) {
        showMessage(built.message, true);
        return false;
    }
    // The whole job is known before the machine moves: one too short for the
    // machine to start never leaves the program.
    if (built.records < recordsBeforeExecute) {
        showMessage(job.jobFile.string() + ": the job holds " + std::to_string(built.records) +
                        " records, the machine starts one from " +
                        std::to_string(recordsBeforeExecute) + " on",
                    true);
        return false;
    }
    marks_ = built.marks;
    jobStart_ = {job.startFigure, job.startPoint};
    resume_.reset();

    if (!prepareMachineForJob(operation.szybkoscPrzestawcza, settings.printer3D)) return false;
    if (!transArm.start(operation, {}, windowCaption)) {
        showMessage(job.jobFile.string(), true);
        return false;
    }
    return true;
}

void Tster::stopAfterLostEcho() {
    jobRunning = false;
    jobPaused = false;
    showStatusText(txt("Control_panel", "obrobkaNaMaszynieZakonczona"));
    // The machine finishes the record under way; the records it confirmed
    // but had not run yet are dropped with the job, so the job goes on from
    // where it stands, never from a later point.
    const auto until = std::chrono::steady_clock::now() + machineWaitLimit;
    while (ReadStatus() && (plotstate.state & (stateJobRunning | stateMoving)) &&
           std::chrono::steady_clock::now() < until)
        PauseForMachine(std::chrono::milliseconds(10));
    ReadPositions();
    ReadWorkOrigin();
    const double x = (plotstate.abspos.x - plotstate.pos0.x) / 100.0;
    const double y = (plotstate.abspos.y - plotstate.pos0.y) / 100.0;
    // Where the tool stands matches no point: the machine ran none of them,
    // and the job goes on from its beginning.
    resume_ = resumePointAfterStop(marks_, transArm.lostEcho()->confirmedRecords,
                                   outputReader->ListaFigur, x, y)
                  .value_or(jobStart_);
}

} // namespace korvane
