#pragma once

#include "foundation/Records.h"
#include "geometry/Typy.h"
#include "platform/Thread.h"

#include <functional>

// Building a height layer from triangles: every triangle is swept by segments
// and every segment by samples about half a cell apart; each sample raises the
// cell it falls in to its own height.
namespace korvane {

// Samples the segment from p to q (mm) into `layer`: Round(|pq| / pixelSize) + 1
// steps, twice as many with the setting printer3D. Samples outside the layer
// are dropped.
void rasteriseSegment(tpix2d& layer, const TrPkt3D& p, const TrPkt3D& q);

// Sweeps the triangle from its lowest vertex with segments between its two
// other edges.
void rasteriseTriangle(tpix2d& layer, TrPkt3D a, TrPkt3D b, TrPkt3D c);

// Builds modelHeights (or materialHeights) from a triangle list on a background
// thread. The triangles are shared among worker threads; a sample raises its
// cell with an atomic maximum, so the layer is the same whatever the timing.
class TRawDoPix {
  public:
    // The source list, the destination layer, whether the material layer is
    // built (else the model layer), and the model record whose minX and minY are
    // taken off every triangle.
    void Inicjuj(const TriangleList* adresListyZrodlowej, tpix2d* adresMacierzyDocelowej,
                 bool tylkoPixZostaloPoZgrubnej, const TModel* adresParametrow);

    // Runs Execute on the thread; `onEnd` runs on the main loop afterwards.
    void start(std::function<void()> onEnd);
    void requestTerminate() { thread.requestTerminate(); }
    bool running() const { return thread.running(); }
    // Why the build ended by an exception (no memory for a huge raster, say);
    // empty after a normal end. The end handler reports it.
    const std::optional<std::string>& failure() const { return thread.failure(); }

    // The work itself: allocates the layers, clears the destination and
    // rasterises every triangle. `closing` or a terminate request stops it
    // between triangles, leaving the layer incomplete.
    void Execute();

  private:
    bool stopRequested() const;

    const TriangleList* adrLstSrc = nullptr;
    tpix2d* adrMatrixDest = nullptr;
    bool tylkoPixZostPoZgrubnej = false;
    const TModel* adrParametrow = nullptr;
    Thread thread; // last: stopped and joined before the fields above go
};

} // namespace korvane
