#pragma once

#include "Batch.h"

#include <map>
#include <string>

// The batch program's commands. Each command's file registers itself with one
// CommandRegistration; its function returns the process exit code.
namespace korvane::cli {

struct Command {
    int (*run)(const CommandArgs&);
    std::string usage; // "name ARGS    what it does"
};

// Every registered command by name.
std::map<std::string, Command>& commandTable();

struct CommandRegistration {
    CommandRegistration(const std::string& name, const std::string& usage,
                        int (*run)(const CommandArgs&)) {
        commandTable()[name] = Command{run, usage};
    }
};

} // namespace korvane::cli
