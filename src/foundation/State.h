#pragma once

#include "foundation/OperationTypes.h"
#include "foundation/Records.h"
#include "foundation/Settings.h"
#include "foundation/Units.h"

#include <array>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The process-wide state of the program. The main window's start sequence sets
// it up; each item names who writes it. Background threads read it only while
// the main thread leaves it alone (written before a thread starts, read back in
// its end handler).
namespace korvane {

class tInterfejs;

extern std::filesystem::path exeFolder;   // folder of the program file
extern std::filesystem::path dataFolder;  // folder of everything the program writes
extern std::unique_ptr<tInterfejs> texts; // the text catalogue
extern TUstawienia settings;              // the settings file in memory
extern std::vector<rTypOperacji> operationTypes;
extern std::array<rJednMiar, 3> unitTable;
extern std::array<std::string, 3> toolTypeNames;
extern komunikat_stan messageState;

// The command-line arguments, without the program name.
extern std::vector<std::string> programArguments;

extern TModel modelExtents;            // the loaded model: path, kind, extents
extern TriangleList modelTriangles;    // its triangles (written by the loading thread)
extern TrPkt3D modelSize;              // size of the loaded model, mm
extern TModel materialExtents;         // the stock model (material from a file)
extern TriangleList materialTriangles; // its triangles
extern TrPkt3D materialSize;

extern double pixelSize;                          // edge of one raster cell, mm
extern double effectiveResolution;                // cells per mm in use
extern int rasterSizeX, rasterSizeY, rasterSizeZ; // columns and rows minus one; levels
extern int materialCellsX, materialCellsY, materialCellsZ;
// Read by the generation thread while the main thread may set them.
extern std::atomic<bool> rasterReady;
extern std::atomic<bool> materialRasterReady;
extern bool resolutionChanged;
extern int roughingCount;

// Output folder relative to dataFolder: "Output" or "Output/<project name>".
extern std::filesystem::path outputFolderName;

extern std::atomic<bool> closing; // the application is closing: no thread may start any more
extern bool loggerOn;
extern double surfacingFraction;
extern bool smoothing;
extern bool jobLogOn;
extern float motionFactor;

} // namespace korvane
