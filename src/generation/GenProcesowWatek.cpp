#include "generation/GenProcesowWatek.h"

#include "foundation/Messages.h"
#include "foundation/State.h"
#include "generation/DodajPixRuchuThread.h"
#include "generation/GenState.h"
#include "generation/GenerujStereo.h"
#include "generation/KorygujMasterWatek.h"
#include "generation/Kreski.h"
#include "generation/Mieszana.h"
#include "generation/MotionMap.h"
#include "generation/Plaszczyzny.h"
#include "generation/Redukcja.h"
#include "generation/SpiralaiLaczenie.h"
#include "generation/ToolClearance.h"
#include "generation/TriangleClearance.h"
#include "generation/Warstwowa.h"
#include "generation/Zgrubna.h"
#include "geometry/Frez.h"
#include "geometry/Raster.h"
#include "libraries/LibraryState.h"
#include "output/DaneWyjsciowe.h"
#include "platform/MainLoop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <thread>

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// "h:mm:ss"
std::string timeText(double seconds) {
    const long total = std::lround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    return text;
}

bool samePath(const tFigura& a, const tFigura& b) {
    if (a.count() != b.count()) return false;
    for (size_t k = 0; k < a.poz.size(); ++k)
        if (!within(a.poz[k], b.poz[k], pixelSize / 4)) return false;
    return true;
}

// Edges of the closed polyline `j` (with its closing edge) that the horizontal
// line through p crosses left and right of p.
std::pair<int, int> crossings(const tFigura& j, const TrPkt3D& p) {
    int left = 0, right = 0;
    const size_t n = j.poz.size();
    for (size_t k = 0; k < n; ++k) {
        const TrPkt3D &a = j.poz[k], &b = j.poz[(k + 1) % n];
        if ((a.y > p.y) == (b.y > p.y)) continue;
        const double x = a.x + (double(p.y) - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
        (x < p.x ? left : right)++;
    }
    return {left, right};
}

bool liesInside(const tFigura& i, const tFigura& j) {
    if (&i == &j || !j.zamknieta || samePath(i, j)) return false;
    if (!(i.lewy.x > j.lewy.x && i.prawy.x < j.prawy.x && i.dolny.y > j.dolny.y &&
          i.gorny.y < j.gorny.y))
        return false;
    bool inside = false;
    for (const TrPkt3D& p : i.poz) {
        const auto [left, right] = crossings(j, p);
        inside = left % 2 == 1;
        if (left % 2 == right % 2) return inside;
    }
    return inside;
}

// Levels below figure `index`: its own from its container, then its contents.
void renumber(int index, int depth) {
    tFigura& f = *figureList[size_t(index)];
    f.poziom = f.lezy_w < 0 ? 0 : figureList[size_t(f.lezy_w)]->poziom + 1;
    maxNestingLevel = std::max(maxNestingLevel, f.poziom);
    if (depth > static_cast<int>(figureList.size())) return; // containment has no cycles
    for (int k = 0; k < static_cast<int>(figureList.size()); ++k)
        if (figureList[size_t(k)]->lezy_w == index) renumber(k, depth + 1);
}

} // namespace

void CoWczym(int start) {
    const int count = static_cast<int>(figureList.size());
    for (int k = start; k < count; ++k) {
        figureList[size_t(k)]->poziom = 0;
        figureList[size_t(k)]->lezy_w = -1;
        figureList[size_t(k)]->PoliczSrodek();
    }
    // Each change moves a figure into a deeper container; the rounds are bounded
    // all the same.
    for (int round = 0, changed = 1; changed && round <= count; ++round) {
        changed = 0;
        for (int j = start; j < count; ++j) {
            if (!figureList[size_t(j)]->zamknieta) continue;
            for (int i = start; i < count; ++i) {
                tFigura& fi = *figureList[size_t(i)];
                if (fi.lezy_w == j || !liesInside(fi, *figureList[size_t(j)])) continue;
                if (fi.lezy_w >= 0 &&
                    figureList[size_t(fi.lezy_w)]->poziom >= figureList[size_t(j)]->poziom)
                    continue;
                fi.lezy_w = j;
                renumber(i, 0);
                changed = 1;
            }
        }
    }
}

bool runStrategy(const TOperacjaDane& oper, const TFrez& frez, const SubStepHandler& subStep) {
    switch (oper.idTyp) {
    case opRoughing:
        generujZgrubnie(oper, frez);
        break;
    case opLayeredFinishing:
        generujWarstwowo(oper);
        break;
    case opPlanes:
        generujPlaszczyzny(oper, frez);
        break;
    case opHatching:
        generujKreski(oper);
        break;
    case opPlotHatching:
        generujKreskiPlt(oper);
        break;
    case opMixed:
        generujMieszane(oper, motionWorkerCount(), subStep);
        break;
    case opPrinting:
        GenerujStereo(oper);
        break;
    default:
        return false;
    }
    return true;
}

tGenProcesow::tGenProcesow(TOperacjaDane oper, std::unique_ptr<TFrez> frez)
    : oper_(std::move(oper)), Frez(std::move(frez)) {
    // One generation at a time: a stop asked of an earlier one does not carry over.
    generationTerminate = false;
}

tGenProcesow::~tGenProcesow() {
    if (thread_.running()) requestTerminate();
    thread_.join();
}

void tGenProcesow::start(std::function<void()> onEnd, std::function<void()> progressStep,
                         std::function<void(const std::string&)> statusText) {
    progressStep_ = std::move(progressStep);
    statusText_ = std::move(statusText);
    thread_.start([this] { Execute(); }, std::move(onEnd));
}

void tGenProcesow::requestTerminate() {
    generationTerminate = true;
    thread_.requestTerminate();
}

void tGenProcesow::PostepNast() {
    if (progressStep_) mainLoop().post(progressStep_);
}

void tGenProcesow::Korekcja() {
    const double materialTop = project ? static_cast<double>(project->d.material.rozmZ) : 0.0;
    cKorygujMaster master(*Frez, oper_.zostawDoNastOper, std::max(materialTop, double(modelSize.z)),
                          motionWorkerCount());
    master.Execute([this](const std::string& text) {
        if (statusText_) mainLoop().post([show = statusText_, text] { show(text); });
    });
}

bool tGenProcesow::waitForRasters() {
    while (!(rasterReady && materialRasterReady) && !settings.printer3D) {
        if (generationTerminate || closing) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void tGenProcesow::Execute() {
    printProgress = printTimeLeft = 0;
    writeReportLine("Start Obliczen " + oper_.nazwa);
    const auto begin = Clock::now();
    auto phase = Clock::now();
    auto endPhase = [&](const char* name) {
        result_.seconds.emplace_back(name, secondsSince(phase));
        phase = Clock::now();
    };
    figureCounter = 0;
    double czas = 0;
    try {
        if (!waitForRasters()) {
            result_.aborted = true;
            return;
        }
        endPhase("rasterWait");
        figureList.clear();
        if (!settings.printer3D) {
            applyAllowance(oper_.zostawDoNastOper);
            clearLayer(motionHeights);
            sweepTool(*Frez, motionWorkerCount());
            czas = secondsSince(phase);
            endPhase("motionMap");
            PostepNast();
            for (auto& cell : cellStatus.cells()) cell.stat &= ~0xF;
        }
        // A strategy that names its sub-steps gets each one timed and a
        // progress step when it ends.
        std::string subStep;
        result_.noStrategy = !runStrategy(oper_, *Frez, [&](const char* name) {
            if (!subStep.empty()) {
                endPhase(subStep.c_str());
                PostepNast();
            }
            subStep = name;
        });
        if (result_.noStrategy)
            writeReportLine("No strategy for operation type " + std::to_string(oper_.idTyp) + " " +
                            oper_.nazwa);
        for (int i = static_cast<int>(figureList.size()) - 1; i >= 0; --i)
            if (figureList[size_t(i)]->count() < 2) deleteFigure(i);
        endPhase("strategy");
        if (figureList.empty()) {
            result_.noFigures = true;
            writeReportLine("No figures " + oper_.nazwa);
        }
        PostepNast();
        const auto correctionStart = Clock::now();
        const bool finishing =
            !figureList.empty() && oper_.idTyp != opRoughing && oper_.idTyp != opPrinting;
        const bool precise = finishing && oper_.ObliczeniaPrecyzyjne &&
                             modelExtents.typPliku != modelKindBitmapShown;
        if (precise) {
            Korekcja();
            endPhase("correction");
        }
        if (!figureList.empty() && oper_.idTyp != opPrinting && !settings.printer3D) {
            // The mixed strategy works in offsetHeights: it is made again
            // for the clearance against the raster.
            const bool raster = finishing && !precise;
            if (raster) applyAllowance(oper_.zostawDoNastOper);
            if (!modelTriangles.empty() && modelExtents.typPliku != modelKindBitmapShown) {
                // The raster misses what lies between its cell centres: the
                // paths, roughing's too, are kept clear of the triangles
                // themselves with the tool's exact shape as well.
                keepClearOfTriangles(*Frez, oper_.zostawDoNastOper,
                                     raster      ? Floor::raster
                                     : finishing ? Floor::none
                                                 : Floor::motionMap,
                                     motionWorkerCount());
                endPhase("clearance");
            } else if (raster) {
                // Without triangles (a picture relief) the paths are kept
                // clear of the raster with the tool's true shape.
                keepToolClear(*Frez, motionWorkerCount());
                endPhase("clearance");
            }
        }
        // The correction and the clearance raise points where the tool must
        // stand higher, also inside spirals: those are made to descend again,
        // but where a short link climbs no higher than the next pass, clear
        // of the surface: lifting the tool there and setting it down again
        // beside the same point costs far more.
        keepSpiralsDescending({oper_.warstwaSzer / 4, Frez->Parametry.d1 / 2.0, oper_.warstwaSzer});
        czas = secondsSince(correctionStart);
        PostepNast();
        ustalZprzestawczy(oper_.warstwaSzer, oper_.warstwaGrubosc);
        endPhase("transferHeights");
        PostepNast();

        result_.figures = static_cast<int>(figureList.size());
        for (const auto& f : figureList) {
            result_.points += f->count();
            if (f->Przestawcza != 0) continue;
            f->PoliczDlugosc();
            result_.length += f->dlugosc;
        }
        result_.file = outputFilePath(oper_.nazwa);
        result_.written = writeOutputFile(result_.file, oper_.idTyp, figureList);
        endPhase("write");
        PostepNast();
    } catch (const std::exception& e) {
        result_.error = e.what();
    }
    figureList.clear();
    PostepNast();
    result_.aborted = result_.aborted || generationTerminate;
    char precCalc[32];
    std::snprintf(precCalc, sizeof precCalc, "%.2f", czas);
    writeReportLine("Koniec Obliczen " + oper_.nazwa + "  " + timeText(secondsSince(begin)) +
                    " z czego precCalc=" + precCalc);
}

} // namespace korvane
