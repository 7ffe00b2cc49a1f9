#include "TestSupport.h"

#include "StateReset.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

namespace korvane::test {

void RecordingUserInterface::messageBox(const std::string& text, bool error,
                                        const std::string& caption, bool rightToLeft) {
    messages.push_back({text, error, caption});
    lastRightToLeft = rightToLeft;
}

Button RecordingUserInterface::confirmation(const std::string& text, Buttons) {
    questions.push_back(text);
    return answer;
}

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("korvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void resetState(RecordingUserInterface& ui, std::vector<std::string> arguments) {
    resetProcessState();
    setUserInterface(&ui);
    programArguments = std::move(arguments);
}

void loadTexts(const std::string& languageSwitch) {
    programArguments.push_back(languageSwitch);
    texts = std::make_unique<tInterfejs>(1);
    programArguments.pop_back();
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace korvane::test
