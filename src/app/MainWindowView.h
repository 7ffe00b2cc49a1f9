#pragma once

#include "app/OperationPane.h"
#include "app/ToolPane.h"

#include <filesystem>
#include <optional>
#include <string>

namespace korvane {

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
    // Ends the program at once, without the shutdown's questions: a folder it
    // cannot work without could not be created (the message has been shown).
    virtual void endProgram() = 0;
};

} // namespace korvane
