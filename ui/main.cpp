// korvane3d: the program's window.
#include "Program.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Korvane3D");
    Program program(std::vector<std::string>(argv + 1, argv + argc));
    if (!program.start()) return 1;
    return app.exec();
}
