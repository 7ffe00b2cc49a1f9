#include "DialogSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/State.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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

void FocusedLabels::addRow(QGridLayout* grid, QLabel* label, QWidget* field, const char* name) {
    label->setBuddy(field);
    field->setObjectName(name);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    add(field, label);
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

bool openManualOnF1(QKeyEvent* event, const std::string& topic) {
    if (event->key() != Qt::Key_F1) return false;
    openManual(topic);
    return true;
}

std::optional<std::string> askFile(QWidget* parent, const std::string& title,
                                   const std::filesystem::path& folder, const std::string& filter,
                                   FilePick pick, const std::string& defaultSuffix,
                                   const std::string& fileName) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    // Qt takes the patterns from the label's parentheses, separated by spaces:
    // they are made from the pattern part, whatever list the label shows.
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        if (const auto open = label.lastIndexOf('('); open > 0) label = label.left(open).trimmed();
        filters << label + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    }
    QFileDialog dialog(parent, QString::fromStdString(title),
                       QString::fromStdString(folder.string()));
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromStdString(defaultSuffix));
    dialog.setAcceptMode(pick == FilePick::save ? QFileDialog::AcceptSave
                                                : QFileDialog::AcceptOpen);
    dialog.setFileMode(pick == FilePick::existing ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
    // Whether to replace a file is the caller's to ask.
    if (pick == FilePick::save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!fileName.empty()) dialog.selectFile(QString::fromStdString(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

void setUpDialog(QWidget* dialog, const char* name, const QString& title) {
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
    applyDialogDirection(dialog);
}

QPushButton* dialogButton(const QString& caption, const char* name) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QDialogButtonBox* okCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QWidget* fileNameField(QLineEdit*& name, const char* nameName, QPushButton*& button,
                       const char* buttonName) {
    auto* field = new QWidget;
    auto* layout = new QHBoxLayout(field);
    layout->setContentsMargins(0, 0, 0, 0);
    name = new QLineEdit;
    name->setReadOnly(true);
    name->setObjectName(nameName);
    button = dialogButton("...", buttonName);
    layout->addWidget(name);
    layout->addWidget(button);
    return field;
}

void addFieldRow(QGridLayout* grid, int row, const QString& label, QWidget* field,
                 const char* name) {
    field->setObjectName(name);
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(field, row, 1);
}

QGroupBox* radioChoice(QWidget* dialog, const QString& title, const char* name,
                       const QStringList& items, const QString& prefix, QRadioButton** buttons,
                       std::function<void(int)> chosen) {
    auto* box = new QGroupBox(title);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(dialog);
    for (int i = 0; i < items.size(); ++i) {
        buttons[i] = new QRadioButton(items[i]);
        buttons[i]->setObjectName(prefix + QString::number(i));
        group->addButton(buttons[i], i);
        layout->addWidget(buttons[i]);
    }
    QObject::connect(group, &QButtonGroup::idClicked, dialog, std::move(chosen));
    return box;
}
