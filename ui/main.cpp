// korvane3d: the program's window.
#include "MainWindow.h"
#include "QtMainLoop.h"
#include "QtUserInterface.h"
#include "ToolLengthDialog.h"

#include "control/BaseCheck.h"
#include "control/ToolMeasurement.h"
#include "foundation/State.h"

#include <QApplication>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) korvane::programArguments.push_back(argv[i]);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Korvane3D");

    QtUserInterface ui;
    korvane::setUserInterface(&ui);
    QtMainLoop loop;
    korvane::setMainLoop(&loop);

    MainWindow window;
    ui.setParent(&window);
    korvane::toolLengthDialog = [&window] {
        QWidget* over = QApplication::activeWindow();
        return measureToolInWindow(over ? over : &window);
    };
    korvane::baseCheck.configureFromSwitches();
    if (!window.start()) return 1;
    window.showMaximized();
    const int rc = app.exec();
    korvane::setUserInterface(nullptr);
    return rc;
}
