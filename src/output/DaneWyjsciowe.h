#pragma once

#include "geometry/Figury.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

// The output path file (".out"): one generated operation as a text file of
// figures. The writer is the last step of a generation; tWy reads a file back
// for the preview, the export, the start point and the job file.
namespace korvane {

inline constexpr const char* outputExtension = "out";

// A file that does not read as an output path file (a header value or a point
// that is not a number); the text names the file and the line.
// The farthest a point of an output file may lie from the origin, in mm: far
// beyond any machine's table, well within the steps of a job.
inline constexpr double maxOutputCoordinate = 10000;

struct OutputFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// dataFolder/outputFolderName/<name>.out
std::filesystem::path outputFilePath(const std::string& name);

// The file's text: "Operation type=", then per figure its six header lines and
// one line "x y z" per point, numbers with three decimals, lines ended by CR LF.
std::string outputFileText(int idTyp, const FigureList& figures);
// The lines of figure number `index` in that text, appended to `out`: for
// writers that write a file of many figures a part at a time.
void appendOutputFigure(std::string& out, std::size_t index, const tFigura& f);

// The step of the file's coordinates (three decimals), mm.
inline constexpr double outputStep = 0.001;

// v as the file stores it: the nearest multiple of outputStep.
inline double onOutputGrid(double v) {
    return std::round(v / outputStep) * outputStep;
}

// Writes the figures as the output file `file` (under a temporary name renamed
// over the old file, so that a failed write leaves nothing half-written). An
// empty list writes nothing and leaves an older file alone: false. Throws
// std::runtime_error when the file cannot be written.
bool writeOutputFile(const std::filesystem::path& file, int idTyp, const FigureList& figures);

// A place in the figure list where a job starts.
struct StartPoint {
    int figure = 0;
    int point = 0;
};

class tWy {
  public:
    tWy() { resetExtents(); }

    // Frees every figure and resets the extents.
    void wyczyscListeFigur();
    // Reads dataFolder/outputFolderName/<name>.out and appends its figures
    // (those of layer `WyswietlanaWarstwa`, or all for -1). A missing file
    // changes nothing. Throws OutputFileError for a malformed file.
    void wczytajPlikWyjsciowy(const std::string& name, int WyswietlanaWarstwa);
    // The same for a file given by its path.
    void wczytajPlik(const std::filesystem::path& file, int WyswietlanaWarstwa);
    // The start figure and point nearest to `wePkt`: the segment nearest in
    // space, its start point one back; for hatching all heights are ignored,
    // otherwise segments dipping below wePkt.z are never chosen.
    StartPoint nearestStartPoint(const TrPkt3D& wePkt, int typOper) const;
    // Makes that point the program's start point (startFigureIndex,
    // startPointIndex).
    void UstawNajblizszyPktStartowy(const TrPkt3D& wePkt, int typOper);

    FigureList ListaFigur;
    TrPkt3D max, min;
    double dl_sciezki_narz = 0; // tool path length of the non-rapid figures, mm
    int iloscPunktow = 0;       // points read by the last read
    int typOperacji = 0;        // operation type from the first line

  private:
    void resetExtents();
    void finishFigure(std::unique_ptr<tFigura> f, int layer);
};

// The program's output reader and the results kept beside it.
extern std::unique_ptr<tWy> outputReader;
extern std::string outputFileName; // name of the output file last read
extern int sharpCornerCount;       // corner count of the last read
extern int startFigureIndex;       // nearest start point: figure
extern int startPointIndex;        // nearest start point: point
extern bool outputPathSmoothing;   // path smoothing applies to the file shown

} // namespace korvane
