#pragma once

#include "import/DxfOcs2Wcs.h"
#include "import/DxfReader.h"
#include "import/RawReader.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

// Collects the triangles of a 3D DXF drawing: 3DFACE entities, polyface
// meshes and block inserts nested up to ten levels.
namespace korvane {

// A drawing that cannot be converted: a malformed number, an insert of an
// unknown block, a face index of 0 or beyond its mesh, or more work than the
// limit.
struct DxfError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class TDxf2RawConverter {
  public:
    explicit TDxf2RawConverter(const std::filesystem::path& strDxfFileName);
    // A drawing already in memory; `text` must outlive the converter.
    static TDxf2RawConverter fromText(std::string_view text);

    // Walks the drawing and gathers its triangles. A file cut short ends the
    // walk and keeps what was gathered. Throws DxfError (see above), also when
    // `cancelled` answers true.
    void Convert(const std::function<bool()>& cancelled = {});

    bool canRead() const { return reader.status() == dxfStatusGood; }
    std::size_t GetTriangleCount() const { return trList.size(); }
    const std::vector<TTriangle3D>& triangles() const { return trList; }

    // Inserts repeat the pairs of their blocks, nested blocks multiplying
    // them; a drawing whose inserts would repeat more pairs than this in total
    // is refused as soon as they pass it, in about two seconds and some
    // hundred megabytes, rather than after filling memory.
    void setWalkLimit(std::uint64_t pairs) { walkLimit = pairs; }
    static constexpr std::uint64_t defaultWalkLimit = 20'000'000;
    static constexpr std::size_t maxInsertDepth = 10;

  private:
    explicit TDxf2RawConverter(TDxfReader r) : reader(std::move(r)) {}

    struct Block {
        int pos = 0;      // index of the BLOCK pair
        DxfVector base{}; // base point, placed at the insertion point
    };
    // One active insert.
    struct InsertLevel {
        DxfVector insertPoint, scaleRatio, basePoint;
        double rotAngle = 0;
        TConvOCS2WCS extrConv;
        const Block* block = nullptr;
    };

    void next();
    void stepBack();
    void section();
    void blockScan();
    void entities(bool blockBody);
    void face();
    void polyline();
    void vertex();
    void insert();

    double number() const;
    std::size_t vertexIndex() const; // 1-based
    TPoint3D transform(const DxfVector& p) const;
    void addTriangle(const TPoint3D& a, const TPoint3D& b, const TPoint3D& c);

    TDxfReader reader;
    TDXFCommand dxfCmd;
    std::vector<TPoint3D> mVerticesList;
    std::vector<TTriangle3D> trList;
    std::unordered_map<std::string, Block> blockPosList; // by upper-case name
    std::vector<InsertLevel> insertStack;
    std::uint64_t walked = 0;   // pairs read, for the cancel check
    std::uint64_t repeated = 0; // pairs read inside inserted blocks
    std::uint64_t walkLimit = defaultWalkLimit;
    const std::function<bool()>* cancelled_ = nullptr;
};

} // namespace korvane
