#pragma once
// Window tests save their pictures as build artefacts when KORVANE_ARTEFACTS
// names a folder, so a reviewer can look at what the test saw.

#include <QApplication>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace korvane::test {

inline void keepScreenshot(const QImage& image, const std::string& name) {
    if (const char* artefacts = std::getenv("KORVANE_ARTEFACTS")) {
        std::filesystem::create_directories(artefacts);
        image.save(QString("%1/%2.png").arg(artefacts).arg(name.c_str()));
    }
}

inline void keepScreenshot(QWidget& widget, const std::string& name) {
    keepScreenshot(widget.grab().toImage(), name);
}

// The widget as it shows once the pending events are handled.
inline void keepShown(QWidget& widget, const std::string& name) {
    QApplication::processEvents();
    keepScreenshot(widget, name);
}

} // namespace korvane::test
