#include "MainWindow.h"

#include "app/Interfejs.h"
#include "app/Messages.h"
#include "app/Settings.h"
#include "app/State.h"
#include "app/Version.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
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
    addItem(project, "mProjektNowy", QKeySequence("Ctrl+N"));
    addItem(project, "mProjektOtworz", QKeySequence("F3"));
    addItem(project, "mProjektZapisz", QKeySequence("Ctrl+S"));
    addItem(project, "mProjektZapiszJako", QKeySequence("Ctrl+Alt+S"));
    project->addSeparator();
    connect(addItem(project, "mZakoncz"), &QAction::triggered, this, &QWidget::close);

    QMenu* model = menu("mModel");
    addItem(model, "mModelOtworz", QKeySequence("Ctrl+O"));
    addItem(model, "mModelOtworzPrzyklady");
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
    addItem(model, "mModelWlasciwosci");
    addItem(model, "mMaterial");

    QMenu* outputs = menu("mPlikiWy");
    addItem(outputs, "mBudujPlikiWy", QKeySequence("F4"));
    addItem(outputs, "mPrzerwijBudowaniePlikowWy");

    QMenu* machine = menu("mMaszyna");
    addItem(machine, "mSterowanie");
    addItem(machine, "mStart");
    addItem(machine, "mStartOdWybranego", QKeySequence("Ctrl+F2"));
    addItem(machine, "mStop");
    addItem(machine, "mKontynuacja");

    QMenu* options = menu("mOpcje");
    addItem(options, "mKonfig");

    QMenu* help = menu("mPomoc");
    connect(addItem(help, "mPomocSpis", QKeySequence("F1")), &QAction::triggered, this,
            [] { openManual("index.htm"); });
    addItem(help, "mPamiecInfo");
    connect(addItem(help, "mOprogramie"), &QAction::triggered, this, &MainWindow::showAbout);
    addItem(help, "mOmaszynie");

    // Commands that other parts of the program provide stay disabled until then.
    for (const char* name :
         {"mProjektNowy", "mProjektOtworz", "mProjektZapisz", "mProjektZapiszJako", "mModelOtworz",
          "mModelOtworzPrzyklady", "mModelResetujPolozenie", "mModelWlasciwosci", "mMaterial",
          "mBudujPlikiWy", "mPrzerwijBudowaniePlikowWy", "mSterowanie", "mStart",
          "mStartOdWybranego", "mStop", "mKontynuacja", "mKonfig", "mPamiecInfo", "mOmaszynie"})
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

    auto* tools = new QListWidget;
    tools->setObjectName("lbFrezy");
    auto* operations = new QListWidget;
    operations->setObjectName("clbOperacje");
    auto* outputs = new QListWidget;
    outputs->setObjectName("lbPlikiWy");

    auto* left = new QSplitter(Qt::Vertical);
    left->addWidget(group("gbFrezy", tools, {"btnFrezDodaj", "btnFrezEdytuj", "btnFrezUsun"}));
    left->addWidget(
        group("gbOperacje", operations, {"btnOperDodaj", "btnOperEdytuj", "btnOperUsun"}));
    left->addWidget(group("gbPlikiWy", outputs, {}));

    pages_ = new QTabWidget;
    pages_->setObjectName("pcWidoki");
    for (const char* name : {"tsModel", "tsPodgladOut", "tsPodgladOut_stary", "tsMaterial"}) {
        auto* page = new QWidget;
        page->setObjectName(name);
        captioned_[name] = page;
        pages_->addTab(page, QString());
        if (std::string_view(name) == "tsPodgladOut_stary") oldPreviewPage_ = page;
    }

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(left);
    split->addWidget(pages_);
    split->setStretchFactor(1, 1);
    setCentralWidget(split);

    for (int i = 0; i < 3; ++i) {
        statusPanels_[i] = new QLabel;
        statusPanels_[i]->setObjectName(QString("sbPanel%1").arg(i));
        statusBar()->addWidget(statusPanels_[i], i == 2 ? 1 : 0);
    }
}

bool MainWindow::start() {
    return logic_.FormCreate();
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

void MainWindow::applyViewSettings(int /*colour*/, int style, double shininess, bool axes) {
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

void MainWindow::showAbout() {
    QMessageBox box(this);
    box.setWindowTitle(QString::fromStdString(txt("About", "caption")));
    box.setText(QString("<b>%1</b><br>%2: %3<br><br>"
                        "<a href=\"https://vardimon.example\">vardimon.example</a><br>"
                        "<a href=\"mailto:support@vardimon.example\">support@vardimon.example</a>")
                    .arg(applicationTitle)
                    .arg(QString::fromStdString(txt("About", "lWer.Caption")))
                    .arg(QString("%1.%2.%3.%4")
                             .arg(versionMajor)
                             .arg(versionMinor)
                             .arg(versionRelease)
                             .arg(versionBuild)));
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    box.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (logic_.FormClose())
        event->accept();
    else
        event->ignore();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_X && event->modifiers() == Qt::AltModifier)
        close();
    else if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::ControlModifier)
        openManual("index.htm");
    else
        QMainWindow::keyPressEvent(event);
}
