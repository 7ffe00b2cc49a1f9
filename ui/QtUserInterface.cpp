#include "QtUserInterface.h"

#include <QMessageBox>

void QtUserInterface::messageBox(const std::string& text, bool error, const std::string& caption,
                                 bool rightToLeft) {
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information,
                    QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    parent_);
    if (rightToLeft) box.setLayoutDirection(Qt::RightToLeft);
    box.exec();
}

korvane::Button QtUserInterface::confirmation(const std::string& text, korvane::Buttons buttons) {
    auto standard = QMessageBox::Yes | QMessageBox::No;
    if (buttons == korvane::Buttons::YesNoCancel) standard |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, QString(), QString::fromStdString(text), standard,
                    parent_);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return korvane::Button::Yes;
    case QMessageBox::No:
        return korvane::Button::No;
    default:
        return korvane::Button::Cancel;
    }
}
