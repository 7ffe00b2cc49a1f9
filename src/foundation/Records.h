#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Small value records that every subsystem passes around.
namespace korvane {

// A point or a size in millimetres.
struct TrPkt3D {
    float x = 0, y = 0, z = 0;
};

// A model triangle: vertices sorted by height (a lowest, c highest) and the
// plane through them, A·x + B·y + C·z + D = 0 (all zero when degenerate).
struct TTrojkat {
    TrPkt3D a, b, c;
    float A = 0, B = 0, C = 0, D = 0;
};

// The triangles of a loaded model, ordered by the height of their lowest vertex.
using TriangleList = std::vector<TTrojkat>;

// A raster cell (column, row) with a height in millimetres.
struct TPkt3D {
    std::int32_t x = 0, y = 0;
    float z = 0;
};

// A machine position in motor steps.
struct tPoint3d {
    std::int32_t x = 0, y = 0, z = 0;
};

struct TMinMax {
    double minX = 0, minY = 0, minZ = 0, maxX = 0, maxY = 0, maxZ = 0;
};

// Kinds of a loaded model (TModel::typPliku).
enum : int {
    modelKind3D = 0,              // RAW, DXF or STL file loaded or loading
    modelKindBitmap = 1,          // bitmap relief chosen, raster still to be generated
    modelKindBitmapShown = 3,     // bitmap relief converted and shown
    modelKindProjectOpened = 100, // project opened, its model not loaded yet
};

struct TModel {
    double minX = 0, minY = 0, minZ = 0, maxX = 0, maxY = 0, maxZ = 0;
    std::string plik_RAW;
    int typPlikuRaw = 0;
    int typPliku = modelKind3D;
};

// Sources of the material block (TMaterial::zrodlo).
enum : std::uint8_t {
    materialBlock = 0,   // a block given by its dimensions
    materialCoating = 1, // a coating of constant thickness over the model
    materialFile = 2,    // a stock model read from a file
};

struct TMaterial {
    std::uint8_t zrodlo = materialBlock;
    long double rozmX = 0, rozmY = 0, rozmZ = 0;
    std::string plikMaterialu;
    long double gruboscPowloki = 0;
    long double gruboscPodkladki = 0;

    // The tallest block, coating or pad and the widest block a machine takes,
    // in mm: the material dialog's limits (a project file may say anything).
    static constexpr long double maxHeight = 170, maxWidth = 10000, minPad = -100;

    // True when every size lies within what a machine takes.
    bool withinReach() const {
        const auto upTo = [](long double v, long double low, long double high) {
            return v >= low && v <= high; // false for not-a-number
        };
        return upTo(rozmX, 0, maxWidth) && upTo(rozmY, 0, maxWidth) && upTo(rozmZ, 0, maxHeight) &&
               upTo(gruboscPowloki, 0, maxHeight) && upTo(gruboscPodkladki, minPad, maxHeight);
    }

    // True when the material describes enough to build paths from.
    bool complete() const {
        switch (zrodlo) {
        case materialBlock:
            return rozmX > 0 && rozmY > 0 && rozmZ > 0;
        case materialCoating:
            return gruboscPowloki > 0;
        case materialFile:
            return true;
        default:
            return false; // no such source: a damaged project file
        }
    }
};

// The message box on screen.
struct komunikat_stan {
    bool widoczny = false;
    std::string tresc;
    bool blad = false;
    std::string tytul;
};

} // namespace korvane
