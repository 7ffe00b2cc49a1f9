#pragma once

// DXF drawings written by the tests: group pairs, one per two lines.
#include <string>
#include <vector>

namespace korvane::test {

struct Pair {
    std::string code, value;
};

inline std::string pairs(const std::vector<Pair>& list) {
    std::string out;
    for (const auto& p : list) out += "  " + p.code + "\r\n" + p.value + "\r\n";
    return out;
}

inline std::string face3d(std::vector<std::vector<double>> corners) {
    std::vector<Pair> p = {{"0", "3DFACE"}, {"8", "0"}};
    for (size_t i = 0; i < corners.size(); ++i)
        for (size_t axis = 0; axis < 3; ++axis)
            p.push_back({std::to_string((axis + 1) * 10 + i), std::to_string(corners[i][axis])});
    return pairs(p);
}

inline std::string insert(const std::string& block, std::vector<Pair> extra = {}) {
    std::vector<Pair> p = {{"0", "INSERT"}, {"8", "0"}, {"2", block}};
    p.insert(p.end(), extra.begin(), extra.end());
    return pairs(p);
}

inline std::string block(const std::string& name, const std::string& body,
                         std::vector<double> base = {0, 0, 0}) {
    return pairs({{"0", "BLOCK"},
                  {"8", "0"},
                  {"2", name},
                  {"70", "0"},
                  {"10", std::to_string(base[0])},
                  {"20", std::to_string(base[1])},
                  {"30", std::to_string(base[2])},
                  {"3", name}}) +
           body + pairs({{"0", "ENDBLK"}, {"8", "0"}});
}

// A whole drawing: a header, the blocks, the entities, the end.
inline std::string drawing(const std::string& entities, const std::string& blocks = {}) {
    return pairs({{"0", "SECTION"},
                  {"2", "HEADER"},
                  {"9", "$ACADVER"},
                  {"1", "AC1009"},
                  {"9", "$INSBASE"},
                  {"10", "0.0"},
                  {"20", "0.0"},
                  {"30", "0.0"},
                  {"0", "ENDSEC"},
                  {"0", "SECTION"},
                  {"2", "TABLES"},
                  {"0", "TABLE"},
                  {"2", "LAYER"},
                  {"0", "ENDTAB"},
                  {"0", "ENDSEC"},
                  {"0", "SECTION"},
                  {"2", "BLOCKS"}}) +
           blocks + pairs({{"0", "ENDSEC"}, {"0", "SECTION"}, {"2", "ENTITIES"}}) + entities +
           pairs({{"0", "ENDSEC"}, {"0", "EOF"}});
}

// A polyface mesh: position vertices, then face records of 1-based indices.
inline std::string polyface(const std::vector<std::vector<double>>& vertices,
                            const std::vector<std::vector<int>>& faces) {
    std::string out = pairs({{"0", "POLYLINE"},
                             {"8", "0"},
                             {"66", "1"},
                             {"10", "0"},
                             {"20", "0"},
                             {"30", "0"},
                             {"70", "64"},
                             {"71", std::to_string(vertices.size())},
                             {"72", std::to_string(faces.size())}});
    for (const auto& v : vertices)
        out += pairs({{"0", "VERTEX"},
                      {"8", "0"},
                      {"10", std::to_string(v[0])},
                      {"20", std::to_string(v[1])},
                      {"30", std::to_string(v[2])},
                      {"70", "192"}});
    for (const auto& f : faces) {
        std::vector<Pair> p = {{"0", "VERTEX"}, {"8", "0"},  {"10", "0"},
                               {"20", "0"},     {"30", "0"}, {"70", "128"}};
        for (size_t i = 0; i < f.size(); ++i)
            p.push_back({std::to_string(71 + i), std::to_string(f[i])});
        out += pairs(p);
    }
    return out + pairs({{"0", "SEQEND"}, {"8", "0"}});
}

} // namespace korvane::test
