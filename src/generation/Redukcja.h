#pragma once

#include "geometry/Figury.h"

#include <initializer_list>

// Thinning, smoothing and tidying of the figures before output.
namespace korvane {

// Removes the points of figure `index` of figureList that deviate less than
// `tolerance` (mm, in plan and in profile together) from the straight run
// through their neighbours; a change between a level and a sloped run always
// keeps its point. Figures of at most two points stay as they are.
void reduceFigure(int index, double tolerance);

// Moves each point of figure `index` towards the Bezier curve through the next
// `window` points; with `cornerCheck` corners sharper than cornerAngle stay.
void smoothFigure(int index, int window, bool cornerCheck);
void smoothFigure(tFigura& f, int window, bool cornerCheck);

// Smoothing passes one after another, each running through the heights the
// one before made before they were raised to the motion map, so that a raise
// is never carried on to the points after it.
struct SmoothingPass {
    int window = 4;
    bool cornerCheck = false;
};
void smoothFigure(tFigura& f, std::initializer_list<SmoothingPass> passes);

// Straightens the height profile along the path, walking from the first point
// (Forward) or from the last (Backward); `force` smooths every step, otherwise
// only short, nearly straight ones.
void smoothProfileForward(tFigura& f, int window, bool force);
void smoothProfileBackward(tFigura& f, int window, bool force);

// reduceFigure with pixelSize / 4 on every figure from `first` on not reduced
// yet; stops when the generation is asked to terminate.
void redukuj(int first);
// Smooths twice (window 4) every figure from `first` on of more than 24 points
// not smoothed yet; with `keepCorners` corners sharper than cornerAngle stay.
void usrednij(int first, bool keepCorners = false);
// Deletes the figures of one point and of two points at most 2 pixels apart.
void usunFiguryPunkty();

// Sets the rapid-move height after every figure: above the motion map on the
// straight way to the next figure's start (from the last figure back to the
// origin, with the larger of the operation's width and depth added) plus
// transferMargin, and never below the figure's own start.
void ustalZprzestawczy(double warstwaSzer, double warstwaGrubosc);

} // namespace korvane
