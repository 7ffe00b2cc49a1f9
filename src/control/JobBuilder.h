#pragma once

#include "libraries/Operacje.h"
#include "machine/FirmwareVersion.h"
#include "machine/JobFile.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// The machine's job file from an output path file, as the start of machining
// builds it: the machine model identified from its product string and firmware,
// the job's header, the figures from the start figure on (the first of them
// from the start point), the trailer.
namespace korvane {

// The machine a job is built for.
struct MachineIdentity {
    std::string product; // product string ("XKC-3020"); empty: the last machine (typ.txt)
    FirmwareVersion firmware;
};

struct JobRequest {
    std::filesystem::path outputFile; // the output path file read
    std::filesystem::path jobFile;    // the job file written
    TOperacjaDane operation;
    MachineIdentity machine;
    double safeHeight = 10; // mm above the work origin; must clear every path
    // The project's substrate under the material, mm: added to every height.
    double gruboscPodkladki = 0;
    // Where the job enters the figures: 0 and 0 for the whole file, later for
    // a job resumed at a point of a figure.
    std::size_t startFigure = 0;
    std::size_t startPoint = 0;
};

enum class JobBuildFailure {
    none,
    identification,   // a calibration or parameter file of the machine is unreadable
    missingOutput,    // no output file at that path
    unreadableOutput, // the file is not an output path file
    noFigures,
    startOutside, // the start figure or point lies beyond the file's figures
    belowPaths,   // the safe height does not clear the paths
    writeFailed,  // the job file could not be written, or a value does not fit the machine
};

struct JobBuildResult {
    JobBuildFailure failure = JobBuildFailure::none;
    std::string message;   // what went wrong, for the user
    std::string modelCode; // the machine model the job was built for
    long long records = 0;
    long long bytes = 0;
    // The move records to the points, figures counted as in the output file.
    std::vector<JobPointMark> marks;
    bool ok() const { return failure == JobBuildFailure::none; }
};

// Identifies the machine (setting the machine parameters in force and
// safeHeight), reads the output file and writes the job file. A failure leaves
// an existing job file as it was.
JobBuildResult buildJob(const JobRequest& request);

// The same for the machine identified last (the parameters in force):
// request.machine plays no part.
JobBuildResult writeJob(const JobRequest& request);

} // namespace korvane
