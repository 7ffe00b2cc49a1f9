// korvane3d-cli: the program without a window.
#include "Batch.h"
#include "Commands.h"

#include "foundation/State.h"
#include "foundation/UserInterface.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace korvane;
using namespace korvane::cli;

namespace {

void printUsage() {
    std::fprintf(stderr, "usage: korvane3d-cli [OPTION...] COMMAND [ARG...]\n\ncommands:\n");
    for (const auto& [name, command] : commandTable())
        std::fprintf(stderr, "  %s\n", command.usage.c_str());
    std::fprintf(
        stderr,
        "\noptions (anywhere before the command):\n"
        "  dataDir=FOLDER           data folder instead of ~/.local/share/Vardimon/Korvane3D\n"
        "  US PL RU CN SK IT ES SA FR   interface language\n"
        "  loggerOn                 write Raport.txt\n");
}

} // namespace

int main(int argc, char** argv) {
    static BatchUserInterface ui;
    setUserInterface(&ui);

    // Everything before the command is a program option; the command's own
    // arguments follow it. Both are visible to the option lookups, as in the window.
    const Command* command = nullptr;
    CommandArgs args;
    for (int i = 1; i < argc; ++i) {
        programArguments.push_back(argv[i]);
        if (command) {
            args.words.push_back(argv[i]);
            continue;
        }
        if (auto it = commandTable().find(argv[i]); it != commandTable().end())
            command = &it->second;
        else if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            printUsage();
            return 0;
        }
    }
    if (!command) {
        printUsage();
        return 2;
    }
    return command->run(args);
}
