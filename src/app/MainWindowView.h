#pragma once

#include "app/OperationPane.h"
#include "app/ToolPane.h"
#include "foundation/Records.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

class TFormBMP;

// What an open or save dialog shows. The filter is written as pairs
// "description|pattern|description|pattern".
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string defaultExtension; // added to a name given without one
    std::filesystem::path initialFolder;
    std::string fileName; // preset name, without folder
};

// What the main window's logic asks of the window that shows it.
class MainWindowView : public ToolPaneView, public OperationPaneView {
  public:
    // Captions and hints of every control, from the text catalogue.
    virtual void applyTexts() = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setRightToLeft(bool rightToLeft) = 0;
    // Model colour (0x00BBGGRR), drawing style 0..2, shininess, coordinate axes.
    virtual void applyViewSettings(int colour, int style, double shininess, bool axes) = 0;
    // The page with the old-style output preview.
    virtual void showOldPreviewPage(bool shown) = 0;
    // The model view is locked while a model loads: it is neither drawn nor
    // navigated until unlocked.
    virtual void lockModelView(bool locked) = 0;
    // Shows modelTriangles on the model view, framed by modelExtents in x and y.
    virtual void showModel() = 0;
    // Empties the model view; modelTriangles stay as they are.
    virtual void clearModelView() = 0;
    // Shows materialTriangles on the stock view, framed by materialExtents.
    virtual void showStockModel() = 0;
    // Shows an output file (an output-list click): reads it into outputReader,
    // resets the model view and the output preview, loads the figures into the
    // preview and draws the old-style preview image.
    virtual void showOutputFile(const std::filesystem::path& file) = 0;
    // Status panel 0, 1 or 2 (2 holds the project path, shortened to fit).
    virtual void showStatus(int panel, const std::string& text) = 0;
    // Modal file dialogs; nullopt when cancelled.
    virtual std::optional<std::string> askOpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> askSaveFileName(const FileDialogRequest& request) = 0;
    // The build button and menu item, the project-open, model-open and examples
    // items together; the abort commands are enabled exactly while they are not.
    virtual void setBuildCommandsEnabled(bool enabled) = 0;
    // The progress bar over status panel 0 at `position` of 0..8; -1 removes it.
    virtual void showProgress(int position) = 0;
    // The output list: the names in order, `selected` -1 for none; the output
    // file commands are enabled exactly while one is selected.
    virtual void showOutputs(const std::vector<std::string>& names, int selected) = 0;
    virtual void enableOutputList(bool enabled) = 0;
    // The model and material path labels: the text shortened to fit, `hint` in
    // full as the hint.
    virtual void showModelPath(const std::string& text, const std::string& hint) = 0;
    virtual void showMaterialPath(const std::string& text, const std::string& hint) = 0;
    // The model page, showing the picture of a bitmap relief in place of the
    // model view (an empty file: the model view).
    virtual void showModelPage(const std::filesystem::path& picture) = 0;
    // The bitmap relief dialog, modal; true when it ended with OK.
    virtual bool editBitmapRelief(TFormBMP& form) = 0;
    // The material dialog over a model of `extents`, modal: nullopt when it
    // saved nothing, else whether the stock file changed.
    virtual std::optional<bool> showMaterialDialog(const TModel& extents) = 0;
    // The configuration dialog, modal, on its calibration page when asked;
    // true when it saved the settings.
    virtual bool showConfigurationDialog(bool calibrationPage) = 0;
    // Saves the old-style preview image as a BMP or JPEG file (by the
    // extension); false when it could not be written.
    virtual bool saveOldPreview(const std::filesystem::path& file) = 0;
    // The end of a build: three beeps 200 ms apart.
    virtual void beepThreeTimes() = 0;
    // Ends the program at once, without the shutdown's questions: a folder it
    // cannot work without could not be created (the message has been shown).
    virtual void endProgram() = 0;
};

} // namespace korvane
