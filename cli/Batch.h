#pragma once

#include "app/Glowny.h"
#include "foundation/UserInterface.h"

#include <string>
#include <vector>

// The batch program's side of the main window: the start sequence without a
// window, messages on standard error.
namespace korvane::cli {

// The command's own arguments (after the command name), with the program
// options (dataDir=..., language switches, ...) taken out.
struct CommandArgs {
    std::vector<std::string> words;
    bool has(std::string_view flag) const;
    // The value after `flag` ("--port 9999"); empty when absent.
    std::string value(std::string_view flag) const;
};

// Runs the start sequence for a batch command; false when it failed (the
// reason is on standard error).
bool startBatch();

class BatchUserInterface final : public UserInterface {
  public:
    void messageBox(const std::string& text, bool error, const std::string& caption,
                    bool rightToLeft) override;
    Button confirmation(const std::string& text, Buttons buttons) override;
};

} // namespace korvane::cli
