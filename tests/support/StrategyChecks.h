#pragma once

#include "foundation/Rounding.h"
#include "foundation/State.h"
#include "generation/MotionMap.h"
#include "geometry/Figury.h"
#include "geometry/Raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

// Checks every milling strategy's paths must pass, shared by the strategy tests
// on hand-made reliefs and on whole models. Each reports the first offending
// point or cell and how many there are, not one failure per point.
namespace korvane::test {

// The tool standing at any point of `figures` stays out of the allowance: no
// point lies below the motion map where it interpolates between cells (and,
// `atCell`, at the cell the point falls in too: a roughing stroke runs from
// cell centre to cell centre) by more than `slack`. Every point lies over the
// model's plan. The map between cells is compared rounded to a single, as the
// paths' heights are.
inline void expectPathsClear(const FigureList& figures, bool atCell, double slack = 1e-4) {
    std::size_t below = 0, outside = 0;
    for (const auto& f : figures)
        for (const TrPkt3D& p : f->poz) {
            const int ix = static_cast<int>(roundHalfEven(p.x / pixelSize));
            const int iy = static_cast<int>(roundHalfEven(p.y / pixelSize));
            const float map = static_cast<float>(motionHeightInterpolated(p));
            const bool under =
                p.z < map - slack || (atCell && p.z < motionHeightAt(ix, iy) - slack);
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

// The tool tip between the points of `figures` stays out of the allowance
// too: at every sample where the material is lowered (1.5 a cell along each
// segment, the tip on the straight line between the points) it stands no lower
// than the motion map of the sample's cell. Exact: the paths' own heights are
// compared, with nothing allowed for.
inline void expectSegmentsClear(const FigureList& figures) {
    std::size_t below = 0;
    for (const auto& f : figures)
        for (std::size_t k = 1; k < f->poz.size(); ++k) {
            const TrPkt3D &a = f->poz[k - 1], &b = f->poz[k];
            const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
            const auto n = roundHalfEven(std::hypot(dx, dy) / pixelSize * 1.5 + 1);
            for (std::int64_t i = 0; i <= n; ++i) {
                const double t = static_cast<double>(i) / static_cast<double>(n);
                const int ix = static_cast<int>(roundHalfEven((a.x + t * dx) / pixelSize));
                const int iy = static_cast<int>(roundHalfEven((a.y + t * dy) / pixelSize));
                const float z = static_cast<float>(a.z + t * dz);
                if (z < motionHeightAt(ix, iy) && below++ == 0)
                    ADD_FAILURE() << "segment below the motion map at " << a.x + t * dx << " "
                                  << a.y + t * dy << " " << z << " (cell " << ix << " " << iy
                                  << ": " << motionHeightAt(ix, iy) << ")";
            }
        }
    EXPECT_EQ(below, 0u) << "samples below the motion map";
}

// No cell of material lies below the model raised by the allowance
// (offsetHeights): the material under the tool is the tip's height plus the
// tool's shape there, rounded to a single, against the allowance's height less
// the same shape, rounded too.
inline void expectAllowanceKept() {
    std::size_t cut = 0;
    float worst = 0;
    for (int ix = 0; ix <= rasterSizeX; ++ix)
        for (int iy = 0; iy <= rasterSizeY; ++iy) {
            const float h = offsetHeights[ix][iy], m = materialHeights[ix][iy];
            const float rounding = 4 * std::numeric_limits<float>::epsilon() * std::max(1.0f, h);
            if (m >= h - rounding) continue;
            worst = std::max(worst, h - m);
            if (cut++ == 0)
                ADD_FAILURE() << "material " << m << " under the allowance " << h << " at cell "
                              << ix << " " << iy;
        }
    EXPECT_EQ(cut, 0u) << "cells cut into the allowance, the deepest by " << worst << " mm";
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
