#pragma once

#include "geometry/Figury.h"
#include "geometry/Typy.h"

#include <vector>

// Gap filling of the mixed strategy: where a contour lies too far from the
// contour it was traced in, intermediate contours are traced between the two
// levels inside the outer one's region.
namespace korvane {

// One gap: contour `Locali` and the `Localilosc` contours to trace between its
// parent's level `Localz` and its own, `Localdz` higher (or lower).
struct GapJob {
    int Locali = 0;
    int Localilosc = 0;
    float Localdz = 0;
    float Localz = 0;
};

// A gap-filling worker: its own working mask, and a status layer of its own
// unless it is given one, so that several run at once.
class tDodatkoweWatek {
  public:
    explicit tDodatkoweWatek(tpix2dRec* status = nullptr);
    // Traces the intermediate contours of one job into `out`, each marked
    // dodatkowa and derived from the job contour's parent.
    void Execute(const GapJob& job, FigureList& out);

  private:
    tpix2d mask_;
    tpix2dRec ownStatus_;
    tpix2dRec& status_;
};

// The gap of every contour of figureList (among the first `count`) derived
// from another: the largest distance of its points from the parent contour.
// Gaps above 1.3 steps get Round(gap / step) - 1 intermediate contours when
// that is under 20.
std::vector<GapJob> gapJobs(int count, double warstwaSzer);

// Runs the jobs on `workers` threads and appends their contours to figureList
// in job order: the same list whatever the number of workers.
void fillGaps(const std::vector<GapJob>& jobs, int workers);

} // namespace korvane
