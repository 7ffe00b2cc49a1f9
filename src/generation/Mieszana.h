#pragma once

#include "geometry/Figury.h"
#include "libraries/Operacje.h"

#include <functional>

// The mixed strategy (operation type 5): waterline contours whose vertical
// spacing follows the slope, so that neighbouring passes stay about a step
// apart along the surface. Bumps are followed from their foot upwards,
// hollows from their rim downwards; gaps left between contours get
// intermediate ones, flat areas inward rings, and stacked contours become
// spirals.
namespace korvane {

// Told the name of each sub-step as it begins: "start? ", "warstwy wypukle",
// "warstwy wklesle", "usuwanie gestych", "spirala", "sortowanie", "koniec".
using SubStepHandler = std::function<void(const char* name)>;

// Runs the strategy into figureList; the gap filling runs on `gapWorkers`
// threads (the figures are the same whatever their number).
void generujMieszane(const TOperacjaDane& oper, int gapWorkers, const SubStepHandler& subStep);

// Cuts out of the added contours of figureList (dodatkowa) their stretches of
// more than 20 points in a row that run within 0.66 steps of another contour
// less than a step above or below; what is left of a contour stays as open
// pieces (dzielona) in its place. The added contours at odd places are cut
// running backwards, and their pieces keep that direction.
void thinDenseContours(double warstwaSzer);

// The slope of the relief along a contour (radians): per point the steepest
// rise of the motion map one cell away; then the mean of the point angles
// below the mean, or the mean itself when none is.
double contourSlope(const tFigura& f);

// The level step from a contour to the next one inside it: the step along the
// surface projected on z, at least a hundredth of a cell.
double contourStep(const tFigura& f, double warstwaSzer);

} // namespace korvane
