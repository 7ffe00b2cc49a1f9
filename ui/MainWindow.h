#pragma once

#include "app/Glowny.h"
#include "app/MachiningStart.h"
#include "app/MainWindowView.h"
#include "control/Tster.h"
#include "output/DaneWyjsciowe.h"

#include <QMainWindow>
#include <QPixmap>

#include <map>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QGroupBox;
class TRAWview;
class ControlPanelWindow;
class OutputPreviewPage;

// The main window: panes for tools, operations and output files, the pages of
// the views, the menu and the status bar. The logic lives in TfGlowny.
class MainWindow final : public QMainWindow,
                         public korvane::MainWindowView,
                         public korvane::StartView {
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
    void lockModelView(bool locked) override;
    void showModel() override;
    void clearModelView() override;
    void showStockModel() override;
    void showOutputFile(const std::filesystem::path& file) override;
    void showStatus(int panel, const std::string& text) override;
    std::optional<std::string> askOpenFileName(const korvane::FileDialogRequest& request) override;
    std::optional<std::string> askSaveFileName(const korvane::FileDialogRequest& request) override;
    void endProgram() override;
    void showTools(const std::vector<std::string>& names, int selected) override;
    void showToolDescription(const std::string& text) override;
    void enableToolCommands(bool add, bool editAndDelete) override;
    void showOperations(const korvane::TCheckListBoxExt& list, int selected) override;
    void enableOperationCommands(bool add, bool editAndDelete) override;
    void enableBuild(bool enabled) override;
    void setBuildCommandsEnabled(bool enabled) override;
    void showProgress(int position) override;
    void showOutputs(const std::vector<std::string>& names, int selected) override;
    void enableOutputList(bool enabled) override;
    void showModelPath(const std::string& text, const std::string& hint) override;
    void showMaterialPath(const std::string& text, const std::string& hint) override;
    void showModelPage(const std::filesystem::path& picture) override;
    bool editBitmapRelief(korvane::TFormBMP& form) override;
    std::optional<bool> showMaterialDialog(const korvane::TModel& extents) override;
    bool showConfigurationDialog(bool calibrationPage) override;
    bool editTool(const korvane::TFrezDane* tool, int index) override;
    std::optional<std::string> editOperation(const korvane::TOperacjaDane* operation,
                                             int index) override;
    void beepThreeTimes() override;
    bool saveOldPreview(const std::filesystem::path& file) override;

    // StartView
    korvane::ToolAnswer askToolChange(const std::string& text, bool canMeasure) override;
    bool waitForHead() override;
    bool chooseStartPoint() override;
    // The control panel, made at start; its timer is the machine's heartbeat.
    ControlPanelWindow* controlPanel() { return panelWindow_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The views on the pages, their coupling, the view menu and the export keys.
    void buildViews();
    void clearOldPreview();
    // A picture relief shown as its picture, or its raster as a shaded surface.
    void showRelief(bool inThreeD);
    QAction* addItem(QMenu* menu, const char* name, const QKeySequence& shortcut = {});
    void buildMenus();
    void buildPanes();
    void wirePanes();
    void showProjectPath();
    void wireOutputs();
    void fitPicture();
    std::optional<std::string> askFileName(const korvane::FileDialogRequest& request, bool save);
    // Insert, Enter, Delete and F11 in the tool list or the operation list.
    bool listKey(bool toolList, const QKeyEvent& key);

    korvane::TfGlowny logic_;
    korvane::Tster panel_;
    korvane::MachiningStart machiningStart_{panel_, *this};
    ControlPanelWindow* panelWindow_ = nullptr;
    // Controls whose captions come from the catalogue, by component name.
    std::map<std::string, QAction*> actions_;
    std::map<std::string, QMenu*> menus_;
    std::map<std::string, QWidget*> captioned_;
    QActionGroup* styleGroup_ = nullptr;
    QActionGroup* shininessGroup_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QWidget* oldPreviewPage_ = nullptr;
    TRAWview* modelView_ = nullptr;  // RAWview1
    TRAWview* stockView_ = nullptr;  // rwMaterial
    TRAWview* outputView_ = nullptr; // rwPodgladWy
    QWidget* outputPage_ = nullptr;
    OutputPreviewPage* outputPreview_ = nullptr;
    // Where "start from here" on the preview asks the start point dialog to open.
    std::optional<korvane::StartPoint> startPreset_;
    QLabel* oldPreview_ = nullptr;
    bool outputShown_ = false; // an output file is shown in the previews
    QLabel* statusPanels_[3] = {};
    std::string projectPath_; // status panel 2 before shortening
    QListWidget* tools_ = nullptr;
    QLabel* toolDetail_ = nullptr;
    QListWidget* operations_ = nullptr;
    QListWidget* outputs_ = nullptr;
    QLabel* modelPath_ = nullptr;
    QLabel* materialPath_ = nullptr;
    QLabel* pictureLabel_ = nullptr; // a bitmap relief's picture over the model view
    QPixmap picture_;
    QProgressBar* progressBar_ = nullptr;
    bool buildCommandsEnabled_ = true; // no load or build running
    bool anyChecked_ = false;          // an operation is checked
};
