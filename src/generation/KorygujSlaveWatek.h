#pragma once

#include "foundation/Records.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

// One worker of the path correction: corrects its own run of points, in order.
namespace korvane {

class PointCorrector;
class TriangleGrid;

// The model's triangles indexed for the ball end and for the whole flank.
struct CorrectionGrids {
    const TriangleGrid& ball;
    const TriangleGrid& flank;
};

// A point to correct; points of plane figures are handed out but left alone.
struct CorrectionPoint {
    TrPkt3D* point = nullptr;
    bool plane = false;
};

class cKorygujSlaveWatek {
  public:
    explicit cKorygujSlaveWatek(std::span<const CorrectionPoint> points) : points_(points) {}

    // Corrects the points one after another; stops early when the generation is
    // asked to stop.
    void Execute(const PointCorrector& corrector, CorrectionGrids grids);

    int ilosc() const { return static_cast<int>(points_.size()); }
    int wykonano() const { return wykonano_.load(std::memory_order_relaxed); }

  private:
    std::span<const CorrectionPoint> points_;
    std::atomic<int> wykonano_{0};
};

} // namespace korvane
