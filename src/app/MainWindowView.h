#pragma once

#include <string>

namespace korvane {

// What the main window's logic asks of the window that shows it.
class MainWindowView {
  public:
    virtual ~MainWindowView() = default;
    // Captions and hints of every control, from the text catalogue.
    virtual void applyTexts() = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setRightToLeft(bool rightToLeft) = 0;
    // Model colour (0x00BBGGRR), drawing style 0..2, shininess, coordinate axes.
    virtual void applyViewSettings(int colour, int style, double shininess, bool axes) = 0;
    // The page with the old-style output preview.
    virtual void showOldPreviewPage(bool shown) = 0;
};

} // namespace korvane
