#include "import/DxfOcs2Wcs.h"

#include <cmath>
#include <numbers>

namespace korvane {

namespace {

DxfVector cross(const DxfVector& a, const DxfVector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

DxfVector unit(const DxfVector& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0)) return v;
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace

void TConvOCS2WCS::InitObj() {
    tm = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

void TConvOCS2WCS::SetNormalVector(const DxfVector& n) {
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (!(length > 0) || !std::isfinite(length)) {
        InitObj();
        return;
    }
    const DxfVector az = unit(n);
    constexpr double limit = 1.0 / 64.0;
    const DxfVector ax =
        unit(std::fabs(az.x) < limit && std::fabs(az.y) < limit ? cross({0, 1, 0}, az)
                                                                : cross({0, 0, 1}, az));
    const DxfVector ay = unit(cross(az, ax));
    tm = {{{ax.x, ax.y, ax.z, 0}, {ay.x, ay.y, ay.z, 0}, {az.x, az.y, az.z, 0}, {0, 0, 0, 1}}};
}

DxfVector TConvOCS2WCS::Convert(const DxfVector& p) const {
    return {p.x * tm[0][0] + p.y * tm[1][0] + p.z * tm[2][0] + tm[3][0],
            p.x * tm[0][1] + p.y * tm[1][1] + p.z * tm[2][1] + tm[3][1],
            p.x * tm[0][2] + p.y * tm[1][2] + p.z * tm[2][2] + tm[3][2]};
}

DxfVector TConvOCS2WCS::Rotate(const DxfVector& p, double angle) {
    // Quarter turns are exact, so that a block turned by 90 degrees lands on
    // the same coordinates as one drawn turned.
    double c, s;
    const double turns = std::fmod(angle, 360.0);
    if (turns == 0) {
        c = 1, s = 0;
    } else if (turns == 90 || turns == -270) {
        c = 0, s = 1;
    } else if (turns == 180 || turns == -180) {
        c = -1, s = 0;
    } else if (turns == 270 || turns == -90) {
        c = 0, s = -1;
    } else {
        const double a = angle * std::numbers::pi / 180.0;
        c = std::cos(a), s = std::sin(a);
    }
    return {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}

DxfVector TConvOCS2WCS::Scale(const DxfVector& p, const DxfVector& s) {
    return {p.x * s.x, p.y * s.y, p.z * s.z};
}

DxfVector TConvOCS2WCS::Move(const DxfVector& p, const DxfVector& t) {
    return {p.x + t.x, p.y + t.y, p.z + t.z};
}

} // namespace korvane
