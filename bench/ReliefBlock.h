#pragma once

// A closed block of n x n cells over size x size mm: its top the relief
// height(x, y) (mm), closed by vertical walls and a bottom at height 0; the
// printing benchmarks' parts, and the operation they print with.
#include "ModelSupport.h"

#include "foundation/OperationTypes.h"
#include "libraries/Operacje.h"

namespace korvane::bench {

template <class Height> TriangleList reliefBlock(int n, float size, Height height) {
    const float cell = size / float(n);
    auto top = [&](int i, int j) {
        const double x = i * cell, y = j * cell;
        return TrPkt3D{float(x), float(y), static_cast<float>(height(x, y))};
    };
    TriangleList list;
    list.reserve(size_t(2) * n * n + size_t(8) * n + 2);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            list.push_back(test::triangle(top(i, j), top(i + 1, j), top(i + 1, j + 1)));
            list.push_back(test::triangle(top(i, j), top(i + 1, j + 1), top(i, j + 1)));
        }
    auto wall = [&](TrPkt3D a, TrPkt3D b) { // a vertical quad from the edge a-b down to 0
        const TrPkt3D a0{a.x, a.y, 0}, b0{b.x, b.y, 0};
        list.push_back(test::triangle(a0, b0, b));
        list.push_back(test::triangle(a0, b, a));
    };
    for (int k = 0; k < n; ++k) {
        wall(top(k, 0), top(k + 1, 0));
        wall(top(n, k), top(n, k + 1));
        wall(top(k + 1, n), top(k, n));
        wall(top(0, k + 1), top(0, k));
    }
    list.push_back(test::triangle({0, 0, 0}, {size, size, 0}, {size, 0, 0}));
    list.push_back(test::triangle({0, 0, 0}, {0, size, 0}, {size, size, 0}));
    return list;
}

// The printing operation both benchmarks run: 0.4 mm wide, 0.2 mm layers, two
// perimeters.
inline TOperacjaDane printOperation() {
    TOperacjaDane o;
    o.nazwa = "Print";
    o.idTyp = opPrinting;
    o.warstwaSzer = 0.4;
    o.warstwaGrubosc = 0.2;
    o.iloscObrysow = 2;
    return o;
}

} // namespace korvane::bench
