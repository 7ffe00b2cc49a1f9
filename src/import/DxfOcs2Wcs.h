#pragma once

#include <array>

// Object coordinates of a DXF entity to world coordinates (the arbitrary-axis
// algorithm of the DXF format), and the steps of a block insert.
namespace korvane {

struct DxfVector {
    double x = 0, y = 0, z = 0;
};

// Row by row: the object system's x, y and z axes in world coordinates, then
// (0, 0, 0, 1).
using TTransformMtx = std::array<std::array<double, 4>, 4>;

class TConvOCS2WCS {
  public:
    TConvOCS2WCS() { InitObj(); }
    // World axes, normal (0, 0, 1): the identity.
    void InitObj();

    // The extrusion direction `n` becomes the object z axis, scaled to unit
    // length; a zero vector counts as (0, 0, 1).
    void SetNormalVector(const DxfVector& n);
    void SetNormalVector(double x, double y, double z) { SetNormalVector({x, y, z}); }

    // The world point of object point `p`.
    DxfVector Convert(const DxfVector& p) const;

    void SetTMtx(const TTransformMtx& m) { tm = m; }
    const TTransformMtx& tMtx() const { return tm; }

    // Turns `p` about the z axis by `angle` degrees.
    static DxfVector Rotate(const DxfVector& p, double angle);
    // Multiplies component by component.
    static DxfVector Scale(const DxfVector& p, const DxfVector& s);
    // Adds component by component.
    static DxfVector Move(const DxfVector& p, const DxfVector& t);

  private:
    TTransformMtx tm{};
};

} // namespace korvane
