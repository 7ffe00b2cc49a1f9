// Fuzzes the reading of OBJ, PLY, OFF, glTF and 3MF models through the
// loading thread's reader: the first byte chooses the format, the rest is the
// file. A file is read or refused with a reason; what is read is finite.
#include "FuzzFile.h"

#include "import/RAWodczytWatek.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const char* const names[] = {"m.obj", "m.ply", "m.off", "m.gltf", "m.3mf", "m.glb"};
    const auto file = korvane::fuzz::inputFile(names[data[0] % 6], data + 1, size - 1);
    try {
        const korvane::ReadModel model = korvane::readModelFile(file, 1);
        for (const auto& t : model.triangles)
            for (const auto& p : {t.a, t.b, t.c})
                if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) std::abort();
    } catch (const std::runtime_error&) {
        // Refused with its reason: the expected outcome for a damaged file.
    }
    return 0;
}
