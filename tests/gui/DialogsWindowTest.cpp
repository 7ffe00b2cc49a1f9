// The tool and operation dialogs and the numeric keypad as windows: filled
// through their real widgets, saved with Enter and read back from disk; the
// sketch of each tool type, the bold label of the focused field, US and SA
// screenshots, and the dialogs opened from the main window's panes.
#include "DialogTestSupport.h"
#include "FltEdit.h"
#include "LibrarySupport.h"
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "MaterialDialog.h"
#include "ModelInfoDialog.h"
#include "NarzedzieDialog.h"
#include "NumPadForm.h"
#include "OperacjeDialog.h"
#include "RAWview.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "ToolDiagram.h"

#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryFolders.h"
#include "libraries/LibraryState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>

using namespace korvane;

namespace {

using test::child;
using test::fieldText;
using test::keepScreenshot;
using test::press;
using test::typeInto;

// Pixels of the sketch that are not its silver background.
int drawnPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - 0xC0) + std::abs(c.green() - 0xC0) + std::abs(c.blue() - 0xC0) >
                6)
                ++n;
        }
    return n;
}

// Pixels of a diagram that are neither white nor its grey frame.
int inkPixels(const QImage& image) {
    int n = 0;
    for (int y = 1; y + 1 < image.height(); ++y)
        for (int x = 1; x + 1 < image.width(); ++x)
            if (image.pixelColor(x, y).lightness() < 240) ++n;
    return n;
}

// Picks entry `index` of a combo box with the arrow keys, as a user does.
void choose(QComboBox* box, int index) {
    box->setFocus();
    while (box->currentIndex() < index) QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > index) QTest::keyClick(box, Qt::Key_Up);
}

double doubleAt(const std::string& bytes, std::size_t offset) {
    double v = 0;
    std::memcpy(&v, bytes.data() + offset, 8);
    return v;
}

class DialogsGui : public ::testing::Test {
  protected:
    void start(const std::string& language, std::vector<std::string> arguments = {}) {
        arguments.push_back(language);
        test::resetState(ui, arguments);
        test::loadTexts(language);
        texts->arabski = language == "SA";
        texts->loadOperationTypes();
        texts->loadUnits();
        ASSERT_NO_FATAL_FAILURE(test::openLibraries(data.path()));
    }
    void TearDown() override {
        project.reset();
        operationLibrary.reset();
        toolLibrary.reset();
    }
    // The label of the field named `name`: the one whose buddy it is.
    static QLabel* labelOf(QWidget& w, const char* name) {
        for (QLabel* l : w.findChildren<QLabel*>())
            if (l->buddy() && l->buddy() == w.findChild<QWidget*>(name)) return l;
        return nullptr;
    }

    test::RecordingUserInterface ui;
    test::TempDir data;
};

} // namespace

TEST_F(DialogsGui, ToolDialogFilledThroughItsWidgetsIsSavedByteForByte) {
    start("US");
    NarzedzieDialog dialog(nullptr, -1);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), "New tool");
    auto* sketch = child<TRAWview>(dialog, "RAWviewNarzedzie");
    EXPECT_EQ(sketch->size(), QSize(201, 201));
    EXPECT_EQ(child<ToolDiagram>(dialog, "imSchemat")->type(), -1);

    typeInto(child<QLineEdit>(dialog, "eNazwa"), "Cone 30");
    choose(child<QComboBox>(dialog, "cbTyp"), toolConical);
    EXPECT_TRUE(child<QWidget>(dialog, "eD2")->isEnabled());
    EXPECT_EQ(child<ToolDiagram>(dialog, "imSchemat")->type(), toolConical);
    typeInto(child<QWidget>(dialog, "eD1"), "0,2a-"); // the comma and the letter beep
    EXPECT_EQ(fieldText(dialog, "eD1"), "02-");
    typeInto(child<QWidget>(dialog, "eD1"), "0.2");
    typeInto(child<QWidget>(dialog, "eD2"), "3.5");
    typeInto(child<QWidget>(dialog, "eH"), "9.5");
    typeInto(child<QWidget>(dialog, "eD3"), "4");
    typeInto(child<QWidget>(dialog, "eHc"), "12");
    // The focused field's label is bold, the others are not.
    QLabel* hcLabel = labelOf(dialog, "eHc");
    ASSERT_NE(hcLabel, nullptr);
    EXPECT_EQ(hcLabel->text(), "hc [mm]");
    EXPECT_TRUE(hcLabel->font().bold());
    child<QWidget>(dialog, "eD3")->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(hcLabel->font().bold());
    keepScreenshot(dialog.grab().toImage(), "tool-dialog-US");

    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    ASSERT_TRUE(dialog.logic().Zapisano);
    EXPECT_FALSE(dialog.isVisible());
    const std::string bytes = test::readFile(toolsFolder() / "Cone 30.tol");
    ASSERT_EQ(bytes.size(), 148u);
    EXPECT_EQ(bytes.substr(39, 8), std::string("\x07"
                                               "Cone 30"));
    EXPECT_EQ(bytes.substr(104, 4), std::string("\x02\x00\x00\x00", 4));
    EXPECT_EQ(doubleAt(bytes, 108), 0.2);
    EXPECT_EQ(doubleAt(bytes, 116), 3.5);
    EXPECT_EQ(doubleAt(bytes, 124), 4);
    EXPECT_EQ(doubleAt(bytes, 132), 9.5);
    EXPECT_EQ(doubleAt(bytes, 140), 12);
}

TEST_F(DialogsGui, ToolDialogRefusesAndKeepsTheFocusOnTheField) {
    start("US");
    NarzedzieDialog dialog(nullptr, -1);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
    typeInto(child<QLineEdit>(dialog, "eNazwa"), "Cone");
    choose(child<QComboBox>(dialog, "cbTyp"), toolConical);
    typeInto(child<QWidget>(dialog, "eD1"), "2");
    typeInto(child<QWidget>(dialog, "eD2"), "6");
    typeInto(child<QWidget>(dialog, "eD3"), "4");
    typeInto(child<QWidget>(dialog, "eH"), "5");
    typeInto(child<QWidget>(dialog, "eHc"), "60");
    QTest::keyClick(&dialog, Qt::Key_Return);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "The cutting diameter may not be larger than the shank diameter d3.");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(child<QWidget>(dialog, "eD2")->hasFocus());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(std::filesystem::exists(toolsFolder() / "Cone.tol"));
}

TEST_F(DialogsGui, ToolDialogShowsTheSketchOfEachType) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        const int index = 0;
        const TFrezDane tool = *toolLibrary->Lista[index];
        NarzedzieDialog dialog(&tool, index);
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(dialog.layoutDirection() == Qt::RightToLeft, std::string(language) == "SA");
        auto* sketch = child<TRAWview>(dialog, "RAWviewNarzedzie");
        auto* diagram = child<ToolDiagram>(dialog, "imSchemat");
        std::vector<QImage> diagrams;
        for (int type : {toolEndMill, toolBallNose, toolConical}) {
            choose(child<QComboBox>(dialog, "cbTyp"), type);
            QApplication::processEvents();
            const QImage picture = sketch->grabFramebuffer();
            EXPECT_GT(drawnPixels(picture), 3000) << type;
            EXPECT_EQ(diagram->type(), type);
            diagrams.push_back(diagram->grab().toImage());
            EXPECT_GT(inkPixels(diagrams.back()), 2000) << type;
            keepScreenshot(dialog.grab().toImage(),
                           "tool-dialog-" + std::string(language) + "-type" + std::to_string(type));
        }
        EXPECT_NE(diagrams[0], diagrams[1]);
        EXPECT_NE(diagrams[1], diagrams[2]);
        EXPECT_NE(diagrams[0], diagrams[2]);
        // A double click hides the dimension lines: fewer pixels differ.
        const int withLines = drawnPixels(sketch->grabFramebuffer());
        QTest::mouseDClick(sketch, Qt::LeftButton, {}, QPoint(100, 100));
        QApplication::processEvents();
        EXPECT_FALSE(dialog.logic().LinieWymiaroweWidoczne);
        EXPECT_LT(drawnPixels(sketch->grabFramebuffer()), withLines);
        dialog.reject();
    }
}

TEST_F(DialogsGui, NewToolWithoutTypeShowsTheEmptyDiagramWithItsText) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        NarzedzieDialog dialog(nullptr, -1);
        dialog.show();
        QApplication::processEvents();
        auto* diagram = child<ToolDiagram>(dialog, "imSchemat");
        EXPECT_EQ(diagram->type(), -1);
        // The text alone: some ink, far less than a drawn tool.
        const int text = inkPixels(diagram->grab().toImage());
        EXPECT_GT(text, 20);
        keepScreenshot(dialog.grab().toImage(), std::string("tool-dialog-new-") + language);
        choose(child<QComboBox>(dialog, "cbTyp"), toolBallNose);
        EXPECT_GT(inkPixels(diagram->grab().toImage()), 3 * text);
        dialog.reject();
    }
}

TEST_F(DialogsGui, OperationDialogFilledThroughItsWidgetsIsSavedKeyForKey) {
    start("US");
    OperacjeDialog dialog(nullptr, -1);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), "New operation");
    typeInto(child<QLineEdit>(dialog, "eNazwa"), "Hatch fine");
    choose(child<QComboBox>(dialog, "cbTyp"), 3); // hatching at an angle
    auto* tools = child<QComboBox>(dialog, "cbNarzedzie");
    choose(tools, tools->findText("Ball3"));
    EXPECT_EQ(fieldText(dialog, "eSzerokosc"), "1.500");
    EXPECT_FALSE(child<QWidget>(dialog, "eGlebokosc")->isVisible());
    EXPECT_TRUE(child<QWidget>(dialog, "eKat")->isVisible());
    auto* connect = child<QCheckBox>(dialog, "cbPolaczone");
    EXPECT_EQ(connect->text(), "Connect the line ends");
    typeInto(child<QWidget>(dialog, "eSzerokosc"), "0.25");
    typeInto(child<QWidget>(dialog, "eKat"), "-45");
    typeInto(child<QWidget>(dialog, "eGranicaZdolna"), "7");
    QTest::mouseClick(connect, Qt::LeftButton);
    EXPECT_FALSE(child<QWidget>(dialog, "eGranicaZdolna")->isEnabled());
    EXPECT_EQ(fieldText(dialog, "eGranicaZdolna"), "0.000");
    typeInto(child<QLineEdit>(dialog, "eOpis"), "fine lines");
    // The description's label is bold while it has the focus, as every field's.
    QLabel* descriptionLabel = labelOf(dialog, "eOpis");
    ASSERT_NE(descriptionLabel, nullptr);
    EXPECT_TRUE(descriptionLabel->font().bold());
    keepScreenshot(dialog.grab().toImage(), "operation-dialog-US");
    child<QWidget>(dialog, "eKat")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    ASSERT_TRUE(dialog.logic().Zapisano);
    EXPECT_EQ(test::readFile(operationsFolder() / "Hatch fine.opr"),
              "[Operacja]\r\nnazwa=Hatch fine\r\nidTyp=3\r\n"
              "narzedzie={7F0E47C7-6097-46F0-9034-F741CF02E737}\r\nwarstwaSzer=0.25\r\n"
              "kat=-45\r\npolaczoneKonce=1\r\nzostawDoNastOper=0\r\nszybkosc=3000\r\n"
              "szybkoscPrzestawcza=1000\r\nposuwWiercenia=90\r\nobroty=24000\r\n"
              "dolnaGranicaZ=0\r\ngornaGranicaZ=170\r\nobliczeniaPrecyzyjne=0\r\n"
              "opis=fine lines\r\n");
}

TEST_F(DialogsGui, OperationDialogRightToLeftAndInInches) {
    start("SA");
    settings.jednostkaMiary = unitInch;
    const TOperacjaDane roughing = *operationLibrary->Lista[0];
    OperacjeDialog dialog(&roughing, 0);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
    EXPECT_EQ(dialog.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(fieldText(dialog, "eSzerokosc"), "0.118"); // 3 mm
    keepScreenshot(dialog.grab().toImage(), "operation-dialog-SA");
    dialog.reject();
}

TEST_F(DialogsGui, NumPadOpensOnOneClickWithTheTouchSwitch) {
    start("US", {"touchPanel"});
    FltField field(true);
    field.setFormat(FloatFormat::fixed, 15, 3);
    field.setLimits(-100, 100);
    QWidget form;
    auto* edit = new TFltEditU(field, &form);
    applyTouchMode(&form);
    EXPECT_TRUE(field.fBigNumPad && field.fJedenKlikKalkulator);
    form.show();
    QApplication::setActiveWindow(&form);
    QApplication::processEvents();
    QString caption;
    QSize size;
    QTimer::singleShot(0, [&] {
        auto* pad = qobject_cast<TNumPadForm*>(QApplication::activeModalWidget());
        ASSERT_NE(pad, nullptr);
        size = pad->size();
        for (const char* b : {"btnMinus", "btnMinus", "btn4", "btn2", "btnDecimal", "btn5"})
            QTest::mouseClick(pad->findChild<QPushButton*>(b), Qt::LeftButton);
        caption = pad->windowTitle();
        keepScreenshot(pad->grab().toImage(), "numpad-large");
        QTest::mouseClick(pad->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    });
    QTest::mouseClick(edit->findChild<QLineEdit*>(), Qt::LeftButton);
    EXPECT_EQ(caption, "-42.5");
    EXPECT_EQ(size, QSize(298, 318));
    EXPECT_EQ(edit->findChild<QLineEdit*>()->text(), "-42.500");
    EXPECT_DOUBLE_EQ(field.GetValue(), -42.5);
}

TEST_F(DialogsGui, PanesOpenTheDialogsFromTheMainWindow) {
    test::StartedMainWindow started(ui, data.path());
    ASSERT_TRUE(started.started());
    MainWindow& window = started.window();
    started.activate();
    auto* tools = child<QListWidget>(window, "lbFrezy");
    EXPECT_TRUE(child<QPushButton>(window, "btnFrezDodaj")->isEnabled());
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<NarzedzieDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QApplication::setActiveWindow(dialog);
        typeInto(dialog->findChild<QLineEdit*>("eNazwa"), "Engraver");
        choose(dialog->findChild<QComboBox*>("cbTyp"), toolEndMill);
        typeInto(dialog->findChild<QWidget*>("eD1"), "0.5");
        typeInto(dialog->findChild<QWidget*>("eH"), "1");
        typeInto(dialog->findChild<QWidget*>("eD3"), "3");
        typeInto(dialog->findChild<QWidget*>("eHc"), "10");
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    tools->setFocus();
    QTest::keyClick(tools, Qt::Key_Insert);
    ASSERT_EQ(tools->count(), 5);
    EXPECT_EQ(tools->item(0)->text(), "Engraver"); // the smallest diameter first

    auto* operations = child<QListWidget>(window, "clbOperacje");
    operations->setCurrentRow(0);
    EXPECT_TRUE(child<QPushButton>(window, "btnOperEdytuj")->isEnabled());
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<OperacjeDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QApplication::setActiveWindow(dialog);
        typeInto(dialog->findChild<QLineEdit*>("eNazwa"), "Roughing 2");
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    QTest::mouseClick(child<QPushButton>(window, "btnOperEdytuj"), Qt::LeftButton);
    EXPECT_FALSE(std::filesystem::exists(operationsFolder() / "Roughing.opr"));
    EXPECT_TRUE(std::filesystem::exists(operationsFolder() / "Roughing 2.opr"));
    EXPECT_EQ(operations->currentItem()->text(), "Roughing 2");
    window.close();
}

TEST_F(DialogsGui, ModelInformationInInches) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        settings.jednostkaMiary = unitInch;
        test::writeFile(data / "part.stl", std::string(100, 'x'));
        TModel model;
        model.plik_RAW = (data / "part.stl").string();
        model.minX = -12.7;
        model.maxX = 12.7;
        model.maxY = 50.8;
        model.maxZ = 2.54;
        TfModelInfo dialog(120, 90, model);
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(dialog.layoutDirection() == Qt::RightToLeft, std::string(language) == "SA");
        if (std::string(language) == "US") {
            EXPECT_EQ(dialog.windowTitle(), "Model information");
        }
        EXPECT_EQ(child<QLabel>(dialog, "lPlikNzw")->text(), "part.stl");
        EXPECT_EQ(child<QLabel>(dialog, "lPlikNzw")->toolTip().toStdString(), model.plik_RAW);
        EXPECT_EQ(child<QLabel>(dialog, "lRozmiarPlikuWart")->text(), "100b");
        EXPECT_EQ(child<QLabel>(dialog, "lWymX")->text(), "1.000 ");
        EXPECT_EQ(child<QLabel>(dialog, "lWymY")->text(), "2.000 ");
        EXPECT_EQ(child<QLabel>(dialog, "lMinX")->text(), "-0.500 ");
        EXPECT_EQ(child<QLabel>(dialog, "lMaxZ")->text(), "0.100 ");
        keepScreenshot(dialog.grab().toImage(), std::string("model-info-") + language);
        dialog.accept();
    }
}

TEST_F(DialogsGui, MaterialDialogFilledThroughItsWidgets) {
    for (const char* language : {"US", "SA"}) {
        start(language);
        pixelSize = 0.5;
        project->d.material.zrodlo = materialCoating;
        project->d.material.gruboscPowloki = 3;
        TModel model;
        model.minX = -40;
        model.maxX = 40;
        model.maxY = 30;
        model.maxZ = 12;
        MaterialDialog dialog(model);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
        EXPECT_TRUE(child<QRadioButton>(dialog, "rbZrodlo1")->isChecked());
        EXPECT_EQ(fieldText(dialog, "eGruboscPowloki"), "3.000");
        EXPECT_FALSE(child<QWidget>(dialog, "eWysokosc")->isEnabled());
        press(child<QRadioButton>(dialog, "rbZrodlo0"));
        EXPECT_TRUE(child<QWidget>(dialog, "eWysokosc")->isEnabled());
        EXPECT_EQ(fieldText(dialog, "eGruboscPowloki"), "0.000");
        QTest::mouseClick(child<QPushButton>(dialog, "btnWymiaryModelu"), Qt::LeftButton);
        EXPECT_EQ(fieldText(dialog, "eSzerokosc"), "80.000");
        typeInto(child<QWidget>(dialog, "eWysokosc"), "25");
        typeInto(child<QWidget>(dialog, "ePodkladka"), "-2");
        keepScreenshot(dialog.grab().toImage(), std::string("material-dialog-") + language);
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_TRUE(dialog.logic().zapisano) << language;
        const TMaterial& m = project->d.material;
        EXPECT_EQ(m.zrodlo, materialBlock);
        EXPECT_EQ(m.rozmX, 80);
        EXPECT_EQ(m.rozmY, 30);
        EXPECT_EQ(m.rozmZ, 25);
        EXPECT_EQ(m.gruboscPodkladki, -2);
    }
}
