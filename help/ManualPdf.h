#pragma once
// A laid-out manual written as an A4 PDF with its fonts embedded.

#include <QString>
#include <QTextDocument>

namespace korvane::manual {

// Writes the document with page numbers, titled by its first line; throws
// std::runtime_error when the file cannot be written.
void writePdf(const QTextDocument& document, const QString& pdfFile);

} // namespace korvane::manual
