#include "ManualDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <stdexcept>
#include <vector>

namespace korvane::manual {
namespace {

// Screenshots are shown at three quarters of their screen size, so that their
// lettering comes close to the body text, and at most this wide and high in the
// document's 96-per-inch units: the text column of an A4 page with 2 cm margins
// is about 640 wide.
constexpr double pictureScale = 0.75;
constexpr double maxPictureWidth = 560;
constexpr double maxPictureHeight = 520;
constexpr double bodyPointSize = 10.5;

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return QString::fromUtf8(file.readAll());
}

// True when most of the letters are of a right-to-left script.
bool isRightToLeft(const QString& text) {
    int leftToRight = 0, rightToLeft = 0;
    for (QChar c : text) {
        const QChar::Direction d = c.direction();
        if (d == QChar::DirL)
            ++leftToRight;
        else if (d == QChar::DirR || d == QChar::DirAL)
            ++rightToLeft;
    }
    return rightToLeft > leftToRight;
}

struct Picture {
    int position;
    QTextImageFormat format;
};

std::vector<Picture> picturesOf(const QTextDocument& document) {
    std::vector<Picture> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().isImageFormat())
                pictures.push_back({fragment.position(), fragment.charFormat().toImageFormat()});
        }
    return pictures;
}

// Loads each picture the text names from beside the source, shrinks it to the
// page keeping its proportions and centres its line.
void placePictures(QTextDocument& document, const QDir& folder) {
    for (Picture& picture : picturesOf(document)) {
        const QString name = picture.format.name();
        const QImage image(folder.filePath(name));
        if (image.isNull())
            throw std::runtime_error("cannot read the picture " +
                                     folder.filePath(name).toStdString());
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        const double scale = std::min(
            {pictureScale, maxPictureWidth / image.width(), maxPictureHeight / image.height()});
        picture.format.setWidth(image.width() * scale);
        picture.format.setHeight(image.height() * scale);
        QTextCursor cursor(&document);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
        QTextBlockFormat centred = cursor.blockFormat();
        centred.setAlignment(Qt::AlignHCenter);
        centred.setTopMargin(6);
        centred.setBottomMargin(6);
        cursor.setBlockFormat(centred);
    }
}

// Tables across the text column, drawn with thin single rules instead of the
// default raised frames.
void ruleTables(QTextDocument& document) {
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            QTextTableFormat format = table->format();
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderBrush(Qt::darkGray);
            format.setBorder(1);
            format.setBorderCollapse(true);
            format.setCellSpacing(0);
            format.setCellPadding(3);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            table->setFormat(format);
        }
}

void setDirection(QTextDocument& document, Qt::LayoutDirection direction) {
    QTextOption option = document.defaultTextOption();
    option.setTextDirection(direction);
    document.setDefaultTextOption(option);
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        cursor.setPosition(block.position());
        QTextBlockFormat format = block.blockFormat();
        format.setLayoutDirection(direction);
        cursor.setBlockFormat(format);
    }
}

} // namespace

std::unique_ptr<QTextDocument> layOutManual(const ManualSource& source) {
    const QString text = readText(source.markdownFile);
    auto document = std::make_unique<QTextDocument>();
    QFont font;
    font.setFamilies(source.fontFamilies);
    font.setPointSizeF(bodyPointSize);
    document->setDefaultFont(font);
    document->setMarkdown(text);
    placePictures(*document, QFileInfo(source.markdownFile).dir());
    ruleTables(*document);
    if (isRightToLeft(text)) setDirection(*document, Qt::RightToLeft);
    return document;
}

} // namespace korvane::manual
