#pragma once
// Driving the program as an operator does in the window tests: acting in a
// modal window once it has come up, typing over a field after a click
// into it, clicking a row of a list.

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace korvane::test {

// While it lives, runs `act` once on the first modal window accepted by
// `match`. A window that did not come up by the end of its scope fails the
// test; one still open after the deadline is closed, so that no test hangs on
// a window it did not expect.
class OnModal {
  public:
    OnModal(std::function<bool(QWidget&)> match, std::function<void(QWidget&)> act)
        : match_(std::move(match)), act_(std::move(act)),
          deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(60)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible() && match_(*modal)) {
                poll_.stop();
                fired_ = true;
                act_(*modal);
            } else if (std::chrono::steady_clock::now() > deadline_) {
                poll_.stop();
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            }
        });
        poll_.start(10);
    }
    ~OnModal() { EXPECT_TRUE(fired_) << "the window did not come up"; }
    OnModal(const OnModal&) = delete;
    OnModal& operator=(const OnModal&) = delete;

  private:
    std::function<bool(QWidget&)> match_;
    std::function<void(QWidget&)> act_;
    std::chrono::steady_clock::time_point deadline_;
    QTimer poll_;
    bool fired_ = false;
};

inline bool named(QWidget& w, const char* name) {
    return w.objectName() == name;
}

inline bool isMessageBox(QWidget& w) {
    return qobject_cast<QMessageBox*>(&w) != nullptr;
}

// Clicks into a field, selects what it holds and types `text` over it.
inline void typeOver(QWidget* field, const QString& text) {
    QWidget* edit = field;
    if (auto* line = field->findChild<QLineEdit*>()) edit = line;
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// A click on entry `row` of a list.
inline void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

} // namespace korvane::test
