// The window as an operator meets it, started as from the command line: a
// model file of random bytes is refused with its reason and the status does
// not say that a model was loaded; START without a machine says that there is
// none; the model open dialog starts in the model's folder; OK in the
// material dialog keeps the model, so that the next build
// writes the same output; Enter that closes an error box does not also edit
// the tool behind it; About the machine opens from the Machine menu.
#include "MachineAboutDialog.h"
#include "MainWindowSupport.h"
#include "Program.h"
#include "Screenshots.h"

#include "foundation/Interfejs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

using namespace korvane;

namespace {

constexpr int deadlineMs = 60000;

std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class OperatorSeat : public ::testing::Test {
  protected:
    OperatorSeat() {
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        // Message boxes are noted and closed with Enter, as the operator does.
        boxes.setInterval(10);
        QObject::connect(&boxes, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box && modal && closeOtherDialogs) {
                otherDialogs.push_back(modal->metaObject()->className());
                modal->close();
            }
            if (!box || box->property("seen").toBool()) return;
            box->setProperty("seen", true);
            shown.push_back(box->text().toStdString());
            test::keepScreenshot(*box,
                                 std::string("message-") +
                                     testing::UnitTest::GetInstance()->current_test_info()->name() +
                                     "-" + std::to_string(shown.size()));
            QTest::keyClick(box, Qt::Key_Return);
        });
        boxes.start();
    }

    // The program started with `words` and the test's data folder.
    void start(std::vector<std::string> words) {
        words.push_back("dataDir='" + (dir / "data").string() + "'");
        program = std::make_unique<Program>(words);
        ASSERT_TRUE(program->start());
        window = &program->window();
        QApplication::setActiveWindow(window);
        QApplication::processEvents();
    }
    QString status() const { return window->findChild<QLabel*>("sbPanel0")->text(); }

    // A project of the sample picture as a relief 20 x 15 mm, 3 mm high,
    // whose surfacing is built: the relief has no triangles, only its raster.
    std::filesystem::path reliefProject() {
        std::filesystem::copy_file(test::sampleFolder / "relief.bmp", dir / "relief.bmp");
        const auto project = dir / "Block.prj";
        std::ofstream(project) << "[Model]\nplikModelu=relief.bmp\nBMPwysokoscBialego=3\n"
                                  "BMPwysokoscCzarnego=0\nBMPx=20\nBMPy=15\n\n[Material]\n"
                                  "materialZrodlo=0\nmaterialRozmiarX=20\nmaterialRozmiarY=15\n"
                                  "materialRozmiarZ=5\nmaterialGruboscPodkladki=0\n\n[Proces]\n"
                                  "proces0=Surfacing\n";
        return project;
    }

    // F4, then the bytes of the surfacing output once the build has ended.
    std::string buildSurfacing() {
        QTest::keyClick(window, Qt::Key_F4);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return !window->logic().genProcWtoku() &&
                       window->findChild<QListWidget*>("lbPlikiWy")->count() == 1;
            },
            deadlineMs));
        return fileBytes(dir / "data" / "Output" / "Block" / "Surfacing.out");
    }

    test::TempDir dir;
    test::TempDir runtime;
    std::unique_ptr<Program> program;
    MainWindow* window = nullptr;
    QTimer boxes;
    std::vector<std::string> shown;
    // Other dialogs that came up, closed when asked for.
    bool closeOtherDialogs = false;
    std::vector<std::string> otherDialogs;
};

TEST_F(OperatorSeat, ARandomBytesModelIsRefusedWithItsReason) {
    // A binary STL whose header counts the facets it holds, every byte of
    // them random.
    const auto file = dir / "Noise.stl";
    {
        std::mt19937 random(7);
        std::string bytes(84 + 50 * 400, '\0');
        for (std::size_t i = 0; i < 80; ++i) bytes[i] = static_cast<char>('A' + i % 26);
        const std::uint32_t count = 400;
        std::memcpy(bytes.data() + 80, &count, 4);
        for (std::size_t i = 84; i < bytes.size(); ++i) bytes[i] = static_cast<char>(random());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    ASSERT_NO_FATAL_FAILURE(start({"US"}));
    ASSERT_NO_FATAL_FAILURE(test::dropFile(*window, file));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.empty(); }, deadlineMs));
    ASSERT_TRUE(test::modelReady(*window));
    const std::string reason = txt("Main_window", "modelPozaRastrem");
    const std::string empty = txt("Other", "zbiorPusty");
    const std::string refused = txt("Main_window", "modelNieWczytany");
    EXPECT_TRUE(shown[0].rfind(reason, 0) == 0 || shown[0].rfind(empty, 0) == 0 ||
                shown[0].rfind(refused, 0) == 0)
        << shown[0];
    EXPECT_NE(shown[0].find(file.string()), std::string::npos) << shown[0];
    EXPECT_EQ(status().toStdString(), txt("Main_window", "modelNieWczytany"));
    EXPECT_NE(status().toStdString(), txt("Main_window", "importRAWzakonczony"));
}

TEST_F(OperatorSeat, StartWithoutAMachineSaysSoAndMaterialOkKeepsTheModel) {
    ASSERT_NO_FATAL_FAILURE(start({"US", reliefProject().string()}));
    ASSERT_TRUE(test::modelReady(*window));
    const std::string before = buildSurfacing();
    ASSERT_FALSE(before.empty());

    // Ctrl+O opens in the folder of the model, named in the project beside it.
    // Its first filter shows every kind of model: Qt reads the patterns
    // between the parentheses, separated by spaces.
    QString folder, filter;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            folder = dialog->directory().absolutePath();
            filter = dialog->selectedNameFilter();
            dialog->reject();
        }
    });
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(std::filesystem::path(folder.toStdString()), dir.path());
    const QString patterns = filter.mid(filter.lastIndexOf('(') + 1).chopped(1);
    EXPECT_EQ(patterns.split(' '),
              QStringList({"*.raw", "*.dxf", "*.stl", "*.obj", "*.ply", "*.3mf", "*.off", "*.gltf",
                           "*.glb", "*.bmp", "*.jpg"}))
        << filter.toStdString();

    // F2 with the output selected and no machine on either link.
    auto* outputs = window->findChild<QListWidget*>("lbPlikiWy");
    QTest::mouseClick(outputs->viewport(), Qt::LeftButton, {},
                      outputs->visualItemRect(outputs->item(0)).center());
    QTest::keyClick(window, Qt::Key_F2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.empty(); }, deadlineMs));
    EXPECT_EQ(shown[0], txt("Control_panel", "brakUsb") + "\r\n" +
                            txt("Control_panel", "sterBrakPolaczenia"));

    // The material dialog confirmed as it stands, then F4 again.
    bool confirmed = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            QTest::keyClick(dialog, Qt::Key_Return);
            confirmed = true;
        }
    });
    window->findChild<QAction*>("mMaterial")->trigger();
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(buildSurfacing(), before);
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(OperatorSeat, EnterClosingAnErrorBoxLeavesTheToolListAlone) {
    ASSERT_NO_FATAL_FAILURE(start({"US"}));
    closeOtherDialogs = true;
    auto* tools = window->findChild<QListWidget*>("lbFrezy");
    const auto used = tools->findItems("Ball3", Qt::MatchExactly);
    ASSERT_EQ(used.size(), 1);
    tools->setFocus();
    QTest::mouseClick(tools->viewport(), Qt::LeftButton, {},
                      tools->visualItemRect(used[0]).center());
    QTest::keyClick(tools, Qt::Key_Delete); // used by an operation: refused
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind(txt("Main_window", "nieMoznaUsunacFrezu"), 0), 0u) << shown[0];
    QTest::qWait(300);
    EXPECT_TRUE(otherDialogs.empty()) << otherDialogs.front(); // no tool dialog behind the box
    closeOtherDialogs = false;
    EXPECT_EQ(tools->findItems("Ball3", Qt::MatchExactly).size(), 1);

    // About the machine, from the Machine menu.
    QAction* about = window->findChild<QAction*>("mOmaszynie");
    ASSERT_TRUE(about->isEnabled());
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened = qobject_cast<MachineAboutDialog*>(dialog) != nullptr;
            test::keepScreenshot(*dialog, "about-the-machine");
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
    about->trigger();
    EXPECT_TRUE(opened);
}

} // namespace
