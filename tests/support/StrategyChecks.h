#pragma once

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/MotionMap.h"
#include "geometry/Figury.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

// Checks every milling strategy's paths must pass, shared by the strategy tests
// on hand-made reliefs and on whole models. Each reports the first offending
// point or cell and how many there are, not one failure per point.
namespace korvane::test {

// The tool standing at any point of `figures` stays out of the allowance: no
// point lies below the motion map where it interpolates between cells (and,
// `atCell`, at the cell the point falls in too: a roughing stroke runs from
// cell centre to cell centre) by more than `slack`. Every point lies over the
// model's plan.
inline void expectPathsClear(const FigureList& figures, bool atCell, double slack = 1e-4) {
    std::size_t below = 0, outside = 0;
    for (const auto& f : figures)
        for (const TrPkt3D& p : f->poz) {
            const int ix = static_cast<int>(roundHalfEven(p.x / pixelSize));
            const int iy = static_cast<int>(roundHalfEven(p.y / pixelSize));
            const bool under = p.z < motionHeightInterpolated(p) - slack ||
                               (atCell && p.z < motionHeightAt(ix, iy) - slack);
            if (under && below++ == 0)
                ADD_FAILURE() << "below the motion map at " << p.x << " " << p.y << " " << p.z
                              << " (map " << motionHeightInterpolated(p) << ", cell "
                              << motionHeightAt(ix, iy) << ")";
            const bool out = p.x < 0 || p.x > modelSize.x || p.y < 0 || p.y > modelSize.y;
            if (out && outside++ == 0) ADD_FAILURE() << "outside the plan at " << p.x << " " << p.y;
        }
    EXPECT_EQ(below, 0u) << "points below the motion map";
    EXPECT_EQ(outside, 0u) << "points outside the plan";
}

inline void expectPathsClear(bool atCell = false) {
    expectPathsClear(figureList, atCell);
}

// Wherever the first roughing layer reaches, at most a layer of material stands
// above the motion map.
inline void expectAtMostALayerLeft(double firstLayer, double thickness) {
    std::size_t high = 0;
    for (int ix = 0; ix <= rasterSizeX; ++ix)
        for (int iy = 0; iy <= rasterSizeY; ++iy) {
            if (motionHeights[ix][iy] > firstLayer) continue;
            if (materialHeights[ix][iy] > motionHeights[ix][iy] + thickness + 1e-4 && high++ == 0)
                ADD_FAILURE() << "material " << materialHeights[ix][iy] << " over the map "
                              << motionHeights[ix][iy] << " at cell " << ix << " " << iy;
        }
    EXPECT_EQ(high, 0u) << "cells with more than a layer left";
}

} // namespace korvane::test
