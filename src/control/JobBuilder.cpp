#include "control/JobBuilder.h"

#include "foundation/MachineParams.h"
#include "foundation/NumberText.h"
#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "machine/Identification.h"
#include "machine/JobFile.h"
#include "machine/MachineState.h"
#include "machine/Ploter.h"
#include "output/DaneWyjsciowe.h"
#include "output/ProgramFeedsFile.h"

#include <unistd.h>

namespace korvane {

namespace {

JobBuildResult failed(JobBuildFailure failure, std::string message) {
    JobBuildResult result;
    result.failure = failure;
    result.message = std::move(message);
    return result;
}

// Identification as the machine's answer would give it: the model row of the
// product string, adjusted for the firmware.
bool identify(const MachineIdentity& machine, std::string& error) {
    if (machine.product.empty())
        loadCachedProduct();
    else
        plotstate.info1 = machine.product;
    fwMajor = static_cast<std::uint16_t>(machine.firmware.major);
    fwMinor = static_cast<std::uint16_t>(machine.firmware.minor);
    fwBuild = static_cast<std::uint16_t>(machine.firmware.build);
    try {
        IdentifyMachine();
    } catch (const std::exception& e) {
        error = std::string("machine identification: ") + e.what();
        return false;
    }
    return true;
}

} // namespace

JobBuildResult buildJob(const JobRequest& request) {
    if (std::string error; !identify(request.machine, error))
        return failed(JobBuildFailure::identification, error);
    return writeJob(request);
}

JobBuildResult writeJob(const JobRequest& request) {
    safeHeight = request.safeHeight;

    const std::filesystem::path& input = request.outputFile;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(input, ec))
        return failed(JobBuildFailure::missingOutput, input.string() + ": no such file");
    tWy reader;
    try {
        reader.wczytajPlik(input, -1);
    } catch (const OutputFileError& e) {
        return failed(JobBuildFailure::unreadableOutput, e.what());
    }
    const FigureList& figures = reader.ListaFigur;
    if (figures.empty())
        return failed(JobBuildFailure::noFigures, "no figures in " + input.string());
    if (request.startFigure >= figures.size())
        return failed(JobBuildFailure::startOutside,
                      "start figure " + std::to_string(request.startFigure) +
                          " beyond the last figure " + std::to_string(figures.size() - 1));
    const std::size_t points = figures[request.startFigure]->poz.size();
    if (request.startPoint >= points)
        return failed(JobBuildFailure::startOutside, "start point " +
                                                         std::to_string(request.startPoint) +
                                                         " beyond the last point of figure " +
                                                         std::to_string(request.startFigure) +
                                                         " (" + std::to_string(points - 1) + ")");
    // The job starts and ends at the safe height: it must clear every path,
    // raised by the substrate.
    const double clearance = reader.max.z + request.gruboscPodkladki + transferMargin;
    if (safeHeight < clearance)
        return failed(JobBuildFailure::belowPaths, "the safe height of " + formatReal(safeHeight) +
                                                       " mm is below the paths (" +
                                                       formatReal(clearance) + " mm)");

    // A program from another CAM system runs at its own feeds and spindle
    // speeds, its rapids at the machine's rapid speed.
    std::optional<ProgramFeeds> feeds = readFeedsFile(input);
    if (feeds && feeds->figures.size() != figures.size()) feeds.reset();
    for (std::size_t i = 0; feeds && i < figures.size(); ++i)
        if (feeds->figures[i].feeds.size() != figures[i]->poz.size()) feeds.reset();
    TOperacjaDane operation = request.operation;
    if (feeds) {
        const TOperacjaDane program = programOperation(operation.nazwa, *feeds);
        operation.szybkosc = program.szybkosc;
        operation.posuwWiercenia = program.posuwWiercenia;
        operation.obroty = program.obroty;
        operation.warstwaGrubosc = 0;
        if (machineParams.maxRapid > 0) operation.szybkoscPrzestawcza = machineParams.maxRapid;
    }
    TJobContext context;
    context.printer3D = settings.printer3D;
    context.gruboscPodkladki = request.gruboscPodkladki;
    // Hatching follows its lines as they are: never smoothed.
    context.pathSmoothing = !isHatching(operation.idTyp) && smoothing;
    // Written under a temporary name and renamed over the job file when
    // complete: a job cut short must never reach a machine.
    std::filesystem::path temporary = request.jobFile;
    temporary += ".tmp" + std::to_string(::getpid());
    TJobWriter writer(temporary, operation, context);
    try {
        writer.WriteJobHeader();
        // A print head starts heating while the job is written: the
        // operation's head temperature goes to a connected machine at once,
        // not into the file.
        if (context.printer3D) {
            headTemperatureSet[0] = static_cast<float>(operation.tempRobocza);
            SendCommand(headTemperatureRecord(headTemperatureSet[0]));
        }
        for (std::size_t i = request.startFigure; i < figures.size(); ++i)
            writer.WriteJobFigure(
                *figures[i], i == request.startFigure ? static_cast<int>(request.startPoint) : 0,
                feeds ? &feeds->figures[i] : nullptr);
        writer.WriteJobTrailer();
        std::filesystem::rename(temporary, request.jobFile);
    } catch (const std::exception& e) {
        std::filesystem::remove(temporary, ec);
        return failed(JobBuildFailure::writeFailed, request.jobFile.string() + ": " + e.what());
    }
    JobBuildResult result;
    result.modelCode = modelCode;
    result.records = writer.records();
    result.bytes = writer.bytes();
    result.marks = writer.marks();
    for (JobPointMark& mark : result.marks) mark.at.figure += request.startFigure;
    return result;
}

} // namespace korvane
