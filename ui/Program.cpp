#include "Program.h"
#include "ToolLengthDialog.h"

#include "control/BaseCheck.h"
#include "control/ToolMeasurement.h"
#include "foundation/State.h"
#include "machine/MachineLinks.h"
#include "platform/MainLoop.h"

#include <QApplication>

Program::Program(const std::vector<std::string>& arguments) {
    korvane::programArguments = arguments;
    korvane::setUserInterface(&ui_);
    loopBefore_ = korvane::setMainLoop(&loop_);
    window_ = std::make_unique<MainWindow>();
    ui_.setParent(window_.get());
    korvane::toolLengthDialog = [this] {
        QWidget* over = QApplication::activeWindow();
        return measureToolInWindow(over ? over : window_.get());
    };
}

Program::~Program() {
    // The links' threads post to the main loop: they end before it goes.
    korvane::closeMachineLinks();
    korvane::toolLengthDialog = nullptr;
    window_.reset();
    korvane::setUserInterface(nullptr);
    korvane::setMainLoop(loopBefore_);
}

bool Program::start() {
    korvane::baseCheck.configureFromSwitches();
    if (!window_->start()) return false;
    window_->showMaximized();
    return true;
}
