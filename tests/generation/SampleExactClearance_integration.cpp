// The generation thread end to end on the sample model: every milling type's
// output file, read back, measured against the exact contact of its tool with
// the model's triangles, worked out by brute force.
#include "ContactReference.h"
#include "CorrectionSupport.h"
#include "TestSupport.h"

#include "foundation/State.h"
#include "generation/GenProcesowWatek.h"
#include "geometry/Frez.h"
#include "output/DaneWyjsciowe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

using namespace korvane;

namespace {

const TFrezDane ball3{"", "Ball3", toolBallNose, 3, 0, 5, 3, 10};
const TFrezDane flat6{"", "Flat6", toolEndMill, 6, 0, 6, 30, 60};

class SampleExactClearance : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui);
        dataFolder = dir.path();
        outputFolderName = "Output";
        std::filesystem::create_directories(dataFolder / outputFolderName);
        test::useModel(
            test::readModel(std::filesystem::path(KORVANE_SOURCE_DIR) / "samples" / "Sample.stl"),
            5);
    }

    // The operation generated and its output file read back.
    FigureList generate(const TOperacjaDane& o, const TFrezDane& tool) {
        tGenProcesow gen(o, std::make_unique<TFrez>(tool));
        gen.Execute();
        EXPECT_TRUE(gen.result().written) << o.nazwa << " " << gen.result().error;
        tWy reader;
        reader.wczytajPlikWyjsciowy(o.nazwa, -1);
        return std::move(reader.ListaFigur);
    }

    test::RecordingUserInterface ui;
    test::TempDir dir;
};

TOperacjaDane operation(const char* name, int type) {
    TOperacjaDane o;
    o.nazwa = name;
    o.idTyp = type;
    o.warstwaSzer = type == opHatching ? 0.6 : 1;
    o.warstwaGrubosc = type == opRoughing ? 3 : 0.5;
    o.zostawDoNastOper = type == opRoughing ? 0.5 : 0;
    o.kat = 90;
    o.polaczoneKonce = true;
    o.granicaZgorna = 170;
    o.szybkosc = 3000;
    return o;
}

// How deep the points and, looked at every 0.25 mm, the moves of the figures
// (not the transfers between them) lie below the tip height of `exact` with
// `extra` added, at worst.
std::pair<double, double> worst(const FigureList& figures, const test::ContactReference& exact,
                                double extra) {
    double point = 0, move = 0;
    for (const auto& f : figures) {
        if (f->Przestawcza != 0) continue;
        for (std::size_t k = 0; k < f->poz.size(); ++k) {
            const TrPkt3D& b = f->poz[k];
            if (k == 0) {
                point = std::max(point, exact.tip(b.x, b.y) + extra - b.z);
                continue;
            }
            const TrPkt3D& a = f->poz[k - 1];
            const test::ContactReference near = exact.within(
                std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
            point = std::max(point, near.tip(b.x, b.y) + extra - b.z);
            const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
            const int n = std::max(1, static_cast<int>(std::ceil(std::hypot(dx, dy) / 0.25)));
            for (int i = 1; i < n; ++i) {
                const double t = double(i) / n;
                move =
                    std::max(move, near.tip(a.x + t * dx, a.y + t * dy) + extra - (a.z + t * dz));
            }
        }
    }
    return {point, move};
}

} // namespace

TEST_F(SampleExactClearance, EveryMillingTypeStaysOnOrAboveTheExactSurface) {
    const test::ContactReference ball(modelTriangles, test::referenceParts(ball3));
    struct Case {
        const char* name;
        int type;
        bool precise;
    };
    for (const Case& c : {Case{"Layering", opLayeredFinishing, false},
                          Case{"Surfacing", opPlanes, false}, Case{"Lining", opHatching, false},
                          Case{"Precise", opHatching, true}, Case{"Mixed", opMixed, false}}) {
        TOperacjaDane o = operation(c.name, c.type);
        o.ObliczeniaPrecyzyjne = c.precise;
        const auto [point, move] = worst(generate(o, ball3), ball, 0);
        // The file keeps a thousandth of a mm: a point may lie half of it lower.
        EXPECT_LE(point, 0.001) << c.name;
        EXPECT_LE(move, 0.005) << c.name;
    }
    // Roughing keeps its allowance: lowered by it and widened by it, the tool
    // touches nowhere.
    const TOperacjaDane o = operation("Roughing", opRoughing);
    const FigureList roughing = generate(o, flat6);
    const auto lowered =
        worst(roughing, test::ContactReference(modelTriangles, test::referenceParts(flat6)),
              o.zostawDoNastOper);
    const auto widened =
        worst(roughing,
              test::ContactReference(
                  modelTriangles, test::widened(test::referenceParts(flat6), o.zostawDoNastOper)),
              0);
    EXPECT_LE(std::max(lowered.first, widened.first), 0.001);
    EXPECT_LE(std::max(lowered.second, widened.second), 0.005);
}
