#pragma once

#include <QLabel>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QDialogButtonBox;
class QGridLayout;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What every editing dialog does alike: the direction of the interface
// language and the bold label of the field that has the focus.
void applyDialogDirection(QWidget* dialog);

// Keeps the label of the focused field bold while the dialog lives.
class FocusedLabels : public QObject {
    Q_OBJECT
  public:
    explicit FocusedLabels(QWidget* dialog);
    void add(QWidget* field, QLabel* label);
    // A field below the rows of `grid`: `label` (the field its buddy), then
    // `field` named `name`, the label bold while the field has the focus.
    void addRow(QGridLayout* grid, QLabel* label, QWidget* field, const char* name);

  private:
    void follow(QWidget* now);

    std::vector<std::pair<QWidget*, QLabel*>> pairs_;
};

// Unit labels: caption + " [" + abbreviation + "]", or "/min]" for speeds.
QString unitCaption(const std::string& caption, bool speed = false);

// F1 opens the manual at `topic`; true when the key was F1.
bool openManualOnF1(QKeyEvent* event, const std::string& topic);

enum class FilePick { existing, any, save };

// The file chosen in a modal file dialog, nothing when cancelled. `filter` is
// "description|pattern|description|pattern"; a description that does not name
// its patterns in brackets gets them.
std::optional<std::string> askFile(QWidget* parent, const std::string& title,
                                   const std::filesystem::path& folder, const std::string& filter,
                                   FilePick pick, const std::string& defaultSuffix = {},
                                   const std::string& fileName = {});

// The dialog's object name, its title and the direction of the interface language.
void setUpDialog(QWidget* dialog, const char* name, const QString& title);

// A button that Enter does not press unless it has the focus.
QPushButton* dialogButton(const QString& caption, const char* name);

// OK and Cancel for `dialog`: OK, named "btnOK", is pressed by Enter and calls
// the dialog's accept(), Cancel its reject().
QDialogButtonBox* okCancelButtons(QDialog* dialog);

// A read-only file name field named `nameName` beside a "..." button named
// `buttonName`, in one widget; both are stored in `name` and `button`.
QWidget* fileNameField(QLineEdit*& name, const char* nameName, QPushButton*& button,
                       const char* buttonName);

// A labelled field in row `row` of `grid`: the label, then `field` named `name`.
void addFieldRow(QGridLayout* grid, int row, const QString& label, QWidget* field,
                 const char* name);

// A group box titled `title` and named `name` holding one radio button per
// item, named `prefix` and its index, stored in `buttons`; `chosen` gets the
// index of the one clicked.
QGroupBox* radioChoice(QWidget* dialog, const QString& title, const char* name,
                       const QStringList& items, const QString& prefix, QRadioButton** buttons,
                       std::function<void(int)> chosen);
