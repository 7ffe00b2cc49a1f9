#pragma once

#include "libraries/Frezy.h"
#include "libraries/Operacje.h"

#include <filesystem>
#include <optional>

// Reading the output file chosen in the output list for the previews.
namespace korvane {

// Fits the preview scale to the model, to 110 × 140 × 65 mm while the model
// has no plan size. Done on each output list click and as each generation of
// a build starts.
void fitPreviewScaleToModel();

// Fits the preview scale to the model, empties outputReader and reads every
// layer of `file` into it, then sets whether path smoothing applies to it (the
// smoothing setting, never for hatching types 3 and 4). A missing file reads
// nothing; a malformed one is reported and leaves the reader empty.
void readShownOutputFile(const std::filesystem::path& file);

// The operation of the shown output's name and its tool, as far as the
// libraries hold them.
struct ShownOutputOperation {
    std::optional<TOperacjaDane> operation;
    std::optional<TFrezDane> tool;
};
ShownOutputOperation shownOutputOperation();

} // namespace korvane
