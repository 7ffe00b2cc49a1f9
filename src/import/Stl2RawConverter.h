#pragma once

#include "import/RawReader.h"

#include <filesystem>
#include <string_view>
#include <vector>

// Reads an STL mesh, text or binary, into triangles. Every facet is stored
// with its winding turned to agree with the normal given in the file.
namespace korvane {

class LineReader;

class TStl2RawConverter {
  public:
    explicit TStl2RawConverter(std::filesystem::path strStlFileName);

    // Reads the file in large blocks, never holding it whole; throws
    // std::runtime_error when it cannot be read. A malformed text file ends
    // the reading quietly, keeping the facets read.
    void Convert();
    // The same on the file's bytes already in memory.
    void convertBytes(std::string_view bytes);

    std::size_t GetTriangleCount() const { return trList.size(); }
    const std::vector<TTriangle3D>& triangles() const { return trList; }

  private:
    void readFacets(const char* facets, std::size_t count);
    void readText(LineReader& lines);
    void store(const TPoint3D& normal);

    TTriangle3D tr;
    std::vector<TTriangle3D> trList;
    std::filesystem::path fileName;
};

// True when a file of `fileSize` bytes starting with `header` (its first 84
// bytes) is exactly a binary STL of at least one facet: 84 bytes of header and
// count, then 50 bytes per counted facet.
bool isExactBinaryStl(std::string_view header, std::size_t fileSize);

} // namespace korvane
