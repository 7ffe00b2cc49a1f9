#pragma once

#include "foundation/Records.h"
#include "platform/Thread.h"

#include <filesystem>
#include <functional>
#include <string>

// Loads a RAW, STL or DXF model file on a background thread into a triangle
// list in millimetres: moved so that its smallest x and y are 0, vertices and
// triangles sorted by height, plane coefficients attached.
namespace korvane {

class TRAWodczytWatek {
  public:
    // The caller's list, model record and size, which the thread fills, and the
    // file. The unit of measure of the settings is taken now.
    void Inicjuj(TriangleList* adresListy, std::filesystem::path sSciezkaPlikuZrodlowego,
                 TModel* adresParametryModelu, TrPkt3D* adresRawSize);

    // Runs Execute on the thread; `onEnd` runs on the main loop afterwards,
    // also when the load failed (the list is then left as it was).
    void start(std::function<void()> onEnd);
    void requestTerminate() { thread.requestTerminate(); }

    // The load itself. A file that cannot be read or converted leaves the
    // caller's list, record and size untouched and says why in errorText().
    void Execute();
    const std::string& errorText() const { return bladOdczytu; }

  private:
    TriangleList* adrLst = nullptr;
    std::filesystem::path sPlikZrodlowy;
    TModel* adrParMod = nullptr;
    TrPkt3D* adrRawSize = nullptr;
    double unitFactor = 1;
    std::string bladOdczytu;
    Thread thread; // last: stopped and joined before the fields above go
};

// The steps of a load, in the order Execute runs them.

// Triangles read from a model file, in millimetres, and their extents
// (+infinity / -infinity while there is none).
struct ReadModel {
    TriangleList triangles;
    TMinMax extents;
};

// The farthest a model's point may lie from the origin, in mm: ten times the
// largest machine table; a model beyond it is damaged or in another unit.
inline constexpr double maxModelCoordinate = 10000;

// Reads a file by its extension, ignoring case: ".RAW", ".STL" or ".DXF"; any
// other gives no triangles. Triangles with a coordinate that is not a finite
// number are left out. Throws std::runtime_error when the file cannot be read,
// its drawing cannot be converted or a point lies beyond maxModelCoordinate;
// `cancelled` is asked now and then.
ReadModel readModelFile(const std::filesystem::path& file, double unitFactor,
                        const std::function<bool()>& cancelled = {});

// Moves the triangles by the smallest x and y, and fills the model record
// (file, extents with minX = minY = 0) and the size (x and y spans, top z).
void placeModel(ReadModel& model, const std::filesystem::path& file, TModel& record, TrPkt3D& size);

// Vertices of each triangle by z, ascending (equal heights keep their order).
void sortVertices(TriangleList& triangles);
// Triangles by the z of their lowest vertex, ascending.
void sortByLowestZ(TriangleList& triangles);
// The plane A·x + B·y + C·z + D = 0 of each triangle.
void computePlanes(TriangleList& triangles);

} // namespace korvane
