#include "Batch.h"
#include "Commands.h"
#include "RecordFields.h"

#include "foundation/State.h"
#include "libraries/LibraryState.h"

#include <cstdio>

namespace korvane::cli {

namespace {

int runTools(const CommandArgs& args) {
    if (!startBatch()) return 1;
    if (args.has("--json")) {
        Json tools = Json::array();
        for (const auto& t : toolLibrary->Lista) addFields(tools.emplace_back(), toolFields(*t));
        printJson(tools);
        return 0;
    }
    for (std::size_t i = 0; i < toolLibrary->Lista.size(); ++i) {
        std::printf("%s\n", toolLibrary->Lista[i]->nazwa.c_str());
        for (const auto& [name, value] : toolFields(*toolLibrary->Lista[i]))
            if (name != "nazwa") std::printf("  %-6s %s\n", name.c_str(), fieldText(value).c_str());
        std::string description =
            toolLibrary->dajOpisFrezaNaPodstIndeksu(static_cast<int>(i), false);
        for (char& c : description)
            if (c == '\n' || c == '\r') c = ' ';
        std::printf("  %s\n", description.c_str());
    }
    return 0;
}

const CommandRegistration tools{
    "tools", "tools [--json]           the tool library in library order", runTools};

} // namespace

} // namespace korvane::cli
