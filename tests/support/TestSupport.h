#pragma once

#include "foundation/UserInterface.h"

#include <filesystem>
#include <string>
#include <vector>

// Shared helpers of the tests: a recording user interface, temporary folders,
// and a clean process-wide state.
namespace korvane::test {

struct RecordedMessage {
    std::string text;
    bool error = false;
    std::string caption;
};

// Records every message box and answers confirmations with a preset button.
class RecordingUserInterface final : public UserInterface {
  public:
    void messageBox(const std::string& text, bool error, const std::string& caption,
                    bool rightToLeft) override;
    Button confirmation(const std::string& text, Buttons buttons) override;

    std::vector<RecordedMessage> messages;
    std::vector<std::string> questions;
    Button answer = Button::Yes;
    bool lastRightToLeft = false;
};

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Resets the process-wide state to a freshly started program: exeFolder is the
// build's program folder, the arguments are `arguments`, messages go to `ui`.
void resetState(RecordingUserInterface& ui, std::vector<std::string> arguments = {});

// Creates the text catalogue for a language switch ("US", "PL", ...).
void loadTexts(const std::string& languageSwitch = "US");

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace korvane::test
