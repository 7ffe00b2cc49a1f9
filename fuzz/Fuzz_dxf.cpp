// Fuzzes the DXF reader and converter: faces, meshes, inserts, damaged files.
#include "import/Dxf2RawConverter.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto converter = korvane::TDxf2RawConverter::fromText(
        std::string_view(reinterpret_cast<const char*>(data), size));
    // Inserts may repeat blocks; keep each run short.
    converter.setWalkLimit(200'000);
    try {
        converter.Convert();
    } catch (const korvane::DxfError&) {
        // A malformed drawing is refused with a reason: the expected outcome.
    }
    return 0;
}
