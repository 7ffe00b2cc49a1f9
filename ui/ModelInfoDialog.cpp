#include "ModelInfoDialog.h"
#include "DialogSupport.h"

#include "app/ModelInfo.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace korvane;

namespace {

QString caption(const char* key) {
    return QString::fromStdString(txt("ModelInfo", key));
}

QLabel* value(const std::string& text, const char* name) {
    auto* label = new QLabel(QString::fromStdString(text));
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

TfModelInfo::TfModelInfo(int left, int top, const TModel& model, QWidget* parent)
    : QDialog(parent) {
    setObjectName("fModelInfo");
    setWindowTitle(caption("Caption"));
    applyDialogDirection(this);
    const ModelInfoText info = modelInfoText(model, settings.jednostkaMiary);

    auto* grid = new QGridLayout;
    auto* file = value(info.fileName, "lPlikNzw");
    file->setToolTip(QString::fromStdString(info.path));
    file->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(new QLabel(caption("lPlik.Caption")), 0, 0);
    grid->addWidget(file, 0, 1, 1, 3);
    grid->addWidget(new QLabel(caption("lRozmiarPliku.Caption")), 1, 0);
    grid->addWidget(value(info.fileSize, "lRozmiarPlikuWart"), 1, 1);
    grid->addWidget(new QLabel(caption("lMin.Caption")), 2, 2, Qt::AlignRight);
    grid->addWidget(new QLabel(caption("lMax.Caption")), 2, 3, Qt::AlignRight);
    const char* axes[] = {"X", "Y", "Z"};
    const char* sizeNames[] = {"lWymX", "lWymY", "lWymZ"};
    const char* minNames[] = {"lMinX", "lMinY", "lMinZ"};
    const char* maxNames[] = {"lMaxX", "lMaxY", "lMaxZ"};
    const std::string unit = unitTable[static_cast<std::size_t>(settings.jednostkaMiary >= 0 &&
                                                                        settings.jednostkaMiary <= 2
                                                                    ? settings.jednostkaMiary
                                                                    : 0)]
                                 .skrot;
    for (int a = 0; a < 3; ++a) {
        const int row = 3 + a;
        grid->addWidget(new QLabel(caption("lWymiary.Caption") + " " + axes[a] + " [" +
                                   QString::fromStdString(unit) + "]"),
                        row, 0);
        grid->addWidget(value(info.size[static_cast<std::size_t>(a)], sizeNames[a]), row, 1);
        grid->addWidget(value(info.extents[static_cast<std::size_t>(2 * a)], minNames[a]), row, 2);
        grid->addWidget(value(info.extents[static_cast<std::size_t>(2 * a + 1)], maxNames[a]), row,
                        3);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    move(left, top);
}
