#pragma once

#include "geometry/Figury.h"

#include <array>
#include <filesystem>
#include <string>

// Reader of HPGL plot files: hands out the drawn polylines one at a time as
// figures in millimetres at z = 0, with the pen and pen width they were drawn
// with. One plotter unit is 1/40 mm.
namespace korvane {

struct PlotPoint {
    int x = 0, y = 0;
    bool operator==(const PlotPoint&) const = default;
};

class Thpgl {
  public:
    // Reads the whole file; throws std::runtime_error when it cannot be read.
    void open(const std::filesystem::path& name);
    // Reads plot text directly (the same as a file holding it).
    void openText(std::string text);
    // Fills the empty figure with the next drawn polyline; false when nothing
    // more is drawn.
    bool get_figura(tFigura& newfig);
    void close();

  private:
    void readChar();
    void readToken();
    void nextToken();
    bool readCommand();
    void addPoint(tFigura& f, PlotPoint p) const;
    void relativeStep();

    std::string text_;
    std::size_t position_ = 0;
    bool started_ = false;
    bool pending_ = false; // a command has been read and not yet carried out

    char ch = ' ';
    std::string command;
    bool isdigit = false, iscommand = false;
    PlotPoint xy, lastxy, lastpaxy;
    std::array<double, 2> param{};
    int il_param = 0;
    std::string element;
    bool isdown = false, relativ = false;
    PlotPoint rel_base;
    int last_pen = 0;
    std::array<double, 257> pens{};
    bool EndOfFile = false, EndOfFig = false;
};

} // namespace korvane
