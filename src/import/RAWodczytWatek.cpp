#include "import/RAWodczytWatek.h"

#include "foundation/NumberText.h"

#include "foundation/State.h"
#include "import/Dxf2RawConverter.h"
#include "import/FileBytes.h"
#include "import/MeshExchange.h"
#include "import/RawReader.h"
#include "import/Stl2RawConverter.h"
#include "import/TextLines.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace korvane {

namespace {

struct Cancelled : std::runtime_error {
    Cancelled() : std::runtime_error("loading cancelled") {}
};

bool finite(const TrPkt3D& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

void extend(TMinMax& e, const TrPkt3D& p) {
    e.minX = std::min(e.minX, double(p.x));
    e.minY = std::min(e.minY, double(p.y));
    e.minZ = std::min(e.minZ, double(p.z));
    e.maxX = std::max(e.maxX, double(p.x));
    e.maxY = std::max(e.maxY, double(p.y));
    e.maxZ = std::max(e.maxZ, double(p.z));
}

void append(ReadModel& model, const TrPkt3D& a, const TrPkt3D& b, const TrPkt3D& c) {
    // A vertex out of reach of a Single (or not a number) would poison the
    // extents and the ordering of the whole model.
    if (!finite(a) || !finite(b) || !finite(c)) return;
    TTrojkat t;
    t.a = a;
    t.b = b;
    t.c = c;
    model.triangles.push_back(t);
    extend(model.extents, a);
    extend(model.extents, b);
    extend(model.extents, c);
}

TrPkt3D scaled(const TPoint3D& p, double factor) {
    return {static_cast<float>(p.x * factor), static_cast<float>(p.y * factor),
            static_cast<float>(p.z * factor)};
}

void appendConverted(ReadModel& model, const std::vector<TTriangle3D>& triangles, double factor) {
    model.triangles.reserve(triangles.size());
    for (const TTriangle3D& t : triangles)
        append(model, scaled(t.a, factor), scaled(t.b, factor), scaled(t.c, factor));
}

std::string upperExtension(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ext;
}

} // namespace

ReadModel readModelFile(const std::filesystem::path& file, double unitFactor,
                        const std::function<bool()>& cancelled) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    ReadModel model;
    model.extents = {inf, inf, inf, -inf, -inf, -inf};
    const std::string ext = upperExtension(file);
    if (ext == ".RAW") {
        FileBytes bytes(file);
        std::size_t lines = 0;
        forEachLine(bytes.view(), [&](std::string_view line) {
            if (cancelled && ++lines % 65536 == 0 && cancelled()) throw Cancelled();
            const RawLine read = readRawLine(line, unitFactor);
            for (int i = 0; i < read.count; ++i) {
                const TTriangle3D& t = read.triangles[static_cast<size_t>(i)];
                append(model, scaled(t.a, 1), scaled(t.b, 1), scaled(t.c, 1));
            }
        });
    } else if (ext == ".STL") {
        TStl2RawConverter converter(file);
        converter.Convert();
        appendConverted(model, converter.triangles(), unitFactor);
    } else if (isMeshExchangeFile(file)) {
        appendConverted(model, readMeshExchangeFile(file), unitFactor);
    } else if (ext == ".DXF") {
        TDxf2RawConverter converter(file);
        if (!converter.canRead()) throw std::runtime_error(file.string() + ": cannot be read");
        converter.Convert(cancelled);
        appendConverted(model, converter.triangles(), unitFactor);
    }
    const TMinMax& e = model.extents;
    if (!model.triangles.empty() &&
        std::max({-e.minX, -e.minY, -e.minZ, e.maxX, e.maxY, e.maxZ}) > maxModelCoordinate)
        throw std::runtime_error(
            "the model reaches " +
            formatReal(std::max({-e.minX, -e.minY, -e.minZ, e.maxX, e.maxY, e.maxZ})) +
            " mm from the origin, beyond the " + formatReal(maxModelCoordinate) +
            " mm any machine can reach: the file is damaged or written in another unit");
    return model;
}

void placeModel(ReadModel& model, const std::filesystem::path& file, TModel& record,
                TrPkt3D& size) {
    const TMinMax& e = model.extents;
    record.plik_RAW = file.string();
    record.minX = e.minX;
    record.minY = e.minY;
    record.minZ = e.minZ;
    record.maxX = e.maxX;
    record.maxY = e.maxY;
    record.maxZ = e.maxZ;
    // The height is the top's, not the span: the model stands on z = 0.
    size = {static_cast<float>(e.maxX - e.minX), static_cast<float>(e.maxY - e.minY),
            static_cast<float>(e.maxZ)};
    for (TTrojkat& t : model.triangles)
        for (TrPkt3D* p : {&t.a, &t.b, &t.c}) {
            p->x = static_cast<float>(p->x - e.minX);
            p->y = static_cast<float>(p->y - e.minY);
        }
    record.maxX = e.maxX - e.minX;
    record.maxY = e.maxY - e.minY;
    record.minX = 0;
    record.minY = 0;
}

void sortVertices(TriangleList& triangles) {
    for (TTrojkat& t : triangles) {
        if (t.a.z > t.b.z) std::swap(t.a, t.b);
        if (t.b.z > t.c.z) std::swap(t.b, t.c);
        if (t.a.z > t.b.z) std::swap(t.a, t.b);
    }
}

void sortByLowestZ(TriangleList& triangles) {
    // A radix sort of (height, index) pairs, then the records moved once each:
    // far less moving of 52-byte records than a comparison sort. Heights are
    // finite, so their bit patterns can be made to order as unsigned numbers.
    const std::size_t n = triangles.size();
    if (n < 2) return;
    struct Key {
        std::uint32_t bits;
        std::uint32_t index;
    };
    std::vector<Key> keys(n), spare(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t raw = std::bit_cast<std::uint32_t>(triangles[i].a.z + 0.0f); // -0 as 0
        keys[i] = {raw & 0x80000000u ? ~raw : raw | 0x80000000u, static_cast<std::uint32_t>(i)};
    }
    for (int shift = 0; shift < 32; shift += 8) {
        std::array<std::size_t, 257> start{};
        for (const Key& k : keys) ++start[((k.bits >> shift) & 0xFFu) + 1];
        if (start[((keys[0].bits >> shift) & 0xFFu) + 1] == n) continue; // one bucket: in order
        for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
        for (const Key& k : keys) spare[start[(k.bits >> shift) & 0xFFu]++] = k;
        keys.swap(spare);
    }
    // Gather the records in their new order. The reads jump about the list, so
    // the record needed a few steps ahead is fetched early.
    constexpr std::size_t ahead = 16;
    TriangleList sorted;
    sorted.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        if (k + ahead < n) {
            const char* next = reinterpret_cast<const char*>(&triangles[keys[k + ahead].index]);
            __builtin_prefetch(next);
            __builtin_prefetch(next + sizeof(TTrojkat) - 1);
        }
        sorted.push_back(triangles[keys[k].index]);
    }
    triangles = std::move(sorted);
}

void computePlanes(TriangleList& triangles) {
    for (TTrojkat& t : triangles) {
        const double x1 = t.a.x, y1 = t.a.y, z1 = t.a.z;
        const double x2 = t.b.x, y2 = t.b.y, z2 = t.b.z;
        const double x3 = t.c.x, y3 = t.c.y, z3 = t.c.z;
        t.A = static_cast<float>(y1 * (z2 - z3) - y2 * (z1 - z3) + y3 * (z1 - z2));
        t.B = static_cast<float>(-(x1 * (z2 - z3) - x2 * (z1 - z3) + x3 * (z1 - z2)));
        t.C = static_cast<float>(x1 * (y2 - y3) - x2 * (y1 - y3) + x3 * (y1 - y2));
        t.D = static_cast<float>(
            -(x1 * (y2 * z3 - y3 * z2) - x2 * (y1 * z3 - y3 * z1) + x3 * (y1 * z2 - y2 * z1)));
    }
}

void TRAWodczytWatek::Inicjuj(TriangleList* adresListy,
                              std::filesystem::path sSciezkaPlikuZrodlowego,
                              TModel* adresParametryModelu, TrPkt3D* adresRawSize) {
    adrLst = adresListy;
    sPlikZrodlowy = std::move(sSciezkaPlikuZrodlowego);
    adrParMod = adresParametryModelu;
    adrRawSize = adresRawSize;
    unitFactor = korvane::unitFactor(settings.jednostkaMiary);
}

void TRAWodczytWatek::start(std::function<void()> onEnd) {
    thread.start([this] { Execute(); }, std::move(onEnd));
}

void TRAWodczytWatek::Execute() {
    bladOdczytu.clear();
    auto cancelled = [this] { return thread.terminated(); };
    auto checkpoint = [&] {
        if (cancelled()) throw Cancelled();
    };
    try {
        ReadModel model = readModelFile(sPlikZrodlowy, unitFactor, cancelled);
        checkpoint();
        TModel record = *adrParMod;
        TrPkt3D size;
        placeModel(model, sPlikZrodlowy, record, size);
        sortVertices(model.triangles);
        checkpoint();
        sortByLowestZ(model.triangles);
        checkpoint();
        computePlanes(model.triangles);
        *adrLst = std::move(model.triangles);
        *adrParMod = std::move(record);
        *adrRawSize = size;
    } catch (const std::exception& e) {
        bladOdczytu = e.what();
    }
}

} // namespace korvane
