// The tool dialog's logic: the checks of OK in order with their messages and
// focus, hostile sizes, the saved file byte for byte, renaming, and the tool
// pane's add and edit around it.
#include "LibrarySupport.h"
#include "RecordingView.h"
#include "TestSupport.h"

#include "app/NarzedzieDlg.h"
#include "app/ToolPane.h"
#include "foundation/DataFolders.h"
#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryFolders.h"
#include "libraries/LibraryState.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

class FocusRecorder : public ToolDialogView {
  public:
    void showToolFields() override { ++shown; }
    void focusToolField(ToolField field) override { focus = field; }
    int shown = 0;
    std::optional<ToolField> focus;
};

class ToolDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui, {});
        test::loadTexts("US");
        ASSERT_NO_FATAL_FAILURE(test::openLibraries(data.path()));
    }
    void TearDown() override {
        operationLibrary.reset();
        toolLibrary.reset();
    }
    int indexOf(const std::string& name) const {
        for (std::size_t i = 0; i < toolLibrary->Lista.size(); ++i)
            if (toolLibrary->Lista[i]->nazwa == name) return static_cast<int>(i);
        return -1;
    }
    std::size_t toolFiles() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(toolsFolder()))
            ++n;
        return n;
    }
    // A complete new ball tool, d1 3, h 3, d3 6, hc 20.
    void fill(TfNarzedzieDlg& dlg, const std::string& name) {
        dlg.setName(name);
        dlg.setType(toolBallNose);
        dlg.d1.setText("3");
        dlg.h.setText("3");
        dlg.d3.setText("6");
        dlg.hc.setText("20");
    }
    std::string lastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }

    test::RecordingUserInterface ui;
    test::TempDir data;
    FocusRecorder view;
};

double doubleAt(const std::string& bytes, std::size_t offset) {
    double v = 0;
    std::memcpy(&v, bytes.data() + offset, 8);
    return v;
}

} // namespace

TEST_F(ToolDialog, NewToolNamedLikeAnExistingOneIsRefused) {
    const std::string before = test::readFile(toolsFolder() / "Ball3.tol");
    for (const char* name : {"Ball3", "ball3", " BALL3 "}) {
        TfNarzedzieDlg dlg(view);
        fill(dlg, name);
        EXPECT_FALSE(dlg.ok()) << name;
        EXPECT_EQ(lastMessage(), "A tool of this name already exists.");
        EXPECT_EQ(view.focus, ToolField::name);
        EXPECT_FALSE(dlg.Zapisano);
    }
    EXPECT_EQ(test::readFile(toolsFolder() / "Ball3.tol"), before);
    EXPECT_EQ(toolFiles(), 4u);
}

TEST_F(ToolDialog, ChecksInOrderWithTheirFocus) {
    TfNarzedzieDlg dlg(view);
    EXPECT_EQ(dlg.caption(), "New tool");
    EXPECT_EQ(dlg.typ, -1);
    EXPECT_EQ(dlg.d1.text(), "");
    auto refused = [&](const std::string& message, ToolField focus) {
        view.focus.reset();
        EXPECT_FALSE(dlg.ok());
        EXPECT_EQ(lastMessage(), message);
        EXPECT_TRUE(ui.messages.back().error);
        EXPECT_EQ(view.focus, focus);
    };
    refused("Enter the tool name.", ToolField::name);
    dlg.setName("   ");
    refused("Enter the tool name.", ToolField::name);
    for (const char* bad : {"a/b", "a\\b", "v1.2", "c:", "what?", "x*", "<t", "t>"}) {
        dlg.setName(bad);
        refused("The name may not contain any of these characters:\n\r/\\.:?*<>", ToolField::name);
    }
    dlg.setName("Cone");
    refused("Choose the tool type.", ToolField::type);
    dlg.setType(toolConical);
    refused("Please fill in the field  »d1«", ToolField::d1);
    // A conical tool wider at h than its shank: the focus on d2.
    dlg.d1.setText("2");
    dlg.d2.setText("6");
    dlg.d3.setText("4");
    dlg.h.setText("5");
    dlg.hc.setText("60");
    refused("The cutting diameter may not be larger than the shank diameter d3.", ToolField::d2);
    dlg.d1.setText("5");
    refused("The cutting diameter may not be larger than the shank diameter d3.", ToolField::d1);
    dlg.d1.setText("2");
    dlg.d2.setText("4");
    dlg.hc.setText("4.999");
    refused("The cutting length h may not be larger than the length hc.", ToolField::h);
    dlg.hc.setText("5");
    EXPECT_TRUE(dlg.ok());
    EXPECT_EQ(toolFiles(), 5u);
}

TEST_F(ToolDialog, TypeDecidesD2) {
    TfNarzedzieDlg dlg(view);
    dlg.setType(toolConical);
    dlg.d2.setText("4");
    dlg.setType(toolEndMill);
    EXPECT_EQ(dlg.d2.text(), "0");
    dlg.d2.setText("4");
    dlg.setType(toolBallNose);
    EXPECT_EQ(dlg.d2.text(), "0");
    dlg.setType(7);
    EXPECT_EQ(dlg.typ, -1);
    EXPECT_TRUE(dlg.LinieWymiaroweWidoczne);
    dlg.toggleDimensionLines();
    EXPECT_FALSE(dlg.LinieWymiaroweWidoczne);
}

TEST_F(ToolDialog, HostileSizesAreNeverSaved) {
    const std::pair<FltField TfNarzedzieDlg::*, ToolField> fields[] = {
        {&TfNarzedzieDlg::d1, ToolField::d1},
        {&TfNarzedzieDlg::d2, ToolField::d2},
        {&TfNarzedzieDlg::h, ToolField::h},
        {&TfNarzedzieDlg::d3, ToolField::d3},
        {&TfNarzedzieDlg::hc, ToolField::hc}};
    for (auto [member, id] : fields)
        for (const char* text : {"", "abc", "--5", "1.2.3", "1,5", "nan", "inf", "1e999", "-1",
                                 "0.009", "1e300", "1000.001"}) {
            // d2 may be 0; its empty text is tried below.
            if (id == ToolField::d2 && (std::string(text) == "" || std::string(text) == "0.009"))
                continue;
            TfNarzedzieDlg dlg(view);
            fill(dlg, "Hostile");
            dlg.setType(toolConical);
            dlg.d2.setText("4");
            (dlg.*member).setText(text);
            view.focus.reset();
            EXPECT_FALSE(dlg.ok()) << text;
            EXPECT_EQ(view.focus, id) << text;
            EXPECT_FALSE(std::filesystem::exists(toolsFolder() / "Hostile.tol")) << text;
        }
    TfNarzedzieDlg dlg(view);
    fill(dlg, "Hostile");
    dlg.setType(toolConical);
    dlg.d2.setText("");
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(lastMessage(), "Please fill in the field  »d2«");
    EXPECT_EQ(toolFiles(), 4u);
}

TEST_F(ToolDialog, NewToolIsWrittenByteForByte) {
    TfNarzedzieDlg dlg(view);
    fill(dlg, "Ball3mm");
    ASSERT_TRUE(dlg.ok());
    ASSERT_TRUE(dlg.Zapisano);
    const std::string bytes = test::readFile(toolsFolder() / "Ball3mm.tol");
    ASSERT_EQ(bytes.size(), 148u);
    ASSERT_EQ(bytes[0], 38);
    const std::string id = bytes.substr(1, 38);
    EXPECT_EQ(id.front(), '{');
    EXPECT_EQ(id.back(), '}');
    for (std::size_t i : {9u, 14u, 19u, 24u}) EXPECT_EQ(id[i], '-') << i;
    EXPECT_EQ(id[15], '4'); // version 4
    EXPECT_EQ(id.find_first_not_of("{}-0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(bytes.substr(39, 8), std::string("\x07"
                                               "Ball3mm"));
    EXPECT_EQ(bytes.substr(104, 4), std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(bytes.substr(108, 8), std::string("\x00\x00\x00\x00\x00\x00\x08\x40", 8)); // 3
    EXPECT_EQ(doubleAt(bytes, 116), 0);                                                  // d2
    EXPECT_EQ(doubleAt(bytes, 124), 6);                                                  // d3
    EXPECT_EQ(doubleAt(bytes, 132), 3);                                                  // h
    EXPECT_EQ(doubleAt(bytes, 140), 20);                                                 // hc
    // Two new tools get two ids.
    TfNarzedzieDlg second(view);
    fill(second, "Ball3b");
    ASSERT_TRUE(second.ok());
    EXPECT_NE(test::readFile(toolsFolder() / "Ball3b.tol").substr(1, 38), id);
}

TEST_F(ToolDialog, EditingKeepsTheIdAndRenamingKeepsOneFile) {
    const int index = indexOf("EndSloting6");
    ASSERT_GE(index, 0);
    const TFrezDane tool = *toolLibrary->Lista[static_cast<std::size_t>(index)];
    {
        TfNarzedzieDlg dlg(view, tool, index);
        EXPECT_EQ(dlg.caption(), "Edit tool");
        EXPECT_EQ(dlg.d1.text(), "6.000");
        EXPECT_EQ(dlg.d2.text(), "0");
        dlg.setName("Ball2"); // another tool's name asks first; only Yes goes on
        for (Button answer : {Button::No, Button::Cancel}) {
            ui.answer = answer;
            EXPECT_FALSE(dlg.ok());
            ASSERT_FALSE(ui.questions.empty());
            EXPECT_EQ(ui.questions.back(), "Another tool already has this name. Save anyway?");
            EXPECT_EQ(view.focus, ToolField::name);
        }
        EXPECT_TRUE(ui.messages.empty());
        dlg.setName("endsloting6"); // its own name in other letters is its own
        ASSERT_TRUE(dlg.ok());
        EXPECT_EQ(ui.questions.size(), 2u);
    }
    EXPECT_FALSE(std::filesystem::exists(toolsFolder() / "EndSloting6.tol"));
    const std::string bytes = test::readFile(toolsFolder() / "endsloting6.tol");
    EXPECT_EQ(bytes.substr(1, 38), "{4A2B4D7F-05FC-4C1A-A051-BC8CB8EDEC47}");
    EXPECT_EQ(doubleAt(bytes, 108), 6);
    EXPECT_EQ(toolFiles(), 4u);
    // Renamed for good: the library then holds one tool of that id, and the
    // default roughing operation still finds it.
    toolLibrary->LadujListe();
    const TFrezDane renamed = *toolLibrary->Lista[static_cast<std::size_t>(indexOf("endsloting6"))];
    {
        TfNarzedzieDlg dlg(view, renamed, indexOf("endsloting6"));
        dlg.setName("Slot 6");
        ASSERT_TRUE(dlg.ok());
    }
    toolLibrary->LadujListe();
    EXPECT_EQ(std::count_if(toolLibrary->Lista.begin(), toolLibrary->Lista.end(),
                            [&](const auto& t) { return t->id == renamed.id; }),
              1);
    const auto roughing =
        std::find_if(operationLibrary->Lista.begin(), operationLibrary->Lista.end(),
                     [](const auto& o) { return o->nazwa == "Roughing"; });
    ASSERT_NE(roughing, operationLibrary->Lista.end());
    const int found = toolLibrary->dajIndxFrezuNaLiscie((*roughing)->narzedzie);
    ASSERT_GE(found, 0);
    EXPECT_EQ(toolLibrary->Lista[static_cast<std::size_t>(found)]->nazwa, "Slot 6");
    EXPECT_EQ(toolFiles(), 4u);
}

TEST_F(ToolDialog, EditedToolReplacesTheOneWhoseNameItTakes) {
    const int index = indexOf("EndSloting6");
    const TFrezDane tool = *toolLibrary->Lista[static_cast<std::size_t>(index)];
    TfNarzedzieDlg dlg(view, tool, index);
    dlg.setName("ball2");
    ASSERT_TRUE(dlg.ok());
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(toolsFolder() / "Ball2.tol"));
    EXPECT_FALSE(std::filesystem::exists(toolsFolder() / "EndSloting6.tol"));
    EXPECT_EQ(test::readFile(toolsFolder() / "ball2.tol").substr(1, 38), tool.id);
    EXPECT_EQ(toolFiles(), 3u);
}

TEST_F(ToolDialog, EditingInInchesKeepsUntouchedSizes) {
    settings.jednostkaMiary = unitInch;
    const int index = indexOf("Ball2");
    const TFrezDane tool = *toolLibrary->Lista[static_cast<std::size_t>(index)];
    TfNarzedzieDlg dlg(view, tool, index);
    EXPECT_EQ(dlg.d3.text(), "0.256"); // 6.5 mm
    ASSERT_TRUE(dlg.ok());
    const std::string bytes = test::readFile(toolsFolder() / "Ball2.tol");
    EXPECT_EQ(doubleAt(bytes, 108), 2);
    EXPECT_EQ(doubleAt(bytes, 124), 6.5);
    EXPECT_EQ(doubleAt(bytes, 140), 60);
}

TEST_F(ToolDialog, PaneAddsAndEditsThroughTheDialog) {
    test::RecordingView window;
    ToolPane pane(window);
    pane.fill();
    window.toolDialog = [&](const TFrezDane* tool, int index) {
        auto dlg = tool ? TfNarzedzieDlg(view, *tool, index) : TfNarzedzieDlg(view);
        if (!tool)
            fill(dlg, "Engraver");
        else
            dlg.hc.setText("70");
        return dlg.ok();
    };
    pane.add();
    ASSERT_EQ(window.tools.size(), 5u);
    EXPECT_NE(std::find(window.tools.begin(), window.tools.end(), "Engraver"), window.tools.end());
    pane.select(indexOf("Ball2"));
    pane.edit();
    EXPECT_EQ(window.toolSelected, indexOf("Ball2"));
    EXPECT_EQ(toolLibrary->Lista[static_cast<std::size_t>(indexOf("Ball2"))]->hc, 70);
    // A cancelled dialog changes nothing.
    window.toolDialog = nullptr;
    pane.add();
    EXPECT_EQ(window.tools.size(), 5u);
}
