#include "foundation/State.h"

#include "foundation/Interfejs.h"

namespace korvane {

std::filesystem::path exeFolder;
std::filesystem::path dataFolder;
std::unique_ptr<tInterfejs> texts;
TUstawienia settings;
std::vector<rTypOperacji> operationTypes;
std::array<rJednMiar, 3> unitTable;
std::array<std::string, 3> toolTypeNames;
komunikat_stan messageState;
std::vector<std::string> programArguments;

TModel modelExtents;
TriangleList modelTriangles;
TrPkt3D modelSize;
TModel materialExtents;
TriangleList materialTriangles;
TrPkt3D materialSize;

double pixelSize = 0;
double effectiveResolution = 0;
int rasterSizeX = 0, rasterSizeY = 0, rasterSizeZ = 0;
int materialCellsX = 0, materialCellsY = 0, materialCellsZ = 0;
std::atomic<bool> rasterReady{false};
std::atomic<bool> materialRasterReady{true};
bool resolutionChanged = false;
int roughingCount = 0;

std::filesystem::path outputFolderName;

std::atomic<bool> closing{false};
bool loggerOn = false;
double surfacingFraction = 0.05;
bool smoothing = false;
bool jobLogOn = true;
float motionFactor = 45.0f;

} // namespace korvane
