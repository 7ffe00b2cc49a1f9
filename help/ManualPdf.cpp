#include "ManualPdf.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <stdexcept>

namespace korvane::manual {

void writePdf(const QTextDocument& document, const QString& pdfFile) {
    QFile::remove(pdfFile);
    {
        QPdfWriter writer(pdfFile);
        writer.setTitle(document.firstBlock().text());
        writer.setCreator("Korvane3D");
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        // The document's own 2 cm margins frame every page, with its number in
        // the bottom corner.
        document.print(&writer);
    }
    QFile written(pdfFile);
    if (!written.exists() || written.size() == 0)
        throw std::runtime_error("cannot write " + pdfFile.toStdString());
}

} // namespace korvane::manual
