#pragma once

#include "libraries/Operacje.h"
#include "platform/Thread.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The generation thread: turns one operation into one output path file. It waits
// for the rasters, builds the motion map for the operation's tool, runs the
// strategy of the operation type, tidies the figures, sets the rapid-move
// heights and writes the file.
namespace korvane {

class TFrez;

// What one generation made.
struct GenerationResult {
    bool written = false;   // an output file was written
    bool noFigures = false; // the strategy left no figure, so no file was written
    std::filesystem::path file;
    int figures = 0;
    long long points = 0;
    double length = 0; // tool path length of the figures written, mm
    // Phase name and duration in seconds, in the order the phases ran.
    std::vector<std::pair<std::string, double>> seconds;
    bool aborted = false;    // ended early on a terminate request
    bool noStrategy = false; // the operation's type has no strategy: nothing was made
    std::string error;       // why the generation failed; empty when it did not
};

class tGenProcesow {
  public:
    tGenProcesow(TOperacjaDane oper, std::unique_ptr<TFrez> frez);
    ~tGenProcesow();

    // Runs the generation on its own thread; `onEnd` runs on the main loop
    // after it has finished. `progressStep` (optional) runs on the main loop once
    // per finished phase; `statusText` (optional) hears there the remaining time
    // of the precise correction.
    void start(std::function<void()> onEnd, std::function<void()> progressStep = {},
               std::function<void(const std::string&)> statusText = {});
    // Asks the generation to stop: a wait for the rasters ends, the strategies
    // return between passes, and what the list holds is still written.
    void requestTerminate();
    bool running() const { return thread_.running(); }

    // The generation itself, on the calling thread.
    void Execute();

    const TOperacjaDane& oper() const { return oper_; }
    // Valid once the end handler runs.
    const GenerationResult& result() const { return result_; }

  private:
    bool waitForRasters();
    void PostepNast();
    // The precise correction of every point against the model triangles.
    void Korekcja();

    TOperacjaDane oper_;
    std::unique_ptr<TFrez> Frez;
    Thread thread_;
    std::function<void()> progressStep_;
    std::function<void(const std::string&)> statusText_;
    GenerationResult result_;
};

// Containment of the closed figures of figureList from `start` on: every
// figure's lezy_w becomes the deepest closed figure it lies in (-1: none) and
// poziom its nesting level; maxNestingLevel the deepest level.
void CoWczym(int start);

// The strategy of an operation type on figureList, with the operation's tool;
// false for a type no strategy builds (the list stays empty).
// `subStep` hears the name of each sub-step as it begins (strategies that name
// them: the mixed strategy).
bool runStrategy(const TOperacjaDane& oper, const TFrez& frez,
                 const std::function<void(const char* name)>& subStep = {});

} // namespace korvane
