#include "Batch.h"
#include "Commands.h"
#include "RecordFields.h"

#include "foundation/State.h"
#include "libraries/LibraryState.h"

#include <cstdio>

namespace korvane::cli {

namespace {

int runOperations(const CommandArgs& args) {
    if (!startBatch()) return 1;
    if (args.has("--json")) {
        Json operations = Json::array();
        for (const auto& o : operationLibrary->Lista)
            addFields(operations.emplace_back(), operationFields(*o));
        printJson(operations);
        return 0;
    }
    for (const auto& o : operationLibrary->Lista) {
        std::printf("%s\n", o->nazwa.c_str());
        for (const auto& [name, value] : operationFields(*o))
            if (name != "nazwa")
                std::printf("  %-20s %s\n", name.c_str(), fieldText(value).c_str());
    }
    return 0;
}

const CommandRegistration operations{
    "operations", "operations [--json]      the operation library in library order", runOperations};

} // namespace

} // namespace korvane::cli
