#pragma once

#include "app/Glowny.h"
#include "app/MainWindowView.h"

#include <QMainWindow>

#include <map>
#include <string>

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QGroupBox;

// The main window: panes for tools, operations and output files, the pages of
// the views, the menu and the status bar. The logic lives in TfGlowny.
class MainWindow final : public QMainWindow, public korvane::MainWindowView {
    Q_OBJECT
  public:
    explicit MainWindow(bool singleInstance = true);

    // Runs the start sequence; false when the program must end.
    bool start();

    korvane::TfGlowny& logic() { return logic_; }

    // MainWindowView
    void applyTexts() override;
    void setCaption(const std::string& caption) override;
    void setRightToLeft(bool rightToLeft) override;
    void applyViewSettings(int colour, int style, double shininess, bool axes) override;
    void showOldPreviewPage(bool shown) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QAction* addItem(QMenu* menu, const char* name, const QKeySequence& shortcut = {});
    void buildMenus();
    void buildPanes();
    void showAbout();

    korvane::TfGlowny logic_;
    // Controls whose captions come from the catalogue, by component name.
    std::map<std::string, QAction*> actions_;
    std::map<std::string, QMenu*> menus_;
    std::map<std::string, QWidget*> captioned_;
    QActionGroup* styleGroup_ = nullptr;
    QActionGroup* shininessGroup_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QWidget* oldPreviewPage_ = nullptr;
    QLabel* statusPanels_[3] = {};
};
