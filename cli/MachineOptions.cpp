#include "MachineOptions.h"

#include "foundation/NumberText.h"
#include "foundation/TextCompare.h"
#include "libraries/LibraryState.h"

namespace korvane::cli {

std::optional<double> safeHeightOption(const CommandArgs& args) {
    if (!args.has("--safe-height")) return 10.0;
    const auto v = parseReal(args.value("--safe-height"));
    if (!v || *v <= 0) return std::nullopt;
    return *v;
}

std::optional<double> substrateOption(const CommandArgs& args) {
    if (!args.has("--substrate")) return 0.0;
    const auto v = parseReal(args.value("--substrate"));
    if (!v || *v < 0) return std::nullopt;
    return *v;
}

std::optional<long long> indexOption(const CommandArgs& args, const char* flag) {
    if (!args.has(flag)) return 0;
    const auto v = parseInteger(args.value(flag));
    if (!v || *v < 0) return std::nullopt;
    return *v;
}

const TOperacjaDane* findOperation(const std::string& name) {
    if (!operationLibrary) return nullptr;
    for (const auto& o : operationLibrary->Lista)
        if (sameText(o->nazwa, name)) return o.get();
    return nullptr;
}

} // namespace korvane::cli
