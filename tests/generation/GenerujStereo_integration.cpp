// The layered print of the sample model read from its file: every path stays
// inside its layer's outlines, no travel link in a layer crosses them, and
// every layer the model reaches has paths.
#include "CorrectionSupport.h"
#include "StereoSupport.h"
#include "foundation/OperationTypes.h"
#include "generation/GenState.h"
#include "generation/GenerujStereo.h"
#include "generation/Przejazdy.h"
#include "generation/StereoWarstwa.h"
#include "geometry/SegmentCrossing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace korvane;

namespace {

const std::filesystem::path sampleModel =
    std::filesystem::path(KORVANE_EXE_DIR) / "Samples" / "Sample.stl";

double segmentDistance(const TrPkt3D& p, const TrPkt3D& a, const TrPkt3D& b) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, l2 = dx * dx + dy * dy;
    const double t =
        l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Inside the outlines by the even-odd rule, or within `slack` of one.
bool insideOrNear(const FigureList& outlines, const TrPkt3D& p, double slack) {
    int crossings = 0;
    for (const auto& f : outlines)
        for (size_t i = 0; i + 1 < f->poz.size(); ++i) {
            const TrPkt3D &a = f->poz[i], &b = f->poz[i + 1];
            if (segmentDistance(p, a, b) <= slack) return true;
            if ((a.y > p.y) != (b.y > p.y) &&
                p.x < a.x + (double(p.y) - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y))
                ++crossings;
        }
    return crossings % 2 == 1;
}

} // namespace

TEST(GenerujStereoSample, PathsStayInsideTheirOutlinesUpToTheTop) {
    figureList.clear();
    generationTerminate = false;
    settings.printer3D = true;
    test::useTriangles(test::readModel(sampleModel), 0.25);
    ASSERT_NEAR(modelSize.z, 22, 1e-3);
    TOperacjaDane o;
    o.idTyp = opPrinting;
    o.warstwaSzer = 0.5;
    o.warstwaGrubosc = 0.5;
    o.iloscObrysow = 2;
    GenerujStereo(o);
    FigureList print = std::move(figureList);
    ASSERT_FALSE(print.empty());
    const int layers = liczbaWarstw(modelSize.z, o.warstwaGrubosc);
    ASSERT_EQ(layers, 44);

    // The outlines of every layer, cut afresh.
    std::map<int, FigureList> outlines;
    {
        tStereoWarstwa cutter(modelTriangles);
        for (int k = 0; k < layers; ++k) {
            figureList.clear();
            cutter.ZWarstwy = wysokoscWarstwy(k, o.warstwaGrubosc);
            cutter.ilosci.Start = 0;
            cutter.Execute();
            for (auto& f : figureList) f->glowna = true, f->NrWarstwy = k;
            outlines[k] = std::move(figureList);
        }
    }
    figureList.clear();

    std::map<int, int> pathsPerLayer;
    long long arcs = 0, hops = 0;
    for (const auto& f : print) {
        const int k = f->NrWarstwy;
        ASSERT_GE(k, 0);
        ASSERT_LT(k, layers);
        if (f->Przestawcza == 1) {
            bool level = true;
            for (const TrPkt3D& p : f->poz)
                level = level && std::fabs(p.z - f->poz.front().z) < 1e-4;
            if (!level) {
                ++hops;
                continue;
            }
            ++arcs;
            const OutlineSegments segments(outlines[k]);
            for (size_t i = 0; i + 1 < f->poz.size(); ++i)
                EXPECT_FALSE(segments.crosses(k, f->poz[i], f->poz[i + 1]))
                    << "link in layer " << k << " crosses an outline";
            continue;
        }
        ++pathsPerLayer[k];
        for (const TrPkt3D& p : f->poz) {
            EXPECT_NEAR(p.z, wysokoscWarstwy(k, o.warstwaGrubosc), 1e-4);
            EXPECT_TRUE(insideOrNear(outlines[k], p, o.warstwaSzer / 2))
                << "layer " << k << " point " << p.x << " " << p.y;
        }
    }
    // Every layer whose cut has an outline has paths, the top one included.
    for (int k = 0; k < layers; ++k) {
        if (!outlines[k].empty()) {
            EXPECT_GT(pathsPerLayer[k], 0) << "layer " << k;
        }
    }
    EXPECT_FALSE(outlines[layers - 1].empty());
    // The straight moves that were left cross no outline of either layer.
    std::map<int, OutlineSegments> segments;
    for (auto& [k, list] : outlines) segments.emplace(k, OutlineSegments(list));
    for (size_t i = 0; i + 1 < print.size(); ++i) {
        const tFigura &a = *print[i], &b = *print[i + 1];
        if (a.Przestawcza == 1 || b.Przestawcza == 1) continue;
        EXPECT_FALSE(segments.at(a.NrWarstwy).crosses(a.NrWarstwy, a.poz.back(), b.poz.front()));
        EXPECT_FALSE(segments.at(b.NrWarstwy).crosses(b.NrWarstwy, a.poz.back(), b.poz.front()));
    }
    RecordProperty("arcs", std::to_string(arcs));
    RecordProperty("hops", std::to_string(hops));
    settings = TUstawienia{};
}
