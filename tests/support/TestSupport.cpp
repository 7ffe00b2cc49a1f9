#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "machine/MachineModels.h"
#include "output/DaneWyjsciowe.h"
#include "platform/CodePage.h"

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
    setUserInterface(&ui);
    programArguments = std::move(arguments);
    exeFolder = KORVANE_EXE_DIR;
    texts.reset();
    settings = TUstawienia{};
    messageState = komunikat_stan{};
    operationTypes.clear();
    toolTypeNames = {};
    toolLibrary.reset();
    operationLibrary.reset();
    project.reset();
    outputReader.reset();
    modelExtents = TModel{};
    machineParams = machineModelTable().front().params;
    unitTable = {};
    closing = false;
    loggerOn = false;
    surfacingFraction = 0.05;
    setAnsiCodePage("WINDOWS-1252");
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
