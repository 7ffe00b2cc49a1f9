#pragma once

#include "geometry/Typy.h"

// The process-wide raster layers and the small helpers every strategy shares.
// Cell (ix, iy) is the plan point (ix * pixelSize, iy * pixelSize); indices run
// 0..rasterSizeX and 0..rasterSizeY inclusive.
namespace korvane {

extern tpix2d modelHeights;    // highest model surface per cell, 0 where there is none
extern tpix2d offsetHeights;   // model heights raised by the operation's allowance
extern tpix2d motionHeights;   // lowest tool-tip height touching no offset surface
extern tpix2dRec cellStatus;   // flag bits and a point per cell (contour tracing)
extern tpix2d flatMask;        // 1.0 / 0 mask of flat areas still to clear
extern tpix2dRec flatStatus;   // flag bits of flat-area filling
extern tpix2d materialHeights; // top of the material still standing, per cell

// The raster size of the loaded model: rasterSizeX = Round(modelSize.x / pixelSize),
// rasterSizeY likewise, rasterSizeZ = Round((modelSize.z + 10) / pixelSize).
void setRasterSizeFromModel();

// The most cells a raster layer may hold: 50 million (a table of 1 m x 1.4 m
// at 5 cells per mm), its layers together then about 1.2 GB.
inline constexpr double maxRasterCells = 5e7;

// Whether a model of `sizeX` x `sizeY` mm fits a raster at the cell size.
bool rasterFits(double sizeX, double sizeY);

// Reallocates modelHeights, offsetHeights, motionHeights, cellStatus, flatMask and
// flatStatus to (rasterSizeX + 1) x (rasterSizeY + 1) cells, all zero.
void allocateRasters();
// The same, keeping the model heights the raster thread built (cells new to
// the model layer are zero); the work layers are rebuilt by every generation.
void allocateRastersKeepingModel();

// Reallocates materialHeights to (materialCellsX + 1) x (materialCellsY + 1) cells, all zero.
void allocateMaterialRaster();

// materialHeights at the model raster's size with every cell at `height`.
void fillMaterialRaster(float height);

// Sets the cells 0..rasterSizeX x 0..rasterSizeY of `layer` (as far as it has them) to 0.
void clearLayer(tpix2d& layer);

// Cell reads with the indices clamped into the raster: a read outside answers
// the nearest edge cell. materialHeightAt clamps to the material layer's own
// extent, which is smaller than the model raster when it comes from a stock model.
float motionHeightAt(int ix, int iy);
float materialHeightAt(int ix, int iy);

// Area (mm²) of the cells whose offset height lies strictly within pixelSize/2
// of h; 0 when h <= -pixelSize/3.
double levelArea(double h);

// The height from modelSize.z down to 0 in steps of pixelSize with the largest
// levelArea; ties keep the higher level; 0 when every area is 0.
double dominantLevel();

} // namespace korvane
