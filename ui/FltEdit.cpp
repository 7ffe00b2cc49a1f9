#include "FltEdit.h"
#include "NumPadForm.h"

#include "foundation/CommandLine.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

using namespace korvane;

TFltEdit::TFltEdit(FltField& field, QWidget* parent) : QAbstractSpinBox(parent), field_(field) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setKeyboardTracking(true);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        field_.setText(text.toStdString());
        emit edited();
    });
    refresh();
}

void TFltEdit::refresh() {
    const QString text = QString::fromStdString(field_.text());
    if (lineEdit()->text() != text) lineEdit()->setText(text);
}

QAbstractSpinBox::StepEnabled TFltEdit::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

void TFltEdit::stepBy(int steps) {
    for (int i = 0; i < std::abs(steps); ++i)
        if (!field_.spin(steps > 0, !isReadOnly() && isEnabled())) {
            QApplication::beep();
            return;
        }
    refresh();
    emit edited();
}

void TFltEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool printable = text.size() == 1 && text[0].isPrint();
    if (!printable || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QAbstractSpinBox::keyPressEvent(event);
        return;
    }
    const char typed = text[0].unicode() < 0x80 ? static_cast<char>(text[0].unicode()) : '?';
    const bool numPadDecimal = (event->modifiers() & Qt::KeypadModifier) &&
                               (event->key() == Qt::Key_Period || event->key() == Qt::Key_Comma);
    const KeyVerdict verdict = field_.key(typed, numPadDecimal, !isReadOnly());
    if (!verdict.accepted) {
        QApplication::beep();
        event->accept();
        return;
    }
    lineEdit()->insert(QString(QChar(verdict.character)));
    field_.setText(lineEdit()->text().toStdString());
    emit edited();
    event->accept();
}

void TFltEdit::focusOutEvent(QFocusEvent* event) {
    field_.setText(lineEdit()->text().toStdString());
    field_.leave();
    refresh();
    QAbstractSpinBox::focusOutEvent(event);
}

void TFltEdit::wheelEvent(QWheelEvent* event) {
    // The wheel turned down spins up.
    const int delta = event->angleDelta().y();
    if (delta != 0) stepBy(delta < 0 ? 1 : -1);
    event->accept();
}

bool TFltEdit::eventFilter(QObject* watched, QEvent* event) {
    const bool oneClick = field_.fJedenKlikKalkulator && event->type() == QEvent::MouseButtonPress;
    const bool doubleClick =
        !field_.fJedenKlikKalkulator && event->type() == QEvent::MouseButtonDblClick;
    if (watched == lineEdit() && (oneClick || doubleClick) && !isReadOnly() && isEnabled()) {
        openNumPad();
        return true;
    }
    return QAbstractSpinBox::eventFilter(watched, event);
}

void TFltEdit::openNumPad() {
    TNumPadForm pad(field_.fBigNumPad, this);
    pad.placeOver(this);
    if (pad.exec() != QDialog::Accepted) return;
    field_.setText(pad.entry().text());
    field_.leave();
    refresh();
    emit edited();
}

void applyTouchMode(QWidget* form) {
    if (!hasSwitch("touchPanel")) return;
    for (TFltEdit* f : form->findChildren<TFltEdit*>()) {
        f->field().fBigNumPad = true;
        f->field().fJedenKlikKalkulator = true;
    }
}
