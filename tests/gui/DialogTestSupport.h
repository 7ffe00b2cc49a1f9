#pragma once
// Filling dialogs as a user does in the window tests: typing into a field,
// pressing a button with the space bar, reading what a numeric field shows.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QString>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace korvane::test {

// The child of `w` named `name`; a missing one fails the test.
template <class T> T* child(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Replaces what `field` holds with `text`, typed key by key.
inline void typeInto(QWidget* field, const QString& text) {
    field->setFocus();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) {
        spin->findChild<QLineEdit*>()->selectAll();
        QTest::keyClick(spin, Qt::Key_Delete);
    } else if (auto* line = qobject_cast<QLineEdit*>(field)) {
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
    }
    QTest::keyClicks(field, text);
}

// A radio button or check box pressed with the space bar.
inline void press(QAbstractButton* button) {
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
}

// The text the numeric field named `name` shows.
inline QString fieldText(QWidget& w, const char* name) {
    return w.findChild<QAbstractSpinBox*>(name)->findChild<QLineEdit*>()->text();
}

} // namespace korvane::test
