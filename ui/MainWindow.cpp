#include "MainWindow.h"
#include "RAWview.h"

#include "AboutDialog.h"
#include "ControlPanelWindow.h"
#include "DialogSupport.h"
#include "FormBMPDialog.h"
#include "KonfigDialog.h"
#include "MachineAboutDialog.h"
#include "MaterialDialog.h"
#include "MemoryInfoDialog.h"
#include "ModelInfoDialog.h"
#include "NarzedzieDialog.h"
#include "OperacjeDialog.h"
#include "StartDialogs.h"
#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/Settings.h"
#include "foundation/State.h"
#include "import/GCodeReader.h"
#include "libraries/LibraryState.h"
#include "machine/MachineLinks.h"
#include "machine/MachineState.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString caption(const std::string& componentName) {
    return QString::fromStdString(txt("Main_window", componentName + ".Caption"));
}

} // namespace

MainWindow::MainWindow(bool singleInstance) : logic_(*this, singleInstance) {
    setObjectName("fGlowny");
    buildMenus();
    buildPanes();
    wirePanes();
    wireOutputs();
    setAcceptDrops(true);
    resize(1280, 860);
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, const QKeySequence& shortcut) {
    auto* action = menu->addAction(QString());
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    actions_[name] = action;
    return action;
}

void MainWindow::buildMenus() {
    auto menu = [&](const char* name, QMenu* parent = nullptr) {
        QMenu* m = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
        m->setObjectName(name);
        menus_[name] = m;
        return m;
    };

    QMenu* project = menu("mProjekt");
    connect(addItem(project, "mProjektNowy", QKeySequence("Ctrl+N")), &QAction::triggered, this,
            [this] { logic_.mProjektNowyClick(); });
    connect(addItem(project, "mProjektOtworz", QKeySequence("F3")), &QAction::triggered, this,
            [this] { logic_.mProjektOtworzClick(); });
    connect(addItem(project, "mProjektZapisz", QKeySequence("Ctrl+S")), &QAction::triggered, this,
            [this] { logic_.mProjektZapiszClick(); });
    connect(addItem(project, "mProjektZapiszJako", QKeySequence("Ctrl+Alt+S")), &QAction::triggered,
            this, [this] { logic_.mProjektZapiszJakoClick(); });
    project->addSeparator();
    connect(addItem(project, "mZakoncz"), &QAction::triggered, this, &QWidget::close);

    QMenu* model = menu("mModel");
    connect(addItem(model, "mModelOtworz", QKeySequence("Ctrl+O")), &QAction::triggered, this,
            [this] { logic_.mModelOtworzClick(); });
    connect(addItem(model, "mModelOtworzPrzyklady"), &QAction::triggered, this,
            [this] { logic_.mModelOtworzPrzykladyClick(); });
    model->addSeparator();
    QMenu* drawing = menu("mModelRysowanie", model);
    styleGroup_ = new QActionGroup(this);
    const char* styles[] = {"mModelWypelniony", "mModelKontur", "mModelPunkty"};
    for (int i = 0; i < 3; ++i) {
        QAction* a = addItem(drawing, styles[i]);
        a->setCheckable(true);
        styleGroup_->addAction(a);
        connect(a, &QAction::triggered, this,
                [i] { settings.modelSposobKreslenia = static_cast<std::uint8_t>(i); });
    }
    QMenu* surface = menu("mModelPolysk", model);
    shininessGroup_ = new QActionGroup(this);
    const std::pair<const char*, double> shininess[] = {
        {"mMaterialMatowy", 0.0}, {"mMaterialSredniPolysk", 0.5}, {"mMaterialPelnyPolysk", 1.0}};
    for (const auto& [name, value] : shininess) {
        QAction* a = addItem(surface, name);
        a->setCheckable(true);
        shininessGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [value] { settings.modelPolysk = value; });
    }
    connect(addItem(model, "mModelKolor"), &QAction::triggered, this, [this] {
        const int c = settings.modelKolor == 0 ? 0x00FF00 : settings.modelKolor;
        QColor chosen =
            QColorDialog::getColor(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), this);
        if (chosen.isValid())
            settings.modelKolor = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
    });
    QAction* axes = addItem(model, "mUkladWsp");
    axes->setCheckable(true);
    connect(axes, &QAction::toggled, this, [](bool on) { settings.ukladWsp = on; });
    addItem(model, "mModelResetujPolozenie");
    model->addSeparator();
    connect(addItem(model, "mModelWlasciwosci"), &QAction::triggered, this, [this] {
        if (modelExtents.plik_RAW.empty()) return;
        TfModelInfo dialog(x() + 60, y() + 60, modelExtents, this);
        dialog.exec();
    });
    connect(addItem(model, "mMaterial"), &QAction::triggered, this,
            [this] { logic_.mMaterialClick(); });

    QMenu* outputs = menu("mPlikiWy");
    connect(addItem(outputs, "mBudujPlikiWy", QKeySequence("F4")), &QAction::triggered, this,
            [this] { logic_.sbBudujPlikiWyClick(); });
    connect(addItem(outputs, "mPrzerwijBudowaniePlikowWy"), &QAction::triggered, this,
            [this] { logic_.sbProcesPrzerwijClick(); });
    outputs->addSeparator();
    connect(addItem(outputs, "mOtworzProgram"), &QAction::triggered, this,
            [this] { logic_.mOtworzProgramClick(); });

    QMenu* machine = menu("mMaszyna");
    connect(addItem(machine, "mSterowanie", QKeySequence("F5")), &QAction::triggered, this,
            [this] { showControlPanel(this); });
    // The machine commands, the start of machining through the output list.
    connect(addItem(machine, "mStart", QKeySequence("F2")), &QAction::triggered, this, [this] {
        machiningStart_.sbStartClick(logic_.outputNames(), logic_.selectedOutput(),
                                     korvane::TfGlowny::caption());
    });
    connect(addItem(machine, "mStartOdWybranego", QKeySequence("Ctrl+F2")), &QAction::triggered,
            this, [this] {
                machiningStart_.mStartOdWybranegoClick(
                    logic_.outputNames(), logic_.selectedOutput(), korvane::TfGlowny::caption());
            });
    connect(addItem(machine, "mStop"), &QAction::triggered, this, [] { korvane::sbStopClick(); });
    // Space is the window's STOP key, whatever control has the focus; the
    // operation list keeps it for its check marks (see eventFilter).
    connect(new QShortcut(QKeySequence(Qt::Key_Space), this), &QShortcut::activated, this,
            [] { korvane::sbStopClick(); });
    connect(addItem(machine, "mKontynuacja", QKeySequence("Shift+F2")), &QAction::triggered, this,
            [this] {
                machiningStart_.sbKontynuacjaClick(logic_.outputNames(), logic_.selectedOutput(),
                                                   korvane::TfGlowny::caption());
            });

    machine->addSeparator();
    connect(addItem(machine, "mOmaszynie"), &QAction::triggered, this,
            [this] { MachineAboutDialog(this).exec(); });

    QMenu* options = menu("mOpcje");
    connect(addItem(options, "mKonfig"), &QAction::triggered, this,
            [this] { logic_.mKonfigClick(false); });

    QMenu* help = menu("mPomoc");
    connect(addItem(help, "mPomocSpis", QKeySequence("F1")), &QAction::triggered, this,
            [] { openManual("index.htm"); });
    connect(addItem(help, "mPamiecInfo", QKeySequence("Ctrl+M")), &QAction::triggered, this,
            [this] { MemoryInfoDialog(this).exec(); });
    connect(addItem(help, "mOprogramie"), &QAction::triggered, this,
            [this] { AboutDialog(texts->country, this).exec(); });

    // Commands that other parts of the program provide stay disabled until then.
    for (const char* name :
         {"mModelResetujPolozenie", "mBudujPlikiWy", "mPrzerwijBudowaniePlikowWy"})
        actions_[name]->setEnabled(false);
}

void MainWindow::buildPanes() {
    auto group = [&](const char* name, QWidget* list, std::initializer_list<const char*> buttons) {
        auto* box = new QGroupBox;
        box->setObjectName(name);
        captioned_[name] = box;
        auto* layout = new QVBoxLayout(box);
        layout->addWidget(list);
        if (buttons.size()) {
            auto* row = new QHBoxLayout;
            for (const char* b : buttons) {
                auto* button = new QPushButton;
                button->setObjectName(b);
                button->setEnabled(false);
                captioned_[b] = button;
                row->addWidget(button);
            }
            layout->addLayout(row);
        }
        return box;
    };

    tools_ = new QListWidget;
    tools_->setObjectName("lbFrezy");
    toolDetail_ = new QLabel;
    toolDetail_->setObjectName("lOpisFreza");
    auto* toolsWithDetail = new QWidget;
    auto* toolsLayout = new QVBoxLayout(toolsWithDetail);
    toolsLayout->setContentsMargins(0, 0, 0, 0);
    toolsLayout->addWidget(tools_);
    toolsLayout->addWidget(toolDetail_);
    operations_ = new QListWidget;
    operations_->setObjectName("clbOperacje");
    operations_->installEventFilter(this); // Space checks an operation there
    outputs_ = new QListWidget;
    outputs_->setObjectName("lbPlikiWy");
    // The build and abort buttons carry the menu items' captions and states.
    auto* outputsWithButtons = new QWidget;
    auto* outputsLayout = new QVBoxLayout(outputsWithButtons);
    outputsLayout->setContentsMargins(0, 0, 0, 0);
    outputsLayout->addWidget(outputs_);
    auto* buildRow = new QHBoxLayout;
    for (const char* name : {"mBudujPlikiWy", "mPrzerwijBudowaniePlikowWy"}) {
        auto* button = new QToolButton;
        button->setObjectName(name == std::string_view("mBudujPlikiWy") ? "sbBudujPlikiWy"
                                                                        : "sbProcesPrzerwij");
        button->setDefaultAction(actions_[name]);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        buildRow->addWidget(button);
    }
    outputsLayout->addLayout(buildRow);
    modelPath_ = new QLabel;
    modelPath_->setObjectName("lSciezkaModelu");
    modelPath_->installEventFilter(this); // a double click shows the model information
    materialPath_ = new QLabel;
    materialPath_->setObjectName("lSciezkaMaterialu");
    materialPath_->installEventFilter(this); // a double click shows the stock model's information
    outputsLayout->addWidget(modelPath_);
    outputsLayout->addWidget(materialPath_);

    auto* left = new QSplitter(Qt::Vertical);
    left->addWidget(
        group("gbFrezy", toolsWithDetail, {"btnFrezDodaj", "btnFrezEdytuj", "btnFrezUsun"}));
    left->addWidget(
        group("gbOperacje", operations_, {"btnOperDodaj", "btnOperEdytuj", "btnOperUsun"}));
    left->addWidget(group("gbPlikiWy", outputsWithButtons, {}));

    pages_ = new QTabWidget;
    pages_->setObjectName("pcWidoki");
    for (const char* name : {"tsModel", "tsPodgladOut", "tsPodgladOut_stary", "tsMaterial"}) {
        auto* page = new QWidget;
        page->setObjectName(name);
        captioned_[name] = page;
        pages_->addTab(page, QString());
        if (std::string_view(name) == "tsPodgladOut_stary") oldPreviewPage_ = page;
    }
    buildViews();

    auto* split = new QSplitter(Qt::Horizontal);
    // The panes keep a margin on both sides: a group box's title stands over
    // its frame's corner, and at the window's edge a right-to-left title was
    // cut off.
    auto* panes = new QWidget;
    auto* panesLayout = new QVBoxLayout(panes);
    panesLayout->setContentsMargins(6, 0, 6, 0);
    panesLayout->addWidget(left);
    split->addWidget(panes);
    split->addWidget(pages_);
    split->setStretchFactor(1, 1);
    setCentralWidget(split);

    for (int i = 0; i < 3; ++i) {
        statusPanels_[i] = new QLabel;
        statusPanels_[i]->setObjectName(QString("sbPanel%1").arg(i));
        statusBar()->addWidget(statusPanels_[i], i == 2 ? 1 : 0);
    }
}

void MainWindow::wirePanes() {
    connect(tools_, &QListWidget::currentRowChanged, this,
            [this](int row) { logic_.toolPane().select(row); });
    connect(static_cast<QPushButton*>(captioned_["btnFrezUsun"]), &QPushButton::clicked, this,
            [this] { logic_.toolPane().deleteSelected(); });
    // Add and edit: the buttons, Insert and Enter in the list.
    connect(static_cast<QPushButton*>(captioned_["btnFrezDodaj"]), &QPushButton::clicked, this,
            [this] { logic_.toolPane().add(); });
    connect(static_cast<QPushButton*>(captioned_["btnFrezEdytuj"]), &QPushButton::clicked, this,
            [this] { logic_.toolPane().edit(); });
    tools_->installEventFilter(this); // Insert, Enter, Delete and F11 (see listKey)

    connect(operations_, &QListWidget::currentRowChanged, this,
            [this](int row) { logic_.operationPane().select(row); });
    // A check mark changed by the user (click or Space); refills block the signal.
    connect(operations_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        logic_.operationPane().setChecked(operations_->row(item),
                                          item->checkState() != Qt::Unchecked);
    });
    connect(static_cast<QPushButton*>(captioned_["btnOperUsun"]), &QPushButton::clicked, this,
            [this] { logic_.operationPane().deleteSelected(); });
    connect(static_cast<QPushButton*>(captioned_["btnOperDodaj"]), &QPushButton::clicked, this,
            [this] { logic_.operationPane().add(); });
    connect(static_cast<QPushButton*>(captioned_["btnOperEdytuj"]), &QPushButton::clicked, this,
            [this] { logic_.operationPane().edit(); });
    operations_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* checkAll = new QAction(operations_);
    checkAll->setObjectName("pmiZaznaczWszystkie");
    actions_["pmiZaznaczWszystkie"] = checkAll;
    connect(checkAll, &QAction::triggered, this, [this] { logic_.operationPane().checkAll(); });
    auto* uncheckAll = new QAction(operations_);
    uncheckAll->setObjectName("pmiWylaczWszystkie");
    actions_["pmiWylaczWszystkie"] = uncheckAll;
    connect(uncheckAll, &QAction::triggered, this, [this] { logic_.operationPane().uncheckAll(); });
    operations_->addActions({checkAll, uncheckAll});
}

void MainWindow::showTools(const std::vector<std::string>& names, int selected) {
    const QSignalBlocker block(tools_);
    tools_->clear();
    for (const auto& name : names) tools_->addItem(QString::fromStdString(name));
    tools_->setCurrentRow(selected);
}

void MainWindow::showToolDescription(const std::string& text) {
    // The description's line break is "\n\r"; one line feed is enough here.
    QString shown = QString::fromStdString(text);
    shown.remove('\r');
    tools_->setToolTip(shown);
    toolDetail_->setText(shown);
}

void MainWindow::enableToolCommands(bool add, bool editAndDelete) {
    captioned_["btnFrezDodaj"]->setEnabled(add);
    captioned_["btnFrezUsun"]->setEnabled(editAndDelete);
    captioned_["btnFrezEdytuj"]->setEnabled(editAndDelete);
}

void MainWindow::showOperations(const TCheckListBoxExt& list, int selected) {
    const QSignalBlocker block(operations_);
    if (operations_->count() != list.count()) {
        operations_->clear();
        for (int i = 0; i < list.count(); ++i) {
            auto* item = new QListWidgetItem(operations_);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        }
    }
    for (int i = 0; i < list.count(); ++i) {
        const CheckListEntry& e = list.items[static_cast<std::size_t>(i)];
        QListWidgetItem* item = operations_->item(i);
        item->setText(QString::fromStdString(e.name));
        item->setCheckState(e.state == CheckState::Checked  ? Qt::Checked
                            : e.state == CheckState::Grayed ? Qt::PartiallyChecked
                                                            : Qt::Unchecked);
    }
    operations_->setCurrentRow(selected);
}

void MainWindow::enableOperationCommands(bool add, bool editAndDelete) {
    captioned_["btnOperDodaj"]->setEnabled(add);
    captioned_["btnOperUsun"]->setEnabled(editAndDelete);
    captioned_["btnOperEdytuj"]->setEnabled(editAndDelete);
}

void MainWindow::enableBuild(bool enabled) {
    anyChecked_ = enabled;
    actions_["mBudujPlikiWy"]->setEnabled(enabled && buildCommandsEnabled_);
}

void MainWindow::showStatus(int panel, const std::string& text) {
    if (panel < 0 || panel > 2) return;
    if (panel == 2) {
        projectPath_ = text;
        showProjectPath();
    } else {
        statusPanels_[panel]->setText(QString::fromStdString(text));
    }
}

void MainWindow::showProjectPath() {
    QLabel* panel = statusPanels_[2];
    const int width = std::max(0, panel->width() - 5);
    panel->setText(panel->fontMetrics().elidedText(QString::fromStdString(projectPath_),
                                                   Qt::ElideMiddle, width));
    panel->setToolTip(QString::fromStdString(projectPath_));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    showProjectPath();
    fitPicture();
}

std::optional<std::string> MainWindow::askFileName(const FileDialogRequest& request, bool save) {
    return askFile(this, request.title, request.initialFolder, request.filter,
                   save ? FilePick::save : FilePick::existing, request.defaultExtension,
                   request.fileName);
}

std::optional<std::string> MainWindow::askOpenFileName(const FileDialogRequest& request) {
    return askFileName(request, false);
}

std::optional<std::string> MainWindow::askSaveFileName(const FileDialogRequest& request) {
    return askFileName(request, true);
}

bool MainWindow::start() {
    if (!logic_.FormCreate()) return false;
    // The control panel lives from here to the end; its timer is the
    // heartbeat of the machine side.
    korvane::showStatusText = [this](const std::string& text) { showStatus(0, text); };
    panel_.actions.start = [this] { actions_["mStart"]->trigger(); };
    panel_.actions.continueJob = [this] { actions_["mKontynuacja"]->trigger(); };
    panel_.actions.jobEnded = [this] { beepThreeTimes(); };
    panelWindow_ = new ControlPanelWindow(this, &panel_);
    // The network machine is connected by the panel's heartbeat whenever the
    // settings ask for it.
    korvane::createEthernetLink();
    return true;
}

korvane::ToolAnswer MainWindow::askToolChange(const std::string& text, bool canMeasure) {
    QMessageBox box(QMessageBox::Question, windowTitle(), QString::fromStdString(text),
                    QMessageBox::Cancel | QMessageBox::Ignore, this);
    if (canMeasure) box.addButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return korvane::ToolAnswer::yes;
    case QMessageBox::Ignore:
        return korvane::ToolAnswer::ignore;
    default:
        return korvane::ToolAnswer::cancel;
    }
}

bool MainWindow::waitForHead() {
    return runHeadWaitDialog(this);
}

bool MainWindow::chooseStartPoint() {
    return runStartPointDialog(this, std::exchange(startPreset_, std::nullopt));
}

void MainWindow::applyTexts() {
    for (auto& [name, m] : menus_) m->setTitle(caption(name));
    for (auto& [name, a] : actions_) a->setText(caption(name));
    for (auto& [name, w] : captioned_) {
        if (auto* box = qobject_cast<QGroupBox*>(w))
            box->setTitle(caption(name));
        else if (auto* button = qobject_cast<QPushButton*>(w))
            button->setText(caption(name));
        else if (int tab = pages_->indexOf(w); tab >= 0)
            pages_->setTabText(tab, caption(name));
    }
}

void MainWindow::setCaption(const std::string& text) {
    setWindowTitle(QString::fromStdString(text));
}

void MainWindow::setRightToLeft(bool rightToLeft) {
    const auto direction = rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
    QApplication::setLayoutDirection(direction);
    setLayoutDirection(direction);
}

void MainWindow::applyViewSettings(int colour, int style, double shininess, bool axes) {
    modelView_->setModelKolor(colour);
    modelView_->setModelMaterial(shininess);
    modelView_->setUkladWsp(axes);
    modelView_->UstawModelSposobKreslenia(
        static_cast<TSposobKreslenia>(style >= 0 && style <= 2 ? style : 0));
    const auto styleActions = styleGroup_->actions();
    styleActions[style >= 0 && style <= 2 ? style : 0]->setChecked(true);
    const auto shininessActions = shininessGroup_->actions();
    if (shininess == 0.0)
        shininessActions[0]->setChecked(true);
    else if (shininess == 0.5)
        shininessActions[1]->setChecked(true);
    else if (shininess == 1.0)
        shininessActions[2]->setChecked(true);
    actions_["mUkladWsp"]->setChecked(axes);
}

void MainWindow::showOldPreviewPage(bool shown) {
    pages_->setTabVisible(pages_->indexOf(oldPreviewPage_), shown);
}

void MainWindow::endProgram() {
    // Leaves the event loop once the current command has returned; the window
    // goes with the program, its shutdown sequence is not asked for.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (logic_.FormClose()) {
        if (panelWindow_) panelWindow_->stopHeartbeat();
        korvane::showStatusText = [](const std::string&) {};
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_X && event->modifiers() == Qt::AltModifier)
        close();
    else if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::ControlModifier)
        openManual("index.htm");
    else
        QMainWindow::keyPressEvent(event);
}

// The output list, its popup menu, the abort key and the build commands' states.
void MainWindow::wireOutputs() {
    connect(outputs_, &QListWidget::currentRowChanged, this,
            [this](int row) { logic_.lbWyClick(row); });
    outputs_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* parameters = new QAction(outputs_);
    parameters->setObjectName("pmiParPlikuWy");
    parameters->setEnabled(false);
    actions_["pmiParPlikuWy"] = parameters;
    connect(parameters, &QAction::triggered, this, [this] { logic_.pmParPlikuWyClick(); });
    outputs_->addAction(parameters);
    // Save the preview as: a submenu of the popup menu.
    auto* saveAs = new QAction(outputs_);
    saveAs->setObjectName("pmiZapiszJako");
    saveAs->setEnabled(false);
    actions_["pmiZapiszJako"] = saveAs;
    auto* formats = new QMenu(this);
    saveAs->setMenu(formats);
    for (const auto& [name, extension] :
         {std::pair{"pmiZapiszJakoBmp", "bmp"}, std::pair{"pmiZapiszJakoJpg", "jpg"}}) {
        QAction* format = formats->addAction(QString());
        format->setObjectName(name);
        actions_[name] = format;
        connect(format, &QAction::triggered, this,
                [this, extension] { logic_.pmiZapiszJakoClick(extension); });
    }
    outputs_->addAction(saveAs);
    // Esc aborts a build whichever control has the focus.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, [this] {
        if (logic_.genProcWtoku()) logic_.sbProcesPrzerwijClick();
    });
    pictureLabel_ = new QLabel(pages_->findChild<QWidget*>("tsModel"));
    pictureLabel_->setObjectName("ImageBMP");
    pictureLabel_->setAlignment(Qt::AlignCenter);
    pictureLabel_->setAutoFillBackground(true);
    pictureLabel_->hide();
    pictureLabel_->installEventFilter(this); // a double click opens a model, as on the view
    statusPanels_[0]->setMinimumWidth(260);
    progressBar_ = new QProgressBar(statusBar());
    progressBar_->setObjectName("pbGenProc");
    progressBar_->setRange(0, 8);
    progressBar_->hide();
}

void MainWindow::setBuildCommandsEnabled(bool enabled) {
    buildCommandsEnabled_ = enabled;
    for (const char* name :
         {"mProjektOtworz", "mModelOtworz", "mModelOtworzPrzyklady", "mOtworzProgram"})
        actions_[name]->setEnabled(enabled);
    actions_["mBudujPlikiWy"]->setEnabled(enabled && anyChecked_);
    actions_["mPrzerwijBudowaniePlikowWy"]->setEnabled(!enabled);
}

void MainWindow::showProgress(int position) {
    if (position < 0) {
        progressBar_->hide();
        return;
    }
    // Over status panel 0: half its width, right-aligned, 2 pixels from the top.
    const QRect panel = statusPanels_[0]->geometry();
    const int width = (panel.width() + 1) / 2;
    progressBar_->setGeometry(panel.right() - width + 1, 2, width, statusBar()->height() - 2);
    progressBar_->setValue(std::min(position, 8));
    progressBar_->show();
    progressBar_->raise();
}

void MainWindow::showOutputs(const std::vector<std::string>& names, int selected) {
    {
        const QSignalBlocker block(outputs_);
        outputs_->clear();
        for (const auto& name : names) outputs_->addItem(QString::fromStdString(name));
        outputs_->setCurrentRow(selected);
    }
    outputs_->setToolTip(selected >= 0 ? outputs_->item(selected)->text() : QString());
    actions_["pmiParPlikuWy"]->setEnabled(selected >= 0);
    actions_["pmiZapiszJako"]->setEnabled(selected >= 0);
}

void MainWindow::enableOutputList(bool enabled) {
    outputs_->setEnabled(enabled);
}

namespace {

void showPath(QLabel* label, const std::string& text, const std::string& hint) {
    const int width = std::max(0, label->width() - 15);
    label->setText(
        label->fontMetrics().elidedText(QString::fromStdString(text), Qt::ElideMiddle, width));
    label->setToolTip(QString::fromStdString(hint));
}

} // namespace

void MainWindow::showModelPath(const std::string& text, const std::string& hint) {
    showPath(modelPath_, text, hint);
}

void MainWindow::showMaterialPath(const std::string& text, const std::string& hint) {
    showPath(materialPath_, text, hint);
}

void MainWindow::showModelPage(const std::filesystem::path& picture) {
    QWidget* page = pages_->findChild<QWidget*>("tsModel");
    pages_->setCurrentWidget(page);
    picture_ = picture.empty() ? QPixmap() : QPixmap(QString::fromStdString(picture.string()));
    pictureLabel_->setVisible(!picture_.isNull());
    fitPicture();
}

void MainWindow::fitPicture() {
    if (picture_.isNull()) return;
    const QWidget* page = pictureLabel_->parentWidget();
    pictureLabel_->setGeometry(page->rect());
    pictureLabel_->setPixmap(
        picture_.scaled(page->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pictureLabel_->raise();
}

std::optional<bool> MainWindow::showMaterialDialog(const TModel& extents) {
    MaterialDialog dialog(extents, this);
    dialog.exec();
    if (!dialog.logic().zapisano) return std::nullopt;
    return dialog.logic().stockFileChanged();
}

bool MainWindow::showConfigurationDialog(bool calibrationPage) {
    return openConfiguration(this, calibrationPage);
}

bool MainWindow::editTool(const TFrezDane* tool, int index) {
    NarzedzieDialog dialog(tool, index, this);
    dialog.exec();
    return dialog.logic().Zapisano;
}

std::optional<std::string> MainWindow::editOperation(const TOperacjaDane* operation, int index) {
    OperacjeDialog dialog(operation, index, this);
    dialog.exec();
    if (!dialog.logic().Zapisano) return std::nullopt;
    return dialog.logic().Operacja_Dane.nazwa;
}

bool MainWindow::editBitmapRelief(TFormBMP& form) {
    FormBMPDialog dialog(form, this);
    return dialog.exec() == QDialog::Accepted;
}

bool MainWindow::saveOldPreview(const std::filesystem::path& file) {
    return oldPreview_->pixmap().save(QString::fromStdString(file.string()));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pictureLabel_ && event->type() == QEvent::MouseButtonDblClick) {
        actions_["mModelOtworz"]->trigger();
        return true;
    }
    if (watched == modelPath_ && event->type() == QEvent::MouseButtonDblClick) {
        actions_["mModelWlasciwosci"]->trigger();
        return true;
    }
    if (watched == materialPath_ && event->type() == QEvent::MouseButtonDblClick) {
        if (const korvane::TModel* stock = logic_.modelOpening().stockModelInfo()) {
            TfModelInfo dialog(x() + 60, y() + 60, *stock, this);
            dialog.exec();
        }
        return true;
    }
    if (watched == operations_ && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        event->accept(); // the list's own key, not the STOP shortcut
        return true;
    }
    if ((watched == tools_ || watched == operations_) && event->type() == QEvent::KeyPress)
        return listKey(watched == tools_, *static_cast<QKeyEvent*>(event));
    return QMainWindow::eventFilter(watched, event);
}

// The keys of the tool and operation lists act only on a key the list itself
// receives: a key meant for a dialog or message box over the window (an Enter
// that closes an error box) never edits an entry behind it.
bool MainWindow::listKey(bool toolList, const QKeyEvent& key) {
    if (key.modifiers() & ~Qt::KeypadModifier) return false;
    switch (key.key()) {
    case Qt::Key_Insert:
        toolList ? logic_.toolPane().add() : logic_.operationPane().add();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (key.isAutoRepeat()) return true;
        toolList ? logic_.toolPane().edit() : logic_.operationPane().edit();
        return true;
    case Qt::Key_Delete:
        toolList ? logic_.toolPane().deleteSelected() : logic_.operationPane().deleteSelected();
        return true;
    case Qt::Key_F11:
        if (!toolList) return false;
        toolDetail_->setVisible(!toolDetail_->isVisible());
        return true;
    default:
        return false;
    }
}

void MainWindow::beepThreeTimes() {
    for (int i = 0; i < 3; ++i) QTimer::singleShot(200 * i, this, [] { QApplication::beep(); });
}

namespace {

// The local file of a drag when it is one the window opens.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QString file = data->urls().front().toLocalFile();
    const std::string name = file.toStdString();
    return modelFileKind(name) == fileKindOther && !korvane::isGCodeFile(name) ? QString() : file;
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    logic_.openDroppedFile(file.toStdString());
}
