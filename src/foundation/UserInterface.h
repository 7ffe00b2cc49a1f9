#pragma once

#include <string>

// How the core talks to the person: the Qt front end shows real dialogs, the
// batch program prints, tests record.
namespace korvane {

enum class Button { Yes, No, Cancel, Ok };
enum class Buttons { YesNo, YesNoCancel };

class UserInterface {
  public:
    virtual ~UserInterface() = default;
    // A modal message box with an error or information icon; rightToLeft adds
    // right-to-left reading.
    virtual void messageBox(const std::string& text, bool error, const std::string& caption,
                            bool rightToLeft) = 0;
    // A confirmation with the question icon; returns the button pressed.
    virtual Button confirmation(const std::string& text, Buttons buttons) = 0;
};

// The interface in use; the program sets it first thing at start.
UserInterface& userInterface();
void setUserInterface(UserInterface* ui);

} // namespace korvane
