#pragma once

#include "foundation/Records.h"
#include "geometry/Figury.h"
#include "libraries/Operacje.h"

#include <memory>

// Hatching: straight parallel strokes over the model that ride on the motion
// map (type 3), and the lines of a plot file carried over the surface (type 4).
// The surface-following builders serve the other strategies too.
namespace korvane {

// Working state of a run, process-wide so that the strategies share it.
extern double layerTop;      // height of the level the strokes are generated at
extern TrPkt3D currentLevel; // its z is the level of the figures made
extern double lowLimit;      // height window of followSurface
extern double highLimit;
extern std::unique_ptr<tFigura> currentFigure; // the figure appendSurfacePoints fills

// Appends to figureList the stretches of the plan segment A->B along which the
// interpolated motion height stays within [lowLimit, highLimit]; one figure per
// stretch, its points on the motion map.
void followSurface(const TrPkt3D& a, const TrPkt3D& b);

// Appends to currentFigure the point above A and the points every pixelSize
// along A->B up to B, each at its motion height; no window.
void appendSurfacePoints(const TrPkt3D& a, const TrPkt3D& b);
void startCurrentFigure();
// Adds currentFigure to figureList as a layer figure.
void finishCurrentFigure();

// The parallel strokes over [0, X] x [0, Y] at `angle` (radians) `spacing` mm
// apart: joined into one figure alternating in direction, or each stroke
// through followSurface.
void hatchLines(bool joined, double angle, double spacing, double X, double Y);

// Snap(max(model height + allowance + 10, material height)).
double hatchLayerTop(const TOperacjaDane& oper);

// The two strategies.
void generujKreski(const TOperacjaDane& oper);
void generujKreskiPlt(const TOperacjaDane& oper);

} // namespace korvane
