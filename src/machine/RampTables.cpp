#include "machine/RampTables.h"

#include "foundation/Rounding.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

struct Anchor {
    int index;
    double value;
};

// The head entries as given, then power-law segments through the anchors
// (entries in between follow value · (i / index)^-p), rounded and kept
// non-increasing.
std::vector<std::uint16_t> rampThrough(const std::vector<std::uint16_t>& head,
                                       const std::vector<Anchor>& anchors, int size) {
    std::vector<std::uint16_t> ramp(static_cast<std::size_t>(size));
    std::copy(head.begin(), head.end(), ramp.begin());
    for (std::size_t a = 0; a + 1 < anchors.size(); ++a) {
        const Anchor from = anchors[a], to = anchors[a + 1];
        const double p = std::log(from.value / to.value) / std::log(double(to.index) / from.index);
        for (int i = from.index; i <= to.index; ++i)
            ramp[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(
                roundHalfEven(from.value * std::pow(double(i) / from.index, -p)));
    }
    for (const Anchor& a : anchors)
        ramp[static_cast<std::size_t>(a.index)] = static_cast<std::uint16_t>(a.value);
    for (std::size_t i = 1; i < ramp.size(); ++i) ramp[i] = std::min(ramp[i], ramp[i - 1]);
    return ramp;
}

} // namespace

const std::vector<std::uint16_t>& classicRamp() {
    static const std::vector<std::uint16_t> ramp =
        rampThrough({11288}, {{1, 5644}, {4, 2822}, {100, 564}, {1000, 176}, {15999, 36}}, 16000);
    return ramp;
}

const std::vector<std::uint16_t>& standardRamp() {
    static const std::vector<std::uint16_t> ramp = rampThrough(
        {10234, 10234, 9213, 7668}, {{4, 6875}, {100, 1908}, {1000, 811}, {65535, 159}}, 65536);
    return ramp;
}

const std::vector<std::uint16_t>& alternativeRampTable() {
    static const std::vector<std::uint16_t> ramp = [] {
        std::vector<std::uint16_t> r(65536);
        r[0] = 40920;
        for (std::size_t i = 1; i < r.size(); ++i)
            r[i] = static_cast<std::uint16_t>(std::max<long long>(
                roundHalfEven(40920.0 / std::sqrt(static_cast<double>(i))), 159));
        r.back() = 159;
        return r;
    }();
    return ramp;
}

} // namespace korvane
