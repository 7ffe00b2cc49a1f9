#pragma once

#include "app/MainWindowView.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A main window for tests: remembers what the logic shows and answers the file
// dialogs from a queue (an empty queue cancels).
namespace korvane::test {

class RecordingView : public MainWindowView {
  public:
    void applyTexts() override {}
    void setCaption(const std::string& text) override { caption = text; }
    void setRightToLeft(bool) override {}
    void applyViewSettings(int, int, double, bool) override {}
    void showOldPreviewPage(bool) override {}
    void lockModelView(bool locked) override { modelViewLocked = locked; }
    void showModel() override { ++modelShown; }
    void clearModelView() override { ++modelViewCleared; }
    void showStockModel() override { ++stockModelShown; }
    void showOutputFile(const std::filesystem::path& file) override {
        outputFilesShown.push_back(file);
    }
    void setBuildCommandsEnabled(bool on) override { buildCommandsEnabled = on; }
    void showProgress(int position) override { progress.push_back(position); }
    void showOutputs(const std::vector<std::string>& names, int selected) override {
        outputs = names;
        outputSelected = selected;
    }
    void enableOutputList(bool on) override { outputListEnabled = on; }
    void showModelPath(const std::string& text, const std::string&) override { modelPath = text; }
    void showMaterialPath(const std::string& text, const std::string&) override {
        materialPath = text;
    }
    void showModelPage(const std::filesystem::path& file) override { picture = file; }
    bool editBitmapRelief(TFormBMP& form) override {
        return bitmapDialog ? bitmapDialog(form) : false;
    }
    std::optional<bool> showMaterialDialog(const TModel& extents) override {
        return materialDialog ? materialDialog(extents) : std::nullopt;
    }
    bool showConfigurationDialog(bool calibrationPage) override {
        return configurationDialog ? configurationDialog(calibrationPage) : false;
    }
    bool editTool(const TFrezDane* tool, int index) override {
        return toolDialog ? toolDialog(tool, index) : false;
    }
    std::optional<std::string> editOperation(const TOperacjaDane* operation, int index) override {
        return operationDialog ? operationDialog(operation, index) : std::nullopt;
    }
    void beepThreeTimes() override { ++beeps; }
    bool saveOldPreview(const std::filesystem::path& file) override {
        savedPreviews.push_back(file);
        return true;
    }
    void showStatus(int panel, const std::string& text) override;
    std::optional<std::string> askOpenFileName(const FileDialogRequest& request) override;
    std::optional<std::string> askSaveFileName(const FileDialogRequest& request) override;
    void endProgram() override { ended = true; }
    void showTools(const std::vector<std::string>& names, int selected) override;
    void showToolDescription(const std::string& text) override { toolDescription = text; }
    void enableToolCommands(bool add, bool editAndDelete) override {
        toolAddEnabled = add;
        toolCommandsEnabled = editAndDelete;
    }
    void showOperations(const TCheckListBoxExt& list, int selected) override;
    void enableOperationCommands(bool add, bool editAndDelete) override {
        operationAddEnabled = add;
        operationCommandsEnabled = editAndDelete;
    }
    void enableBuild(bool on) override { buildEnabled = on; }

    std::string caption;
    std::string status[3];
    std::vector<std::string> statusTexts; // every text of status panel 0, in order
    std::vector<std::string> tools;
    int toolSelected = -1;
    std::string toolDescription;
    bool toolAddEnabled = false;
    bool toolCommandsEnabled = false; // edit and delete
    std::vector<std::string> operations;
    std::vector<bool> checked; // checked or grayed, per shown operation
    int operationSelected = -1;
    bool operationAddEnabled = false;
    bool operationCommandsEnabled = false; // edit and delete
    bool buildEnabled = false;
    bool ended = false; // endProgram was called
    bool modelViewLocked = false;
    int modelShown = 0;       // showModel calls
    int modelViewCleared = 0; // clearModelView calls
    int stockModelShown = 0;  // showStockModel calls
    std::vector<std::filesystem::path> outputFilesShown;
    bool buildCommandsEnabled = true;
    std::vector<int> progress; // every position shown, -1 when removed
    std::vector<std::string> outputs;
    int outputSelected = -1;
    bool outputListEnabled = true;
    std::string modelPath, materialPath;
    std::filesystem::path picture;               // shown in place of the model view
    std::function<bool(TFormBMP&)> bitmapDialog; // answers the relief dialog; none cancels
    // Answer the material, tool and operation dialogs; none cancels.
    std::function<std::optional<bool>(const TModel&)> materialDialog;
    std::function<bool(bool)> configurationDialog;
    std::function<bool(const TFrezDane*, int)> toolDialog;
    std::function<std::optional<std::string>(const TOperacjaDane*, int)> operationDialog;
    int beeps = 0;
    std::vector<std::filesystem::path> savedPreviews;

    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<FileDialogRequest> openRequests, saveRequests;

  private:
    std::optional<std::string> nextAnswer();
};

} // namespace korvane::test
