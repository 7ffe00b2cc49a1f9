#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"
#include "geometry/ProgramFeeds.h"
#include "libraries/Operacje.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The job file "out.bin": the machine's own program built from the figures of
// one output path file, record by record, with no framing.
namespace korvane {

// How the job is run: 3D printing, the substrate under the material, path
// smoothing.
struct TJobContext {
    bool printer3D = false;
    double gruboscPodkladki = 0;
    bool pathSmoothing = false;
};

// A point of the figures a job was written from.
struct JobPoint {
    std::size_t figure = 0; // counted from the first figure written
    std::size_t point = 0;
};

// The move record that takes the tool to a point of a figure.
struct JobPointMark {
    long long record = 0; // its index among the job's records, from 0
    JobPoint at;
};

inline constexpr const char* jobFileName = "out.bin";
inline constexpr float standbyHeadTemperature = 150;

class TJobWriter {
  public:
    TJobWriter(std::filesystem::path file, TOperacjaDane op, TJobContext context);

    // Creates the file and writes the start of the program. Throws
    // std::ios_base::failure on file errors and MachineRangeError on values that
    // do not fit; 3D printing needs a machine with newSpeedEncoding. The head
    // temperature of a print is not part of the file: the start of machining
    // sends headTemperatureRecord at once.
    void WriteJobHeader();
    // With `feeds` (a program from another CAM system) the figure is approached
    // at its own height, plunged at its own feed, each move cut at its feed and
    // the spindle turned at its speed, all within the machine's limits.
    void WriteJobFigure(const tFigura& fig, int startPoint, const FigureFeeds* feeds = nullptr);
    // Writes the end of the program and closes the file.
    void WriteJobTrailer();

    // The move record to a point in millimetres; false when there was nothing to move.
    bool WriteJobMove(int speed, double z, double y, double x, double k);
    void WriteSpindleSpeed(long long value);

    long long records() const { return records_; }
    long long bytes() const { return bytes_; }
    // The move records to the figures' points, in file order.
    const std::vector<JobPointMark>& marks() const { return marks_; }

  private:
    // A move in machine steps from the writer position.
    struct StepMove {
        long long dx = 0, dy = 0, dz = 0;
    };
    void record(const std::string& bytes);
    StepMove stepsTo(double z, double y, double x) const;
    // The move record of `steps` at `speed`, advancing the writer position;
    // empty, and the position kept, when it rounds to no move.
    std::string takeMove(const StepMove& steps, int speed, double k);
    std::string buildMove(int speed, double z, double y, double x, double k);
    void markPoint(std::size_t point);
    // The record setting the working speed slot to `feed` mm/min, within the
    // machine's limits; empty when the slot holds that speed already.
    std::string workingFeedRecord(double feed);
    void writeSpindle(double rpm);

    std::filesystem::path path_;
    TOperacjaDane op_;
    TJobContext context_;
    std::ofstream out_;
    long long lastX_ = 0, lastY_ = 0, lastZ_ = 0;
    long long lastMoveLength_ = 0;
    long long records_ = 0, bytes_ = 0;
    std::vector<JobPointMark> marks_;
    std::size_t figures_ = 0; // figures written so far
    double workingFeed_ = 0;  // the feed of the working speed slot, mm/min
    double spindle_ = 0;      // the spindle speed written last, rpm
};

// Padded-16 "s3t" and the head temperature as float32.
std::string headTemperatureRecord(float temperature);

// A pause of `milliseconds` as "p" records of at most 255 ms each.
std::vector<std::string> pauseRecords(long long milliseconds);

// The job file of the output folder.
std::filesystem::path jobFilePath();

} // namespace korvane
