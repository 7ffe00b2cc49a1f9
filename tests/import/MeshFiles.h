#pragma once

// STL files written by the tests themselves.
#include "import/RawReader.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace korvane::test {

struct Facet {
    TPoint3D normal;
    TTriangle3D t;
};

// The outward normal of a counter-clockwise facet.
inline TPoint3D windingNormal(const TTriangle3D& t) {
    const float ux = t.b.x - t.a.x, uy = t.b.y - t.a.y, uz = t.b.z - t.a.z;
    const float vx = t.c.x - t.a.x, vy = t.c.y - t.a.y, vz = t.c.z - t.a.z;
    return {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
}

// A binary STL; `count` overrides the facet count written in the header.
inline std::string binaryStl(const std::vector<Facet>& facets, std::string header = "test mesh",
                             std::optional<std::int32_t> count = {}) {
    std::string out = header;
    out.resize(80, ' ');
    const std::int32_t n = count ? *count : static_cast<std::int32_t>(facets.size());
    out.append(reinterpret_cast<const char*>(&n), 4);
    for (const Facet& f : facets) {
        out.append(reinterpret_cast<const char*>(&f.normal), 12);
        out.append(reinterpret_cast<const char*>(&f.t), 36);
        out.append(2, '\0');
    }
    return out;
}

inline std::string number(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    return buf;
}

inline std::string textStl(const std::vector<Facet>& facets, const std::string& eol = "\r\n") {
    std::string out = "solid test" + eol;
    for (const Facet& f : facets) {
        out += "  facet normal " + number(f.normal.x) + " " + number(f.normal.y) + " " +
               number(f.normal.z) + eol + "    outer loop" + eol;
        for (const TPoint3D& p : {f.t.a, f.t.b, f.t.c})
            out += "      vertex " + number(p.x) + " " + number(p.y) + " " + number(p.z) + eol;
        out += "    endloop" + eol + "  endfacet" + eol;
    }
    return out + "endsolid test" + eol;
}

// A closed pyramid on a square base, six facets wound outwards, with the file's
// normals matching.
inline std::vector<Facet> pyramid(float size = 40, float height = 20, float x0 = 0, float y0 = 0,
                                  float z0 = 0) {
    const TPoint3D p0{x0, y0, z0}, p1{x0 + size, y0, z0}, p2{x0 + size, y0 + size, z0},
        p3{x0, y0 + size, z0}, top{x0 + size / 2, y0 + size / 2, z0 + height};
    std::vector<TTriangle3D> ts = {{p0, p2, p1},  {p0, p3, p2},  {p0, p1, top},
                                   {p1, p2, top}, {p2, p3, top}, {p3, p0, top}};
    std::vector<Facet> out;
    for (const auto& t : ts) out.push_back({windingNormal(t), t});
    return out;
}

} // namespace korvane::test
