#include "DialogSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <QApplication>

using namespace korvane;

void applyDialogDirection(QWidget* dialog) {
    dialog->setLayoutDirection(texts && texts->arabski ? Qt::RightToLeft : Qt::LeftToRight);
}

FocusedLabels::FocusedLabels(QWidget* dialog) : QObject(dialog) {
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusedLabels::add(QWidget* field, QLabel* label) {
    pairs_.emplace_back(field, label);
}

void FocusedLabels::follow(QWidget* now) {
    for (auto& [field, label] : pairs_) {
        const bool focused = now && (now == field || field->isAncestorOf(now));
        QFont font = label->font();
        if (font.bold() != focused) {
            font.setBold(focused);
            label->setFont(font);
        }
    }
}

QString unitCaption(const std::string& caption, bool speed) {
    const int unit =
        settings.jednostkaMiary >= 0 && settings.jednostkaMiary <= 2 ? settings.jednostkaMiary : 0;
    return QString::fromStdString(caption + " [" + unitTable[static_cast<std::size_t>(unit)].skrot +
                                  (speed ? "/min]" : "]"));
}
