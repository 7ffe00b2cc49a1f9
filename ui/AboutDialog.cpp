#include "AboutDialog.h"
#include "DialogSupport.h"

#include "app/About.h"
#include "foundation/Interfejs.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// A label showing `address` as a link; a click opens `target` on the desktop.
QLabel* link(const std::string& address, const std::string& target, const char* name) {
    auto* label = new QLabel(QString("<a href=\"%1\">%2</a>")
                                 .arg(text(target).toHtmlEscaped(), text(address).toHtmlEscaped()));
    label->setObjectName(name);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
    return label;
}

} // namespace

AboutDialog::AboutDialog(int country, QWidget* parent) : QDialog(parent) {
    setObjectName("fOprogramie");
    const AboutText about = aboutText(country);
    setWindowTitle(text(about.caption));
    applyDialogDirection(this);

    auto* title = new QLabel(QString("<b>%1</b>").arg(applicationTitle));
    auto* version = new QLabel(text(about.version));
    version->setObjectName("lWer");
    auto* addresses = new QFormLayout;
    addresses->addRow(text(about.webCaption), link(about.webAddress, about.webTarget, "lWWW"));
    addresses->addRow(text(about.emailCaption),
                      link(about.emailAddress, about.emailTarget, "lEmail"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addLayout(addresses);
    if (about.dealerShown) {
        auto* dealer = new QGroupBox(text(about.dealerCaption));
        dealer->setObjectName("pDealer");
        auto* lines = new QLabel(text(about.dealer));
        lines->setObjectName("lDealer");
        lines->setTextInteractionFlags(Qt::TextSelectableByMouse);
        (new QVBoxLayout(dealer))->addWidget(lines);
        layout->addWidget(dealer);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
