#include "MachineOptions.h"

#include "foundation/NumberText.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "libraries/Operacje.h"
#include "machine/Identification.h"
#include "machine/MachineState.h"

#include <cstdio>
#include <strings.h>

namespace korvane::cli {

bool parseFirmware(const std::string& text) {
    unsigned major = 0, minor = 0, build = 0;
    char rest = 0;
    const int n = std::sscanf(text.c_str(), "%u.%u.%u%c", &major, &minor, &build, &rest);
    if (n < 2 || n > 3 || major > 255 || minor > 255 || build > 65535) return false;
    fwMajor = static_cast<std::uint16_t>(major);
    fwMinor = static_cast<std::uint16_t>(minor);
    fwBuild = static_cast<std::uint16_t>(n == 3 ? build : 0);
    return true;
}

bool identifyFromOptions(const CommandArgs& args) {
    const std::string product = args.value("--machine");
    if (!product.empty())
        plotstate.info1 = product;
    else
        loadCachedProduct();
    if (const std::string fw = args.value("--firmware"); !fw.empty() && !parseFirmware(fw)) {
        std::fprintf(stderr, "--firmware: expected X.Y.Z, got %s\n", fw.c_str());
        return false;
    }
    try {
        IdentifyMachine();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "machine identification: %s\n", e.what());
        return false;
    }
    return true;
}

bool safeHeightFromOptions(const CommandArgs& args) {
    safeHeight = 10.0;
    if (!args.has("--safe-height")) return true;
    const auto v = parseReal(args.value("--safe-height"));
    if (!v || *v <= 0) {
        std::fprintf(stderr, "--safe-height: expected a positive number of millimetres\n");
        return false;
    }
    safeHeight = *v;
    return true;
}

const TOperacjaDane* findOperation(const std::string& name) {
    if (!operationLibrary) return nullptr;
    for (const auto& o : operationLibrary->Lista)
        if (strcasecmp(o->nazwa.c_str(), name.c_str()) == 0) return o.get();
    return nullptr;
}

} // namespace korvane::cli
