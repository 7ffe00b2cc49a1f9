#include "Batch.h"
#include "Commands.h"

#include "platform/MainLoop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace korvane::cli {

namespace {

// How long the start sequence's opening of a project's model may take.
constexpr std::chrono::minutes startLoadDeadline{10};

class BatchView final : public MainWindowView {
  public:
    void applyTexts() override {}
    void setCaption(const std::string&) override {}
    void setRightToLeft(bool) override {}
    void applyViewSettings(int, int, double, bool) override {}
    void showOldPreviewPage(bool) override {}
    void showStatus(int, const std::string&) override {}
    std::optional<std::string> askOpenFileName(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> askSaveFileName(const FileDialogRequest&) override { return {}; }
    void lockModelView(bool) override {}
    void showModel() override {}
    void clearModelView() override {}
    void showStockModel() override {}
    void showOutputFile(const std::filesystem::path&) override {}
    void setBuildCommandsEnabled(bool) override {}
    void showProgress(int) override {}
    void showOutputs(const std::vector<std::string>&, int) override {}
    void enableOutputList(bool) override {}
    void showModelPath(const std::string&, const std::string&) override {}
    void showMaterialPath(const std::string&, const std::string&) override {}
    void showModelPage(const std::filesystem::path&) override {}
    // No window to ask in: the relief dialog counts as cancelled.
    bool editBitmapRelief(TFormBMP&) override { return false; }
    bool editTool(const TFrezDane*, int) override { return false; }
    std::optional<bool> showMaterialDialog(const TModel&) override { return std::nullopt; }
    bool showConfigurationDialog(bool) override { return false; }
    std::optional<std::string> editOperation(const TOperacjaDane*, int) override {
        return std::nullopt;
    }
    void beepThreeTimes() override {}
    bool saveOldPreview(const std::filesystem::path&) override { return false; }
    // A folder the program cannot work without is missing (the message has
    // been shown): the command ends as a failure.
    void endProgram() override { std::exit(1); }
    void showTools(const std::vector<std::string>&, int) override {}
    void showToolDescription(const std::string&) override {}
    void enableToolCommands(bool, bool) override {}
    void showOperations(const TCheckListBoxExt&, int) override {}
    void enableOperationCommands(bool, bool) override {}
    void enableBuild(bool) override {}
};

} // namespace

std::map<std::string, Command>& commandTable() {
    static std::map<std::string, Command> table;
    return table;
}

bool CommandArgs::has(std::string_view flag) const {
    return std::find(words.begin(), words.end(), flag) != words.end();
}

std::string CommandArgs::value(std::string_view flag) const {
    auto it = std::find(words.begin(), words.end(), flag);
    if (it == words.end() || std::next(it) == words.end()) return {};
    return *std::next(it);
}

std::string CommandArgs::problem(std::initializer_list<std::string_view> valued,
                                 std::initializer_list<std::string_view> switches) const {
    auto among = [](std::string_view word, std::initializer_list<std::string_view> flags) {
        return std::find(flags.begin(), flags.end(), word) != flags.end();
    };
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (among(words[i], switches)) continue;
        if (!among(words[i], valued)) return "unknown argument " + words[i];
        if (++i == words.size()) return words[i - 1] + " needs a value";
    }
    return {};
}

bool startBatch() {
    static BatchView view;
    static TfGlowny window(view, false);
    if (!window.FormCreate()) return false;
    // The start sequence opens the project named on the command line (or the
    // last one) with its model and stock rasters on threads. The commands load
    // what they need themselves: let that chain end first, so that two loads
    // never write the same raster layers at once.
    ModelOpening& opening = window.modelOpening();
    if (!queueMainLoop().runUntil(
            [&] { return !opening.modelRasterComing() && !opening.stockComing(); },
            startLoadDeadline)) {
        std::fprintf(stderr, "the project's model did not load within %d minutes\n",
                     static_cast<int>(startLoadDeadline.count()));
        return false;
    }
    return true;
}

void BatchUserInterface::messageBox(const std::string& text, bool, const std::string& caption,
                                    bool) {
    std::string oneLine = text;
    std::replace(oneLine.begin(), oneLine.end(), '\r', ' ');
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), oneLine.c_str());
}

Button BatchUserInterface::confirmation(const std::string& text, Buttons) {
    std::fprintf(stderr, "%s [answered no: batch mode]\n", text.c_str());
    return Button::No;
}

} // namespace korvane::cli
