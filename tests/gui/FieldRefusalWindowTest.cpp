// Numbers out of range in the program as an operator starts it (the language
// switch, a data folder of its own): a value typed into the tool, operation,
// material and configuration dialogs stays as typed when the field is left,
// and OK refuses it with a message in the interface language, naming the field
// and its range; the field has the focus again with the typed text, and
// nothing is saved. OK is pressed with Enter, in the operation dialog clicked
// with the mouse. The message boxes are kept as screenshots.
#include "DialogTestSupport.h"
#include "MainWindowSupport.h"
#include "OperatorSupport.h"
#include "Program.h"
#include "Screenshots.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

using test::child;
using test::clickRow;
using test::isMessageBox;
using test::named;
using test::OnModal;
using test::typeOver;

// Whether the focus of its window lies in `field`.
bool hasFocusIn(QWidget* field) {
    QWidget* focus = field->window()->focusWidget();
    return focus && (focus == field || field->isAncestorOf(focus));
}

// Tab out of a field, as the operator leaves it; false when the focus stayed.
bool leave(QWidget* field) {
    QWidget* edit = field;
    if (auto* line = field->findChild<QLineEdit*>()) edit = line;
    QTest::keyClick(edit, Qt::Key_Tab);
    return !hasFocusIn(field);
}

// The first entry of a combo box chosen with the arrow key.
void chooseFirst(QComboBox* box) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
}

// What a refusal showed, as plain text so that a failure prints it readably.
struct Refusal {
    std::string text, title;
    std::string fieldText; // the refused field's text after the message
    bool focused = false;  // the refused field has the focus again
};

// OK in `dialog`, by Enter or by a click on the button: the message box that
// comes up is kept as a screenshot and closed; then what the refused field
// shows.
Refusal okExpectingRefusal(QWidget& dialog, const char* field, const std::string& shot,
                           bool click = false) {
    Refusal r;
    const OnModal message(isMessageBox, [&](QWidget& box) {
        auto& message = static_cast<QMessageBox&>(box);
        r.text = message.text().toStdString();
        r.title = message.windowTitle().toStdString();
        test::keepShown(box, shot);
        QTest::keyClick(&box, Qt::Key_Return);
    });
    if (click)
        QTest::mouseClick(child<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
    else
        QTest::keyClick(&dialog, Qt::Key_Return);
    r.fieldText = test::fieldText(dialog, field).toStdString();
    r.focused = dialog.isVisible() && hasFocusIn(child<QWidget>(dialog, field));
    return r;
}

class FieldRefusal : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        program = std::make_unique<Program>(std::vector<std::string>{
            "95", language(), "dataDir='" + (dir / "data").string() + "'"});
        ASSERT_TRUE(program->start());
        window = &program->window();
        QApplication::setActiveWindow(window);
        QApplication::processEvents();
    }
    void TearDown() override { program.reset(); }

    std::string language() const { return GetParam(); }
    bool polish() const { return language() == "PL"; }
    // The range message of the field `name` as the language words it.
    std::string outOfRange(const std::string& name, const std::string& range) const {
        return (polish()
                    ? "W polu  »" + name + "«  wartość poza dopuszczalnym zakresem."
                    : "In the field  »" + name + "«  the value is out of the permitted range.") +
               "\r\n( " + range + " )";
    }
    std::string errorTitle() const { return polish() ? "Błąd" : "Error"; }
    std::filesystem::path data(const std::string& name) const { return dir / "data" / name; }

    test::TempDir dir, runtime;
    std::unique_ptr<Program> program;
    MainWindow* window = nullptr;
};

} // namespace

TEST_P(FieldRefusal, ToolDialog) {
    auto* tools = window->findChild<QListWidget*>("lbFrezy");
    const int count = tools->count();
    Refusal r;
    std::string leftWith;
    const OnModal toolDialog([](QWidget& w) { return named(w, "fNarzedzieDlg"); },
                             [&](QWidget& dialog) {
                                 QApplication::setActiveWindow(&dialog);
                                 typeOver(child<QWidget>(dialog, "eNazwa"), "Refused");
                                 chooseFirst(child<QComboBox>(dialog, "cbTyp"));
                                 typeOver(child<QWidget>(dialog, "eD1"), "-3");
                                 EXPECT_TRUE(leave(child<QWidget>(dialog, "eD1")));
                                 leftWith = test::fieldText(dialog, "eD1").toStdString();
                                 typeOver(child<QWidget>(dialog, "eH"), "10");
                                 typeOver(child<QWidget>(dialog, "eD3"), "6");
                                 typeOver(child<QWidget>(dialog, "eHc"), "40");
                                 r = okExpectingRefusal(dialog, "eD1",
                                                        "refusal-tool-" + language());
                                 QTest::keyClick(&dialog, Qt::Key_Escape);
                             });
    clickRow(tools, 0);
    QTest::keyClick(tools, Qt::Key_Insert);

    EXPECT_EQ(leftWith, "-3");
    EXPECT_EQ(r.text, outOfRange("d1", "min= 0.01; max= 500.00"));
    EXPECT_EQ(r.title, errorTitle());
    EXPECT_EQ(r.fieldText, "-3");
    EXPECT_TRUE(r.focused);
    EXPECT_FALSE(std::filesystem::exists(data("Tools/Refused.tol")));
    EXPECT_EQ(tools->count(), count);
}

TEST_P(FieldRefusal, OperationDialog) {
    auto* operations = window->findChild<QListWidget*>("clbOperacje");
    const int count = operations->count();
    Refusal r;
    std::string leftWith;
    const OnModal operationDialog(
        [](QWidget& w) { return named(w, "fOperacjeDlg"); },
        [&](QWidget& dialog) {
            QApplication::setActiveWindow(&dialog);
            typeOver(child<QWidget>(dialog, "eNazwa"), "Refused");
            chooseFirst(child<QComboBox>(dialog, "cbTyp")); // roughing
            chooseFirst(child<QComboBox>(dialog, "cbNarzedzie"));
            typeOver(child<QWidget>(dialog, "eSzerokosc"), "-5");
            EXPECT_TRUE(leave(child<QWidget>(dialog, "eSzerokosc")));
            leftWith = test::fieldText(dialog, "eSzerokosc").toStdString();
            r = okExpectingRefusal(dialog, "eSzerokosc", "refusal-operation-" + language(), true);
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
    clickRow(operations, 0);
    QTest::keyClick(operations, Qt::Key_Insert);

    EXPECT_EQ(leftWith, "-5");
    EXPECT_EQ(r.text, outOfRange(polish() ? "Szerokość przejścia" : "Step-over",
                                 "min= 0.00; max= 1,000.00"));
    EXPECT_EQ(r.title, errorTitle());
    EXPECT_EQ(r.fieldText, "-5");
    EXPECT_TRUE(r.focused);
    EXPECT_FALSE(std::filesystem::exists(data("Operations/Refused.opr")));
    EXPECT_EQ(operations->count(), count);
}

TEST_P(FieldRefusal, MaterialDialog) {
    Refusal r;
    std::string leftWith, heightBefore;
    const OnModal materialDialog(
        [](QWidget& w) { return named(w, "fMaterialDlg"); },
        [&](QWidget& dialog) {
            QApplication::setActiveWindow(&dialog);
            heightBefore = test::fieldText(dialog, "eWysokosc").toStdString();
            typeOver(child<QWidget>(dialog, "eSzerokosc"), "10");
            typeOver(child<QWidget>(dialog, "eDlugosc"), "10");
            typeOver(child<QWidget>(dialog, "eWysokosc"), "171");
            EXPECT_TRUE(leave(child<QWidget>(dialog, "eWysokosc")));
            leftWith = test::fieldText(dialog, "eWysokosc").toStdString();
            r = okExpectingRefusal(dialog, "eWysokosc", "refusal-material-" + language());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
    window->findChild<QAction*>("mMaterial")->trigger();
    EXPECT_EQ(leftWith, "171");
    EXPECT_EQ(r.text, outOfRange(polish() ? "Wysokość Z" : "Height Z", "min= 0.00; max= 170.00"));
    EXPECT_EQ(r.title, errorTitle());
    EXPECT_EQ(r.fieldText, "171");
    EXPECT_TRUE(r.focused);

    // Opened again, the material is what it was.
    std::string heightAfter;
    const OnModal materialAgain([](QWidget& w) { return named(w, "fMaterialDlg"); },
                                [&](QWidget& dialog) {
                                    heightAfter =
                                        test::fieldText(dialog, "eWysokosc").toStdString();
                                    QTest::keyClick(&dialog, Qt::Key_Escape);
                                });
    window->findChild<QAction*>("mMaterial")->trigger();
    EXPECT_EQ(heightAfter, heightBefore);
}

TEST_P(FieldRefusal, ConfigurationDialog) {
    // The operator's settings as an earlier OK wrote them.
    const OnModal earlierOk([](QWidget& w) { return named(w, "fKonfig"); },
                            [&](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
    window->findChild<QAction*>("mKonfig")->trigger();
    const auto settingsFile = data("Konfig.cfg");
    ASSERT_TRUE(std::filesystem::exists(settingsFile));
    const std::string before = test::readFile(settingsFile);

    Refusal r;
    std::string leftWith;
    const OnModal configurationDialog(
        [](QWidget& w) { return named(w, "fKonfig"); },
        [&](QWidget& dialog) {
            QApplication::setActiveWindow(&dialog);
            typeOver(child<QWidget>(dialog, "eRozdzielczosc"), "-2");
            EXPECT_TRUE(leave(child<QWidget>(dialog, "eRozdzielczosc")));
            leftWith = test::fieldText(dialog, "eRozdzielczosc").toStdString();
            r = okExpectingRefusal(dialog, "eRozdzielczosc", "refusal-configuration-" + language());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
    window->findChild<QAction*>("mKonfig")->trigger();
    EXPECT_EQ(leftWith, "-2");
    EXPECT_EQ(r.text, outOfRange(polish() ? "Rozdzielczość [punkty/mm]" : "Resolution [cells/mm]",
                                 "min= 0.10; max= 100.00"));
    EXPECT_EQ(r.title, errorTitle());
    EXPECT_EQ(r.fieldText, "-2");
    EXPECT_TRUE(r.focused);
    EXPECT_EQ(test::readFile(settingsFile), before);

    std::string resolution;
    const OnModal configurationAgain(
        [](QWidget& w) { return named(w, "fKonfig"); },
        [&](QWidget& dialog) {
            resolution = test::fieldText(dialog, "eRozdzielczosc").toStdString();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
    window->findChild<QAction*>("mKonfig")->trigger();
    EXPECT_EQ(resolution, "5.00");
}

INSTANTIATE_TEST_SUITE_P(Languages, FieldRefusal, ::testing::Values("US", "PL"));
