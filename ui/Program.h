#pragma once

#include "MainWindow.h"
#include "QtMainLoop.h"
#include "QtUserInterface.h"

#include <memory>
#include <string>
#include <vector>

// The program as it starts: its command-line words, the message boxes and the
// main loop of Qt, the main window with its control panel and machine links,
// and the tool length dialog. main() runs it; the window tests start it the
// same way.
class Program {
  public:
    // Takes the words of the command line after the program's name.
    explicit Program(const std::vector<std::string>& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The start sequence, then the window shown maximised; false when the
    // program must end (a second copy, an unusable data folder or language).
    bool start();
    MainWindow& window() { return *window_; }

  private:
    QtUserInterface ui_;
    QtMainLoop loop_;
    korvane::MainLoop* loopBefore_ = nullptr;
    std::unique_ptr<MainWindow> window_;
};
