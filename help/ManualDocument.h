#pragma once
// An operator's manual laid out from its Markdown source: the text in the
// fonts given, its pictures fitted to the page, right to left when the text is.

#include <QString>
#include <QStringList>
#include <QTextDocument>
#include <memory>

namespace korvane::manual {

struct ManualSource {
    QString markdownFile;     // pictures are named relative to its folder
    QStringList fontFamilies; // in order of preference, the first for the body
};

// The laid-out manual; throws std::runtime_error naming a file that cannot be
// read or a picture the text names that does not exist.
std::unique_ptr<QTextDocument> layOutManual(const ManualSource& source);

} // namespace korvane::manual
