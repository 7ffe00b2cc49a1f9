// The model view under Xvfb with Mesa: the sample pyramid in each drawing
// style, the axes, the tool sketches, and in the main window the stock view,
// the output preview of a generated hatching and the old-style preview, the
// coupled mouse navigation and the view menu. Every frame is kept as a picture.
#include "MainWindow.h"
#include "MainWindowSupport.h"
#include "RAWview.h"
#include "Screenshots.h"
#include "TestSupport.h"

#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "generation/RawDoPixWatek.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "import/RAWodczytWatek.h"
#include "output/DaneWyjsciowe.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

using test::keepScreenshot;

// Pixels whose colour differs from `background` by more than a rounding step.
int drawnPixels(const QImage& image, QColor background) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - background.red()) > 2 ||
                std::abs(c.green() - background.green()) > 2 ||
                std::abs(c.blue() - background.blue()) > 2)
                ++n;
        }
    return n;
}

// Pixels where green clearly leads: the lime model lit by the white light.
int greenPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 40 && c.green() > 2 * c.red() && c.green() > 2 * c.blue()) ++n;
        }
    return n;
}

void loadPyramid() {
    TRAWodczytWatek loader;
    loader.Inicjuj(&modelTriangles,
                   std::filesystem::path(KORVANE_SOURCE_DIR) / "samples/Pyramid.stl", &modelExtents,
                   &modelSize);
    loader.Execute();
    ASSERT_TRUE(loader.errorText().empty()) << loader.errorText();
    ASSERT_FALSE(modelTriangles.empty());
}

class ModelViewGui : public ::testing::Test {
  protected:
    void SetUp() override { test::resetState(ui); }
    test::RecordingUserInterface ui;
};

} // namespace

TEST_F(ModelViewGui, PyramidInEachDrawingStyleUploadedOnce) {
    loadPyramid();
    TRAWview view(tpPrzegladRAW);
    view.setBackground(Qt::black);
    view.setModelKolor(0x00FF00);
    view.setModelMaterial(1.0);
    view.resize(400, 300);
    view.show();
    QApplication::processEvents();
    view.LadujListeRAW(modelTriangles, modelExtents.minX, modelExtents.maxX, modelExtents.minY,
                       modelExtents.maxY, 0, 0);
    // Seen from above after a reset; turned so that the faces catch the light.
    view.Nawigacja(navRotate, 40, 60);

    view.UstawModelSposobKreslenia(skWypelnienie);
    const QImage filled = view.grabFramebuffer();
    view.UstawModelSposobKreslenia(skKontur);
    const QImage contour = view.grabFramebuffer();
    view.UstawModelSposobKreslenia(skPunkty);
    const QImage points = view.grabFramebuffer();
    keepScreenshot(filled, "model-view-filled");
    keepScreenshot(contour, "model-view-contour");
    keepScreenshot(points, "model-view-points");

    const int area = drawnPixels(filled, Qt::black);
    EXPECT_GT(area, 8000); // 40 mm of a 400 × 300 view
    EXPECT_GT(greenPixels(filled), area / 2);
    const int edges = drawnPixels(contour, Qt::black);
    EXPECT_GT(edges, 200);
    EXPECT_LT(edges, area / 2);
    const int corners = drawnPixels(points, Qt::black);
    EXPECT_GT(corners, 3);
    EXPECT_LT(corners, edges);

    // Turning, zooming and panning draw the same buffer again.
    view.UstawModelSposobKreslenia(skWypelnienie);
    view.Nawigacja(navRotate, 90, 0);
    view.Nawigacja(navZoom, 0, -20);
    view.Nawigacja(navPan, 10, 10);
    const QImage turned = view.grabFramebuffer();
    keepScreenshot(turned, "model-view-turned");
    EXPECT_NE(turned, filled);
    EXPECT_EQ(view.bufferUploads(), 1);
    // A new model is uploaded once more.
    view.LadujListeRAW(modelTriangles, 0, 40, 0, 40, 0, 0);
    view.grabFramebuffer();
    EXPECT_EQ(view.bufferUploads(), 2);
}

TEST_F(ModelViewGui, EmptyListDrawsTheAxesOnly) {
    TRAWview view(tpPrzegladRAW);
    view.setBackground(Qt::black);
    view.setModelKolor(0x00FF00);
    view.resize(400, 300);
    view.show();
    QApplication::processEvents();
    view.LadujListeRAW(TriangleList{}, 0, 100, 0, 100, 0, 0);
    EXPECT_EQ(drawnPixels(view.grabFramebuffer(), Qt::black), 0);
    view.UstawWidocznoscUkladuWsp(true);
    view.Nawigacja(navZoom, 0, -100); // larger, so that the arrowheads show
    const QImage axes = view.grabFramebuffer();
    keepScreenshot(axes, "model-view-axes");
    const int drawn = drawnPixels(axes, Qt::black);
    EXPECT_GT(drawn, 400); // two lines across the view
    EXPECT_LT(drawn, 3000);
}

TEST_F(ModelViewGui, ToolSketchOfEachType) {
    const QColor silver(0xC0, 0xC0, 0xC0);
    TRAWview view(tpPrzegladNarzedzi);
    view.setBackground(silver);
    view.setModelKolor(0xFF0000); // blue
    view.setModelMaterial(1.0);
    view.setUkladWsp(true);
    view.setFixedSize(201, 201);
    view.show();
    QApplication::processEvents();
    int previous = 0;
    for (int type : {0, 1, 2}) {
        view.PokazNarzedzie(type);
        const QImage sketch = view.grabFramebuffer();
        keepScreenshot(sketch, "tool-sketch-" + std::to_string(type));
        const int drawn = drawnPixels(sketch, silver);
        EXPECT_GT(drawn, 3000) << type; // a body about 100 × 140 pixels
        EXPECT_NE(drawn, previous) << type;
        previous = drawn;
    }
    EXPECT_EQ(view.state().skala, 0.01);
    for (int none : {-1, 3}) {
        view.PokazNarzedzie(none);
        EXPECT_EQ(drawnPixels(view.grabFramebuffer(), silver), 0) << none;
    }
}

TEST_F(ModelViewGui, MainWindowShowsModelStockAndGeneratedOutput) {
    test::TempDir data;
    test::StartedMainWindow started(ui, data.path());
    ASSERT_TRUE(started.started());
    MainWindow& window = started.window();
    auto* pages = window.findChild<QTabWidget*>("pcWidoki");
    auto* model = window.findChild<TRAWview*>("RAWview1");
    auto* stock = window.findChild<TRAWview*>("rwMaterial");
    auto* preview = window.findChild<TRAWview*>("rwPodgladWy");
    auto* oldPreview = window.findChild<QLabel*>("imgPodgladWy");
    ASSERT_TRUE(pages && model && stock && preview && oldPreview);

    // The model and the stock (the same pyramid).
    window.lockModelView(true);
    loadPyramid();
    window.lockModelView(false);
    window.showModel();
    model->Nawigacja(navRotate, 30, 50);
    const QImage modelImage = model->grabFramebuffer();
    keepScreenshot(modelImage, "main-window-model");
    EXPECT_GT(greenPixels(modelImage), 10000);
    materialTriangles = modelTriangles;
    materialExtents = modelExtents;
    window.showStockModel();
    pages->setCurrentWidget(window.findChild<QWidget*>("tsMaterial"));
    QApplication::processEvents();
    const QImage stockImage = stock->grabFramebuffer();
    keepScreenshot(stockImage, "main-window-stock");
    EXPECT_GT(greenPixels(stockImage), 10000);

    // A hatching at 45° generated over the pyramid's raster, half a mm a cell.
    pixelSize = 0.5;
    rasterSizeX = static_cast<int>(modelSize.x / pixelSize);
    rasterSizeY = static_cast<int>(modelSize.y / pixelSize);
    rasterSizeZ = static_cast<int>((modelSize.z + 10) / pixelSize);
    allocateRasters();
    TRawDoPix raster;
    raster.Inicjuj(&modelTriangles, &modelHeights, false, &modelExtents);
    raster.Execute();
    fillMaterialRaster(1000);
    rasterReady = true;
    TOperacjaDane oper;
    oper.nazwa = "Hatch";
    oper.idTyp = opHatching;
    oper.warstwaSzer = 2;
    oper.kat = 45;
    oper.granicaZdolna = -1;
    oper.granicaZgorna = 100;
    TFrezDane tool;
    tool.typ = toolBallNose;
    tool.d1 = tool.d3 = 2;
    tool.h = tool.hc = 20;
    tGenProcesow gen(oper, std::make_unique<TFrez>(tool));
    gen.Execute();
    ASSERT_TRUE(gen.result().written) << gen.result().error;

    window.showOutputFile(outputFilePath("Hatch"));
    ASSERT_FALSE(outputReader->ListaFigur.empty());
    EXPECT_EQ(pages->currentWidget(), window.findChild<QWidget*>("tsPodgladOut"));
    QApplication::processEvents();
    preview->Nawigacja(navRotate, 20, 40);
    const QImage paths = preview->grabFramebuffer();
    keepScreenshot(paths, "main-window-output-preview");
    const QColor previewBackground(0x2A, 0x2E, 0x36);
    const int drawnPaths = drawnPixels(paths, previewBackground);
    EXPECT_GT(drawnPaths, 2000);
    const QImage old = oldPreview->pixmap().toImage();
    keepScreenshot(old, "main-window-old-preview");
    EXPECT_EQ(old.size(), QSize(800, 600));
    EXPECT_GT(drawnPixels(old, Qt::white), 500);
    EXPECT_EQ(preview->bufferUploads(), 1);

    // A double click on either preview asks for the output file's parameters.
    // (The command is offered while a file is selected in the output list.)
    int asked = 0;
    auto* parameters = window.findChild<QAction*>("pmiParPlikuWy");
    parameters->setEnabled(true);
    QObject::connect(parameters, &QAction::triggered, [&asked] { ++asked; });
    for (QWidget* w : {static_cast<QWidget*>(preview), static_cast<QWidget*>(oldPreview)}) {
        QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &twice);
    }
    EXPECT_EQ(asked, 2);

    // An empty path clears both previews: the axes and the model stay.
    window.showOutputFile({});
    EXPECT_EQ(drawnPixels(oldPreview->pixmap().toImage(), Qt::white), 0);
    const auto reddish = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > 200 && c.green() < 90 && c.blue() < 60;
            }
        return n;
    };
    EXPECT_GT(reddish(paths), 100); // the hatching's highest strokes
    EXPECT_EQ(reddish(preview->grabFramebuffer()), 0);
    EXPECT_TRUE(window.close());
}

TEST_F(ModelViewGui, MouseNavigationCoupledViewsAndViewMenu) {
    test::TempDir data;
    test::StartedMainWindow started(ui, data.path());
    ASSERT_TRUE(started.started());
    MainWindow& window = started.window();
    auto* model = window.findChild<TRAWview*>("RAWview1");
    auto* preview = window.findChild<TRAWview*>("rwPodgladWy");
    ASSERT_TRUE(model && preview);
    // Saved settings at start: colour 0 is shown green.
    EXPECT_EQ(model->modelKolor(), 0x00FF00);

    auto drag = [&](Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint from, QPoint to) {
        QMouseEvent press(QEvent::MouseButtonPress, from, model->mapToGlobal(from), button, button,
                          keys);
        QApplication::sendEvent(model, &press);
        QMouseEvent move(QEvent::MouseMove, to, model->mapToGlobal(to), Qt::NoButton, button, keys);
        QApplication::sendEvent(model, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, model->mapToGlobal(to), button,
                            Qt::NoButton, keys);
        QApplication::sendEvent(model, &release);
    };

    // Alone: right-drag 40 right and 20 up turns by 20° and −10°.
    drag(Qt::RightButton, Qt::NoModifier, {100, 100}, {140, 80});
    EXPECT_EQ(model->state().katPoziom, 20);
    EXPECT_EQ(model->state().katPion, -10);
    EXPECT_EQ(preview->state().katPoziom, 0);

    // Coupled while an output file is shown (an empty one will do).
    settings.sprzegNawigacyjny = true;
    test::writeFile(data / "Empty.out", "Operation type=3\r\n");
    window.showOutputFile(data / "Empty.out");
    EXPECT_EQ(model->state().katPoziom, 0);                           // reset by the output file
    drag(Qt::LeftButton, Qt::ControlModifier, {100, 100}, {150, 50}); // pan, vertical only
    EXPECT_EQ(model->state().przesuwPoziom, 0);
    EXPECT_DOUBLE_EQ(model->state().przesuwPion, 0.5);
    EXPECT_DOUBLE_EQ(preview->state().przesuwPion, 0.5);

    // Locked while a model loads: nothing moves.
    window.lockModelView(true);
    drag(Qt::RightButton, Qt::NoModifier, {100, 100}, {200, 100});
    EXPECT_EQ(model->state().katPoziom, 0);
    window.lockModelView(false);

    // The view menu applies at once and is stored.
    window.findChild<QAction*>("mModelKontur")->trigger();
    EXPECT_EQ(model->modelSposobKreslenia(), skKontur);
    EXPECT_EQ(settings.modelSposobKreslenia, 1);
    window.findChild<QAction*>("mMaterialSredniPolysk")->trigger();
    EXPECT_EQ(model->modelMaterial(), 0.5);
    window.findChild<QAction*>("mUkladWsp")->trigger();
    EXPECT_TRUE(model->ukladWsp());
    EXPECT_TRUE(settings.ukladWsp);
    drag(Qt::RightButton, Qt::NoModifier, {100, 100}, {110, 100});
    ASSERT_EQ(preview->state().katPoziom, 5);
    window.findChild<QAction*>("mModelResetujPolozenie")->trigger();
    EXPECT_EQ(model->state().katPoziom, 0);
    EXPECT_EQ(preview->state().katPoziom, 0);
    EXPECT_TRUE(window.close());
}
