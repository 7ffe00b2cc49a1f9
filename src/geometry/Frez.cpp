#include "geometry/Frez.h"

#include "foundation/Rounding.h"
#include "foundation/State.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <unordered_map>

namespace korvane {

namespace {

constexpr double pi = std::numbers::pi;

int round(double v) {
    return static_cast<int>(roundHalfEven(v));
}

// Collects profile points: a repeated (x, y) keeps the lowest z.
class ProfileBuilder {
  public:
    explicit ProfileBuilder(std::vector<TPkt3D>& points) : points_(points) {}

    void add(int x, int y, float z) {
        const std::uint64_t key =
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) |
            static_cast<std::uint32_t>(y);
        const auto [it, added] = index_.try_emplace(key, points_.size());
        if (added)
            points_.push_back({x, y, z});
        else
            points_[it->second].z = std::min(points_[it->second].z, z);
    }

    // The grid point on the circle of radius r cells at angle theta, as exact as
    // the grid allows: the smaller coordinate is rounded, the larger one follows
    // from the radius.
    void ringPoint(double r, double theta, float z) {
        const double c = std::cos(theta), s = std::sin(theta);
        int x, y;
        if (std::abs(c) < 0.7) {
            x = round(r * c);
            y = round(std::sqrt(std::max(r * r - static_cast<double>(x) * x, 0.0)));
            if (s < 0) y = -y;
        } else {
            y = round(r * s);
            x = round(std::sqrt(std::max(r * r - static_cast<double>(y) * y, 0.0)));
            if (c < 0) x = -x;
        }
        add(x, y, z);
    }

    void fullRing(double r, float z) {
        const int m = round(2 * pi * r + 1);
        if (m < 1) return; // a ring of no extent (a negative radius)
        for (int k = 0; k <= 2 * m; ++k) ringPoint(r, k * 2 * pi / (2 * m), z);
    }

    // Rings every half cell out to the tip radius, at z = 0.
    void tipDisk(double diameter, double p) {
        const int n = round(diameter / 2 / p - 0.51);
        for (int g = 1; g <= 2 * n; ++g) fullRing(g / 2.0, 0.0f);
    }

    // The body above h, its diameter changing linearly from da at h to db at hc.
    void upperBody(double da, double db, double h, double hc, double p) {
        if (da == db) return;
        const int e = round((hc - h) / p);
        if (e == 0) return;
        for (int g = 0; g <= e; ++g) {
            const double r = (da / 2 + static_cast<double>(g) / e * (db / 2 - da / 2)) / p - 0.51;
            fullRing(r, static_cast<float>(h + g * p));
        }
    }

  private:
    std::vector<TPkt3D>& points_;
    std::unordered_map<std::uint64_t, std::size_t> index_;
};

void buildBall(ProfileBuilder& b, const TFrezDane& t, double p) {
    const double radius = t.d1 / 2;
    const int rc = round(radius / p - 0.51);
    const int nLat = round(2 * pi * radius * 0.25 / p + 1) * 2;
    const int nLon = round(2 * pi * radius / p + 1) * 2;
    for (int i = 0; i <= nLon; ++i) {
        const double theta = i * 2 * pi / nLon;
        const double c = std::cos(theta), s = std::sin(theta);
        int x0, y0;
        // A ball under about a cell has rc = 0 while x0 or y0 is 1: the root is
        // then taken of 0, not of a negative number.
        if (std::abs(c) < 0.7) {
            x0 = round(c * radius / p);
            y0 = round(std::sqrt(std::max(static_cast<double>(rc) * rc - x0 * x0, 0.0)));
            if (s < 0) y0 = -y0;
        } else {
            y0 = round(s * radius / p);
            x0 = round(std::sqrt(std::max(static_cast<double>(rc) * rc - y0 * y0, 0.0)));
            if (c < 0) x0 = -x0;
        }
        for (int j = 0; j <= nLat; ++j) {
            const double phi = static_cast<double>(j) / nLat * pi / 2;
            b.add(round(std::sin(phi) * x0), round(std::sin(phi) * y0),
                  static_cast<float>(radius - radius * std::cos(phi)));
        }
    }
    b.upperBody(t.d1, t.d3, t.h, t.hc, p);
}

void buildCone(ProfileBuilder& b, const TFrezDane& t, double p) {
    b.tipDisk(t.d1, p);
    const double r1 = t.d1 / 2, r2 = t.d2 / 2;
    const int levels = round(t.h / p);
    for (int c = 0; c <= levels; ++c) {
        const double share = levels == 0 ? 0.0 : static_cast<double>(c) / levels;
        const double r = std::max((r1 + share * (r2 - r1)) / p - 0.51, 0.0);
        b.fullRing(r, static_cast<float>(c * p));
    }
    b.upperBody(t.d2, t.d3, t.h, t.hc, p);
}

void buildRing(ProfileBuilder& b, const TFrezDane& t, double p) {
    const int rc = round(t.d1 / 2 / p);
    const int f = round(t.d1 / 2 * 2 * pi / p + 1);
    for (int k = 0; k <= 2 * f; ++k) {
        const double theta = k * 2 * pi / (2 * f);
        b.add(round(std::cos(theta) * rc), round(std::sin(theta) * rc), 0.0f);
    }
}

} // namespace

TFrez::TFrez(const TFrezDane& weParFrezu) : Parametry(weParFrezu) {
    ProfileBuilder b(Powierzchnia);
    const double p = pixelSize;
    if (!(p > 0)) return;
    switch (Parametry.typ) {
    case toolEndMill:
        b.tipDisk(Parametry.d1, p);
        b.upperBody(Parametry.d1, Parametry.d3, Parametry.h, Parametry.hc, p);
        break;
    case toolBallNose:
        buildBall(b, Parametry, p);
        break;
    case toolConical:
        buildCone(b, Parametry, p);
        break;
    case toolRing:
        buildRing(b, Parametry, p);
        break;
    default:
        break;
    }
}

float TFrez::PromienNaWysokosci(float z) const {
    const double r1 = Parametry.d1 / 2, r2 = Parametry.d2 / 2, r3 = Parametry.d3 / 2;
    const double h = Parametry.h;
    const float taper = static_cast<float>(Parametry.hc - Parametry.h);
    // Above h the body tapers towards d3 at hc; a body without a taper length
    // has its upper diameter right away.
    auto body = [&](double from) {
        if (taper == 0) return static_cast<float>(r3);
        return static_cast<float>((z - h) / taper * (r3 - from) + from);
    };
    switch (Parametry.typ) {
    case toolEndMill:
        return z > h ? body(r1) : static_cast<float>(r1);
    case toolBallNose:
        if (z > h) return body(r1);
        if (z < r1)
            return static_cast<float>(std::sqrt(std::max(r1 * r1 - (r1 - z) * (r1 - z), 0.0)));
        return static_cast<float>(r1);
    case toolConical:
        if (z > h) return body(r2);
        if (h == 0) return static_cast<float>(r1);
        return static_cast<float>(z / h * (r2 - r1) + r1);
    default:
        return 0;
    }
}

} // namespace korvane
