#include "app/MaterialBox.h"

#include "app/ViewGeometry.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"

#include <cstdio>

namespace korvane {

namespace {

std::string millimetres(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

TrPkt3D corner(const TMinMax& b, int i) {
    return {static_cast<float>(i & 1 ? b.maxX : b.minX),
            static_cast<float>(i & 2 ? b.maxY : b.minY),
            static_cast<float>(i & 4 ? b.maxZ : b.minZ)};
}

} // namespace

std::optional<TMinMax> materialBox(const TMaterial& material, const TModel& model,
                                   const TModel& stock) {
    TMinMax box;
    switch (material.zrodlo) {
    case materialBlock:
        box = {0,
               0,
               0,
               static_cast<double>(material.rozmX),
               static_cast<double>(material.rozmY),
               static_cast<double>(material.rozmZ)};
        break;
    case materialCoating:
        box = {model.minX, model.minY, 0,
               model.maxX, model.maxY, model.maxZ + static_cast<double>(material.gruboscPowloki)};
        break;
    default:
        box = {stock.minX, stock.minY, stock.minZ, stock.maxX, stock.maxY, stock.maxZ};
        break;
    }
    if (!(box.maxX > box.minX && box.maxY > box.minY && box.maxZ > box.minZ)) return std::nullopt;
    return box;
}

std::optional<TMinMax> projectMaterialBox() {
    if (!project) return std::nullopt;
    return materialBox(project->d.material, modelExtents, materialExtents);
}

std::vector<AxisSegment> boxEdges(const TMinMax& b) {
    std::vector<AxisSegment> edges;
    for (int i = 0; i < 8; ++i)
        for (const int bit : {1, 2, 4})
            if (!(i & bit)) edges.push_back({corner(b, i), corner(b, i | bit)});
    return edges;
}

std::vector<float> boxFaces(const TMinMax& b) {
    // Per face: the four corners counter-clockwise seen from outside, and the normal.
    struct Face {
        int c[4];
        float n[3];
    };
    static constexpr Face faces[] = {{{0, 2, 3, 1}, {0, 0, -1}}, {{4, 5, 7, 6}, {0, 0, 1}},
                                     {{0, 1, 5, 4}, {0, -1, 0}}, {{2, 6, 7, 3}, {0, 1, 0}},
                                     {{0, 4, 6, 2}, {-1, 0, 0}}, {{1, 3, 7, 5}, {1, 0, 0}}};
    std::vector<float> data;
    for (const Face& f : faces)
        for (const int k : {0, 1, 2, 0, 2, 3}) {
            const TrPkt3D p = corner(b, f.c[k]);
            data.insert(data.end(), {p.x, p.y, p.z, f.n[0], f.n[1], f.n[2]});
        }
    static_assert(floatsPerVertex == 6);
    return data;
}

std::vector<AxisLabel> boxDimensions(const TMinMax& b) {
    const auto f = [](double v) { return static_cast<float>(v); };
    return {
        {{f((b.minX + b.maxX) / 2), f(b.minY), f(b.minZ)}, millimetres(b.maxX - b.minX) + " mm"},
        {{f(b.minX), f((b.minY + b.maxY) / 2), f(b.minZ)}, millimetres(b.maxY - b.minY) + " mm"},
        {{f(b.maxX), f(b.minY), f((b.minZ + b.maxZ) / 2)}, millimetres(b.maxZ - b.minZ) + " mm"}};
}

std::string boxSizeText(const TMinMax& b) {
    return millimetres(b.maxX - b.minX) + " × " + millimetres(b.maxY - b.minY) + " × " +
           millimetres(b.maxZ - b.minZ) + " mm";
}

} // namespace korvane
