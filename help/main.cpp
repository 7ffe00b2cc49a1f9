// korvane_manual SOURCE.md OUTPUT.pdf FONT_FILE...
// Lays out one language's operator's manual from its Markdown source and writes
// it as a PDF. The fonts are files, in order of preference: the first family
// sets the body text, the others give the characters it lacks.

#include "ManualDocument.h"
#include "ManualPdf.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: korvane_manual SOURCE.md OUTPUT.pdf FONT_FILE...\n";
        return 2;
    }
    // No display is needed to lay out text and write a PDF.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    korvane::manual::ManualSource source{QString::fromLocal8Bit(argv[1]), {}};
    for (int i = 3; i < argc; ++i) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[i]));
        if (id < 0) {
            std::cerr << "korvane_manual: cannot load the font " << argv[i] << '\n';
            return 1;
        }
        for (const QString& family : QFontDatabase::applicationFontFamilies(id))
            if (!source.fontFamilies.contains(family)) source.fontFamilies << family;
    }
    try {
        const auto document = korvane::manual::layOutManual(source);
        korvane::manual::writePdf(*document, QString::fromLocal8Bit(argv[2]));
    } catch (const std::exception& e) {
        std::cerr << "korvane_manual: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
