#pragma once

#include "generation/RawDoPixWatek.h"
#include "libraries/Projekt.h"

#include <chrono>
#include <string>

// Opening a model into the program's model state for a caller that waits for
// it (the batch program): a RAW, STL or DXF model read into its triangles on
// the loading thread within a deadline; a project's model with its raster.
namespace korvane {

enum class ModelLoadResult {
    loaded,
    missing,       // no file at that path ("File not found" shown)
    empty,         // no triangles, or the file could not be read ("model is empty" shown)
    timedOut,      // the loading thread did not end by the deadline; it was asked to stop
    pictureFailed, // a picture that could not be read (its message shown)
};

struct ModelLoadOutcome {
    ModelLoadResult result = ModelLoadResult::loaded;
    std::string readerError; // the reader's own reason for an empty model, if it gave one
    bool ok() const { return result == ModelLoadResult::loaded; }
};

// Loads `file` into modelTriangles, modelExtents and modelSize, in the unit of
// the settings, serving the queue main loop until the loading thread ends or
// `deadline` passes.
ModelLoadOutcome loadModelFile(const std::string& file, std::chrono::milliseconds deadline);

// The project's model: a picture becomes the raster of the project's relief at
// once; a RAW, STL or DXF model is loaded as above and its raster then builds
// on `raster`'s thread, rasterReady set when it ends.
ModelLoadOutcome loadProjectModel(const TProjektDane& project, TRawDoPix& raster,
                                  std::chrono::milliseconds deadline);

} // namespace korvane
