#include "import/Stl2RawConverter.h"

#include "foundation/NumberText.h"
#include "import/FileBytes.h"
#include "import/LineReader.h"
#include "import/TextLines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace korvane {

static_assert(std::endian::native == std::endian::little, "STL floats are read in place");

namespace {

constexpr std::size_t headerSize = 84; // 80 bytes of header, 4 of facet count
constexpr std::size_t facetSize = 50;

// The facet count of the header, an unsigned 32-bit number.
std::uint32_t facetCount(std::string_view bytes) {
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, sizeof count);
    return count;
}

bool finite(const TPoint3D& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Ends the reading of a text file; the facets stored so far stay.
struct TextStop : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The words of a normal or vertex line: separated by white space or commas,
// a pair of double quotes groups words. Only the first few are kept; `count`
// counts them all.
struct Words {
    static constexpr std::size_t kept = 5;
    std::array<std::string_view, kept> word;
    std::size_t count = 0;
    void add(std::string_view w) {
        if (count < kept) word[count] = w;
        ++count;
    }
};

Words words(std::string_view line) {
    Words out;
    size_t i = 0;
    const size_t n = line.size();
    auto skipSpace = [&] {
        while (i < n && static_cast<unsigned char>(line[i]) <= ' ') ++i;
    };
    skipSpace();
    while (i < n) {
        size_t start = i;
        if (line[i] == '"') {
            start = ++i;
            while (i < n && line[i] != '"') ++i;
            out.add(line.substr(start, i - start));
            if (i < n) ++i;
        } else {
            while (i<n&& static_cast<unsigned char>(line[i])> ' ' && line[i] != ',') ++i;
            out.add(line.substr(start, i - start));
        }
        skipSpace();
        if (i < n && line[i] == ',') {
            ++i;
            skipSpace();
            if (i == n) out.add({}); // a trailing comma leaves an empty word
        }
    }
    return out;
}

float number(std::string_view word) {
    auto v = parseReal(word);
    if (!v || std::fabs(*v) > FLT_MAX) throw TextStop("not a number");
    return static_cast<float>(*v);
}

TPoint3D point(const Words& w, size_t first) {
    return {number(w.word[first]), number(w.word[first + 1]), number(w.word[first + 2])};
}

} // namespace

bool isExactBinaryStl(std::string_view header, std::size_t fileSize) {
    if (header.size() < headerSize) return false;
    const std::uint32_t count = facetCount(header);
    return count > 0 && fileSize == headerSize + facetSize * static_cast<std::size_t>(count);
}

TStl2RawConverter::TStl2RawConverter(std::filesystem::path strStlFileName)
    : fileName(std::move(strStlFileName)) {}

namespace {

// "SOLI" at the start means text, except for a binary file whose header
// happens to begin with "solid" (many CAD programs write one): its size
// matching its facet count tells it apart.
bool isText(std::string_view header, std::size_t fileSize) {
    return startsWithNoCase(header, "SOLI") && !isExactBinaryStl(header, fileSize);
}

// The facets to read: the count of the header, but no more than the file
// holds whole (a partial last facet is dropped), whatever the count says.
std::size_t facetsToRead(std::string_view header, std::size_t fileSize) {
    if (header.size() < headerSize || fileSize < headerSize) return 0;
    return std::min(static_cast<std::size_t>(facetCount(header)),
                    (fileSize - headerSize) / facetSize);
}

} // namespace

void TStl2RawConverter::Convert() {
    InputFile file(fileName);
    char header[headerSize];
    const std::string_view head(header, file.read(header, headerSize));
    if (isText(head, file.size())) {
        LineReader lines(file, head);
        readText(lines);
        return;
    }
    // Binary: the facets in large blocks, straight from the file.
    std::size_t left = facetsToRead(head, file.size());
    trList.reserve(trList.size() + left);
    constexpr std::size_t blockFacets = 65536;
    std::unique_ptr<char[]> block(new char[blockFacets * facetSize]);
    while (left > 0) {
        const std::size_t wanted = std::min(left, blockFacets);
        const std::size_t got = file.read(block.get(), wanted * facetSize) / facetSize;
        readFacets(block.get(), got);
        if (got < wanted) break; // the file shrank meanwhile
        left -= got;
    }
}

void TStl2RawConverter::convertBytes(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, headerSize);
    if (isText(head, bytes.size())) {
        LineReader lines(bytes);
        readText(lines);
    } else {
        readFacets(bytes.data() + headerSize, facetsToRead(head, bytes.size()));
    }
}

void TStl2RawConverter::store(const TPoint3D& normal) {
    const double ux = double(tr.b.x) - tr.a.x, uy = double(tr.b.y) - tr.a.y,
                 uz = double(tr.b.z) - tr.a.z;
    const double vx = double(tr.c.x) - tr.a.x, vy = double(tr.c.y) - tr.a.y,
                 vz = double(tr.c.z) - tr.a.z;
    // The winding's normal (P2 - P1) x (P3 - P1); only the sign of its dot
    // product with the file's normal matters, so it is not scaled.
    const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double dot = nx * normal.x + ny * normal.y + nz * normal.z;
    if (dot > 0)
        trList.push_back(tr);
    else
        trList.push_back({tr.c, tr.b, tr.a});
}

void TStl2RawConverter::readFacets(const char* facet, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k, facet += facetSize) {
        TPoint3D normal;
        std::memcpy(&normal, facet, sizeof normal);
        std::memcpy(&tr, facet + 12, sizeof tr);
        // A vertex that is not a number cannot be placed: the facet is left out.
        if (!finite(tr.a) || !finite(tr.b) || !finite(tr.c)) continue;
        store(normal);
    }
}

void TStl2RawConverter::readText(LineReader& lines) {
    std::string_view current;
    if (!lines.next(current) || !startsWithNoCase(current, "SOLID")) return;
    auto line = [&] {
        if (!lines.next(current)) throw TextStop("unexpected end of file");
        return current;
    };
    try {
        bool more = lines.next(current);
        while (more) {
            if (startsWithNoCase(current, "FACET NORMAL ")) {
                const auto w = words(current);
                if (w.count != 5) throw TextStop("Invalid Normal");
                const TPoint3D normal = point(w, 2);
                if (startsWithNoCase(line(), "OUTER LOOP")) {
                    for (TPoint3D* p : {&tr.a, &tr.b, &tr.c}) {
                        const auto v = words(line());
                        if (v.count != 4 || v.word[0].size() != 6 ||
                            !startsWithNoCase(v.word[0], "VERTEX"))
                            throw TextStop("Invalid Vertex");
                        *p = point(v, 1);
                    }
                    if (!startsWithNoCase(line(), "ENDLOOP"))
                        throw TextStop("End of Loop Not Found");
                    store(normal);
                    if (!startsWithNoCase(line(), "ENDFACET"))
                        throw TextStop("End of Facet Not found");
                } else {
                    // A facet without its loop gives no triangle: pass over it to
                    // its end line and go on with the next facet.
                    while (!startsWithNoCase(current, "ENDFACET")) line();
                }
            } else if (!startsWithNoCase(line(), "ENDFACET")) {
                // Any other line must be followed by the end of a facet.
                throw TextStop("End of Facet Not found");
            }
            more = lines.next(current);
            if (more && startsWithNoCase(current, "ENDSOLID")) break;
        }
    } catch (const TextStop&) {
        // A malformed or cut file: the facets read so far are the model.
    }
}

} // namespace korvane
