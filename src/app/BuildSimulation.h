#pragma once

#include "libraries/Operacje.h"
#include "output/DeviationMap.h"
#include "output/MaterialSimulation.h"

#include <string>
#include <vector>

// The material simulation of a build: the material the project describes, the
// checked operations' output files in the build's order with their tools,
// and the model's raster to judge the result against. Used by the window's
// simulation page and by korvane3d-cli simulate.
namespace korvane {

struct BuildSimulationInput {
    double cell = 0; // the model raster's cell, mm
    tpix2d initial;  // the material before the first operation
    tpix2d model;    // the model's heights
    std::vector<TOperacjaDane> operations;
    std::vector<ToolProfile> tools;  // one per operation
    std::vector<FigureList> outputs; // one per operation
};

// Copies everything from the program's state: the model raster (rasterReady),
// the project's material (a block at its height, a coating over the model, a
// stock model's material raster) and the output files of the checked
// operations of the library order with their tools' profiles. Throws std::runtime_error with the
// reason when the raster is not ready, no checked operation has an output file or an operation's
// tool is missing.
BuildSimulationInput gatherBuildSimulation();

struct BuildSimulationResult {
    tpix2d remaining;
    DeviationMap map;
    double allowance = 0; // the smallest allowance of the operations
    bool completed = false;
};

// The profile step of the tools for a cell size: a twentieth of the cell, from
// 0.001 to 0.01 mm.
double simulationProfileStep(double cell);

// Sweeps the outputs over the material on `threads` threads and compares the
// result with the model and with the lowest surface the operations' tools can
// reach over it with their allowances; not completed (and not compared) when
// aborted through `control`.
BuildSimulationResult simulateBuild(const BuildSimulationInput& input, int threads,
                                    SimulationControl* control = nullptr);

} // namespace korvane
