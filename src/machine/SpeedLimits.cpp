#include "machine/SpeedLimits.h"

#include "foundation/MachineParams.h"
#include "foundation/Rounding.h"
#include "machine/MachineState.h"
#include "machine/MoveEncoding.h"
#include "machine/RampTables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane {

namespace {

const std::vector<std::uint16_t>& newEncodingRamp() {
    return alternativeRamp ? alternativeRampTable() : standardRamp();
}

std::uint16_t classicLimit(long long distance, bool pathSmoothing) {
    const auto& ramp = classicRamp();
    const long long last = static_cast<long long>(ramp.size()) - 1;
    long long h = (machineParams.acceleration + 1LL) * distance;
    if (pathSmoothing) h *= 2;
    std::uint32_t v;
    if (h > last)
        v = ramp.back();
    else if (h < 0)
        v = ramp.front();
    else
        v = ramp[static_cast<std::size_t>(
            std::min<long long>(roundHalfEven(h * machineParams.speedFactor), last))];
    if (pathSmoothing) v *= 2;
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(v, 65535));
}

// u ramp positions; a negative result means "use the end entries".
long long rampOffset(long long distance) {
    return roundHalfEven(
        roundHalfEven(static_cast<double>(distance) / (machineParams.acceleration + 1)) *
        static_cast<double>(machineParams.mult));
}

double distance3(const TrPkt3D& a, const TrPkt3D& b) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

using Deceleration = std::uint16_t (*)(long long, std::uint16_t, bool);

std::vector<std::uint16_t> computeLimits(const std::vector<TrPkt3D>& P, int s0, bool smoothingOn,
                                         Deceleration deceleration) {
    const std::size_t n = P.size();
    std::vector<std::uint16_t> cell(n, 0);
    if (n <= 2) {
        std::fill(cell.begin(), cell.end(), stopMarker);
        return cell;
    }
    const TMachineParams& p = machineParams;
    cell[0] = cell[n - 1] = stopMarker;
    if (s0 >= 0 && static_cast<std::size_t>(s0) < n)
        cell[static_cast<std::size_t>(s0)] = stopMarker;
    const double threshold = sharpCornerAngle;
    const double softLimit = 180 - threshold;

    for (std::size_t i = 1; i + 1 < n; ++i) {
        const TrPkt3D &A = P[i - 1], &B = P[i], &C = P[i + 1];
        const double dz = std::fabs(static_cast<double>(roundHalfEven(double(B.z) - C.z)));
        const double ab = distance3(A, B), bc = distance3(B, C), ac = distance3(A, C);
        double cosine = 0;
        if (ab != 0 && bc != 0)
            cosine = std::clamp((ab * ab + bc * bc - ac * ac) / (2 * ab * bc), -1.0, 1.0);
        const double turn = std::numbers::pi - std::acos(cosine);
        const double len = bc;
        const double R = turn == 0 ? 1000000.0 : len / turn;
        if (len == 0) {
            cell[i] = stopMarker;
            continue;
        }
        const double turnDeg = turn * 180 / std::numbers::pi;
        const double inSlope = ab == 0 ? 0 : (double(B.z) - A.z) / ab;
        const double slopeChange = std::fabs(inSlope - (double(C.z) - B.z) / bc) * 100;
        const bool soft = turnDeg < softLimit;
        double cornerCap = 0;
        if (soft) {
            const double outSlope = std::fabs(double(B.z) - C.z) * 100 / bc;
            double factor = std::max(0.0, 1 - std::sqrt(turnDeg / softLimit));
            if (outSlope < 10) factor *= 1.1;
            const double base = outSlope > 10 ? p.maxPlungeFeed : p.maxSpeed;
            cornerCap = std::max(factor * base, 100.0);
        } else {
            cell[i] = stopMarker;
        }
        const double c = smoothingOn       ? p.cornerCoefSmoothing
                         : slopeChange > 5 ? p.cornerCoefSteep
                                           : p.cornerCoefNormal;
        long long v = roundHalfEven(std::sqrt(R) * c);
        v = std::min<long long>(v, p.maxSpeed);
        v = std::max<long long>(v, p.minSpeed);
        if (turn == 0) v = p.maxSpeed;
        const double zCap =
            dz / len * p.maxSpeed <= p.maxPlungeFeed ? p.maxSpeed : len / dz * p.maxPlungeFeed;
        if (v > zCap) v = roundHalfEven(zCap);
        if (soft && v > cornerCap) v = roundHalfEven(cornerCap);
        v = std::min<long long>(v, p.maxSpeed);
        const long long value =
            v <= 0 ? stopMarker
                   : std::min<long long>(
                         SpeedToMachine(static_cast<double>(roundHalfEven(v * p.speedFactor))),
                         stopMarker);
        if (cell[i] < value && cell[i] != stopMarker) cell[i] = static_cast<std::uint16_t>(value);
    }

    TrPkt3D Q = P[n - 1];
    for (std::size_t i = n - 2; i >= 1; --i) {
        const double d = distance3(Q, P[i]) * 100 * p.stepsX;
        const std::uint16_t w = deceleration(roundHalfEven(d), cell[i + 1], smoothingOn);
        if (cell[i] < w) cell[i] = w;
        Q = P[i];
    }
    return cell;
}

} // namespace

std::uint16_t DecelerationLimit(long long distance, std::uint16_t nextLimit, bool pathSmoothing) {
    if (!machineParams.newSpeedEncoding) return classicLimit(distance, pathSmoothing);
    const auto& ramp = newEncodingRamp();
    const long long last = static_cast<long long>(ramp.size()) - 1;
    const long long u = rampOffset(distance);
    if (u > last) return ramp.back();
    if (u < 0) return ramp.front();
    const long long m = std::max(machineParams.mult, 1);
    // The ramp does not increase: the first entry at or below the limit is found
    // by bisection, then taken up to the next multiple of m.
    const auto first = std::partition_point(ramp.begin(), ramp.end(),
                                            [&](std::uint16_t e) { return e > nextLimit; });
    const long long i = first - ramp.begin();
    const long long found = (i + m - 1) / m * m;
    const long long stop = (last - u + m - 1) / m * m;
    const long long j = std::min(found, stop);
    return ramp[static_cast<std::size_t>(std::min(u + j, last))];
}

std::uint16_t DecelerationLimitLinear(long long distance, std::uint16_t nextLimit,
                                      bool pathSmoothing) {
    if (!machineParams.newSpeedEncoding) return classicLimit(distance, pathSmoothing);
    const auto& ramp = newEncodingRamp();
    const long long last = static_cast<long long>(ramp.size()) - 1;
    const long long u = rampOffset(distance);
    if (u > last) return ramp.back();
    if (u < 0) return ramp.front();
    const long long m = std::max(machineParams.mult, 1);
    long long j = 0;
    for (;; j += m) {
        if (u + j >= last) break;
        if (ramp[static_cast<std::size_t>(j)] <= nextLimit) break;
    }
    return ramp[static_cast<std::size_t>(std::min(u + j, last))];
}

std::vector<std::uint16_t> ComputeSpeedLimits(const std::vector<TrPkt3D>& points, int s0,
                                              bool pathSmoothing) {
    return computeLimits(points, s0, pathSmoothing, &DecelerationLimit);
}

std::vector<std::uint16_t> ComputeSpeedLimitsLinear(const std::vector<TrPkt3D>& points, int s0,
                                                    bool pathSmoothing) {
    return computeLimits(points, s0, pathSmoothing, &DecelerationLimitLinear);
}

} // namespace korvane
