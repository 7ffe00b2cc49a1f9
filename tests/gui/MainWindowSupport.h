#pragma once
// The main window as the window tests start it: a fresh program state, the
// data folder of the test, the single-instance lock in a folder of its own;
// dropping files on it and closing it past the question for an unsaved
// project's name.

#include "MainWindow.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace korvane::test {

inline const std::filesystem::path sampleFolder =
    std::filesystem::path(KORVANE_SOURCE_DIR) / "samples";

// Turns the event loop until `done` holds or the deadline passes.
inline bool waitFor(const std::function<bool()>& done,
                    std::chrono::seconds deadline = std::chrono::seconds(600)) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class StartedMainWindow {
  public:
    // Resets the program state with `arguments` and `data` as the data folder,
    // then starts the window and shows it.
    StartedMainWindow(RecordingUserInterface& ui, const std::filesystem::path& data,
                      std::vector<std::string> arguments = {"US"}, bool singleInstance = false)
        : ui_(ui) {
        setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
        arguments.push_back("dataDir='" + data.string() + "'");
        resetState(ui, arguments);
        window_ = std::make_unique<MainWindow>(singleInstance);
        started_ = window_->start();
        if (!started_) return;
        window_->show();
        QApplication::processEvents();
    }

    // Makes the window the active one, as when the user clicks it: the list
    // that takes the focus gets a current row.
    void activate() {
        QApplication::setActiveWindow(window_.get());
        QApplication::processEvents();
    }

    // Whether the window started; failure() says why when it did not.
    bool started() const { return started_; }
    std::string failure() const { return ui_.messages.empty() ? "" : ui_.messages.back().text; }
    MainWindow& window() { return *window_; }

  private:
    RecordingUserInterface& ui_;
    TempDir runtime_;
    std::unique_ptr<MainWindow> window_;
    bool started_ = false;
};

// Drops `file` on the window as a user drags it from a file manager.
inline void dropFile(MainWindow& window, const std::filesystem::path& file) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted()) << file;
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
}

// Waits until the model being opened is loaded and rasterised.
inline bool modelReady(MainWindow& window) {
    return waitFor([&] {
        return !window.logic().modelOpening().loading() &&
               !window.logic().modelOpening().modelRasterComing();
    });
}

// Drops the sample model on the window and waits until it is shown.
inline void dropSampleModel(MainWindow& window) {
    ASSERT_NO_FATAL_FAILURE(dropFile(window, sampleFolder / "Sample.stl"));
    ASSERT_TRUE(modelReady(window));
    QApplication::processEvents();
}

// Closes the window, cancelling the question for an unsaved project's name.
inline bool closeCancellingTheName(MainWindow& window) {
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    cancel.start(10);
    return window.close();
}

} // namespace korvane::test
