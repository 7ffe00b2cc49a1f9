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
