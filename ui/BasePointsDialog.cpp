#include "BasePointsDialog.h"
#include "DialogSupport.h"
#include "FltEdit.h"

#include "foundation/Interfejs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString caption(const char* key) {
    return QString::fromStdString(txt("Select_base_dialog", key));
}

QPushButton* button(const char* key, const char* name) {
    return dialogButton(caption(key), name);
}

} // namespace

BasePointsDialog::BasePointsDialog(QWidget* parent) : QDialog(parent), logic_(*this) {
    setUpDialog(this, "Punkty_bazowe", caption("Punkty_bazowe.Caption"));
    logic_.FormCreate();

    auto* edits = new QGridLayout;
    x_ = new TFltEdit(logic_.pbx);
    y_ = new TFltEdit(logic_.pby);
    addFieldRow(edits, 0, "X [mm]", x_, "pbx");
    addFieldRow(edits, 1, "Y [mm]", y_, "pby");
    auto* take = button("wpa.Caption", "wpa");
    connect(take, &QPushButton::clicked, this, [this] { logic_.wpaClick(); });
    edits->addWidget(take, 0, 2, 2, 1);

    list_ = new QListWidget;
    list_->setObjectName("lista");
    list_->setFont(QFont("monospace"));
    list_->setLayoutDirection(Qt::LeftToRight); // the lines' columns read left to right
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != logic_.selected) logic_.listaClick(row);
    });
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { logic_.listaDblClick(list_->row(item)); });
    name_ = new QLineEdit;
    name_->setObjectName("komentarz");
    name_->setMaxLength(static_cast<int>(basePointNameLength));
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_.komentarz = text.toStdString(); });
    auto* add = button("Dodaj.Caption", "Dodaj");
    connect(add, &QPushButton::clicked, this, [this] { logic_.DodajClick(); });
    remove_ = button("usun.Caption", "usun");
    connect(remove_, &QPushButton::clicked, this, [this] { logic_.usunClick(); });
    copy_ = button("Przepisz.Caption", "Przepisz");
    connect(copy_, &QPushButton::clicked, this, [this] { logic_.PrzepiszClick(); });
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(name_, 1);
    listButtons->addWidget(add);
    listButtons->addWidget(remove_);
    listButtons->addWidget(copy_);

    auto* ok = new QPushButton(caption("ustaw.Caption"));
    ok->setObjectName("ustaw");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { logic_.ustawClick(); });
    auto* cancel = button("anuluj.Caption", "anuluj");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(edits);
    layout->addWidget(list_);
    layout->addLayout(listButtons);
    layout->addLayout(buttons);
    applyTouchMode(this);
    resize(560, 360);
    logic_.FormActivate();
}

BasePointsDialog::~BasePointsDialog() {
    logic_.FormDestroy();
}

void BasePointsDialog::showBasePoints() {
    const QSignalBlocker block(list_);
    list_->clear();
    for (const auto& line : logic_.lista) list_->addItem(QString::fromStdString(line));
    list_->setCurrentRow(logic_.selected);
    x_->refresh();
    y_->refresh();
    name_->setText(QString::fromStdString(logic_.komentarz));
    copy_->setEnabled(logic_.przepiszEnabled);
    remove_->setEnabled(logic_.usunEnabled);
}

void BasePointsDialog::focusBasePointField(bool y) {
    (y ? y_ : x_)->setFocus();
}

void BasePointsDialog::closeDialog(bool accepted) {
    if (accepted)
        accept();
    else
        reject();
}

void chooseBasePointInWindow(QWidget* parent) {
    BasePointsDialog dialog(parent);
    if (dialog.exec() == QDialog::Accepted)
        setBasePoint(dialog.logic().pbx.GetValue(), dialog.logic().pby.GetValue());
}
