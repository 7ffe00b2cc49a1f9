#pragma once

#include "app/Glowny.h"
#include "foundation/UserInterface.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The batch program's side of the main window: the start sequence without a
// window, messages on standard error.
namespace korvane::cli {

// The command's own arguments (after the command name), with the program
// options (dataDir='...', language switches, ...) taken out.
struct CommandArgs {
    std::vector<std::string> words;
    bool has(std::string_view flag) const;
    // The value after `flag` ("--port 9999"); empty when absent.
    std::string value(std::string_view flag) const;
    // What is wrong with the words after the first one (the command's file):
    // "unknown argument W" or "W needs a value"; empty when each is one of the
    // flags with a value (`valued`) or one of the `switches`.
    std::string problem(std::initializer_list<std::string_view> valued,
                        std::initializer_list<std::string_view> switches) const;
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
