#pragma once

#include "foundation/UserInterface.h"

class QWidget;

// Message boxes and confirmations as Qt dialogs, owned by the main window.
class QtUserInterface final : public korvane::UserInterface {
  public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void messageBox(const std::string& text, bool error, const std::string& caption,
                    bool rightToLeft) override;
    korvane::Button confirmation(const std::string& text, korvane::Buttons buttons) override;

  private:
    QWidget* parent_ = nullptr;
};
