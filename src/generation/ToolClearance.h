#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"
#include "geometry/Typy.h"
#include "output/ToolProfile.h"

// The tool's true shape (its radius at each height) against a height layer
// sampled at its cell centres: how low the tip may stand at any plan point and
// whether a straight move between two points stays clear. The motion map
// interpolated between its cells is no such bound on steep faces: the raster
// profile it is swept with is narrower than the tool near its rim, and a
// waterline or a stroke between two cells is read off a straight line where
// the true bound bulges above it.
namespace korvane {

class TFrez;

class ToolClearance {
  public:
    // The tool's surface is taken within profileStep (mm) of the true one.
    static constexpr double profileStep = 0.001;
    // A move that cuts no deeper than this is clear.
    static constexpr double tolerance = 0.001;

    // The layer must not change while the clearance is in use: the heights of
    // each run of `chunkRows` cells in a column are summed up beforehand.
    ToolClearance(const TFrez& tool, const tpix2d& layer, double cell);

    // The lowest tip height at (x, y) at which the tool stands on or above
    // every cell centre of the layer within its reach; -infinity when none is.
    double tipHeight(double x, double y) const;
    // How deep the straight move of the tip from a to b cuts below the layer
    // at worst; 0 when it cuts nothing.
    double cut(const TrPkt3D& a, const TrPkt3D& b) const;
    // Puts every point of f on the output file's grid, raised to its tip
    // height, and never below the motion map (whose raster profile reaches
    // beyond the tool in places); where a move between two points still cuts
    // deeper than `tolerance`, adds the move's midpoint, raised as well, until
    // the moves are a 32nd of a cell (and two grid steps) short; a short move
    // that still cuts becomes a move across at its higher end's height, raised
    // by what a level move there cuts, and vertical ones at its ends.
    void keepClear(tFigura& f) const;

    // p on the output file's grid (outputStep), its height the nearest step
    // or, where that is below its tip height or the motion map there, the
    // step above them.
    TrPkt3D raised(TrPkt3D p) const;

  private:
    // Rows of a column that share one highest height: a run whose highest cell
    // stands below what the tool needs over its nearest cell is passed over
    // whole.
    static constexpr int chunkRows = 8;

    // The highest height of the chunk of column ix that holds row iy.
    float chunkTop(int ix, int iy) const {
        return chunkTops_[static_cast<std::size_t>(ix) * chunksPerColumn_ +
                          static_cast<std::size_t>(iy / chunkRows)];
    }

    ToolProfile profile_;
    const tpix2d& layer_;
    double cell_;
    int lastX_, lastY_;
    std::size_t chunksPerColumn_ = 0;
    std::vector<float> chunkTops_; // per column, per chunk of chunkRows rows
    std::vector<float> blockTops_; // per chunkRows columns, per chunk of chunkRows rows
};

// Keeps every figure of figureList clear of offsetHeights (the model with the
// allowance) with the tool's true shape, on `workers` threads, each taking
// whole figures.
void keepToolClear(const TFrez& tool, int workers);

} // namespace korvane
