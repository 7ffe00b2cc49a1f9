#pragma once

#include "generation/GenProcesowWatek.h"
#include "libraries/Operacje.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The build-output workflow without a window: the build command's checks, the
// chain of generations (one after another, each started from the end handler
// of the one before), abort, and the end of the build.
namespace korvane {

// What the workflow asks of the window (or of the batch program) that shows it.
class BuildView {
  public:
    virtual ~BuildView() = default;
    // The material dialog; false when cancelled.
    virtual bool editMaterial() = 0;
    // The save-as command of the project.
    virtual void saveProjectAs() = 0;
    // Build button and menu item, project-open, model-open and examples items.
    virtual void setBuildCommandsEnabled(bool enabled) = 0;
    virtual void showStatus(int panel, const std::string& text) = 0;
    // Output list emptied and preview cleared.
    virtual void clearOutputs() = 0;
    // The generation of operation `entry` starts: its check mark turns grey, a
    // progress bar of 0..8 appears.
    virtual void generationStarted(int entry) = 0;
    virtual void progressStep() = 0;
    // A generation ended: its name joins the output list.
    virtual void generationEnded(int entry, const GenerationResult& result) = 0;
    // The build ended: grey check marks become checked, the first output is shown.
    virtual void buildEnded() = 0;
    virtual void beep() = 0;
};

// One entry of the operation list.
struct BuildEntry {
    TOperacjaDane oper;
    bool checked = false;
};

class TBudowaniePlikowWy {
  public:
    explicit TBudowaniePlikowWy(BuildView& view) : view_(view) {}

    // The build command. False when a check refused the build (its message has
    // been shown); true when the first generation has started.
    bool build(std::vector<BuildEntry> entries);
    // Aborts: the running generation is asked to stop and no further one starts.
    void abort();
    // The operation of entry `entry` as the running build took it.
    const TOperacjaDane& operation(int entry) const { return entries_[size_t(entry)].oper; }

    // Answers whether a model raster is being built (the model loading side
    // sets it); a build with no raster ready and none coming is refused.
    std::function<bool()> rasterBuilding;
    // Starts rebuilding the model raster after a refinement (the model side sets it).
    std::function<void()> startRasterBuild;
    // Starts rebuilding the stock model's raster after a refinement.
    std::function<void()> startStockRasterBuild;

    bool genProcWtoku = false;           // output generation is running
    bool moznaGenKolejneProcesy = false; // the chain may go on
    int aktGenerowanyProces = -1;
    int OstatnioGenerowanyProces = -1;

    // Rebuilds the model raster at the current cell size, and with it drops
    // the output files built at the former one.
    void rebuildRaster();

  private:
    int nextChecked(int after) const;
    void startGeneration(int entry);
    void generationEnded();
    // What the status says at the end: stopped, the operations that wrote no
    // file, or that the outputs are ready.
    std::string endStatus() const;

    BuildView& view_;
    std::vector<BuildEntry> entries_;
    std::vector<std::string> withoutOutput_; // operations of this build that wrote no file
    std::unique_ptr<tGenProcesow> genProcesow_;
};

} // namespace korvane
