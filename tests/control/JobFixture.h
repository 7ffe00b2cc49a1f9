#pragma once

#include "TestSupport.h"

#include "SimHidBackend.h"
#include "SimMachine.h"
#include "control/JobBuilder.h"
#include "control/JobStreamer.h"
#include "foundation/OperationTypes.h"
#include "foundation/State.h"
#include "output/DaneWyjsciowe.h"

#include <gtest/gtest.h>

// The fixture of the control units' tests: an output file of two hatching
// figures, jobs built from it for the XSE100 and the simulated machine in
// process.
namespace korvane::test {

// The XSE100 moves 3 steps per 0.01 mm on every axis: 300 steps per mm.
inline const char* const jobTestProduct = "XSE100";

inline std::unique_ptr<tFigura> jobTestFigure(std::vector<TrPkt3D> points) {
    auto f = std::make_unique<tFigura>();
    f->poz = std::move(points);
    f->przestawczyZ = 2;
    return f;
}

class ControlEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        resetState(ui);
        loadTexts();
        dataFolder = dir.path();
        FigureList figures;
        figures.push_back(jobTestFigure({{10, 10, -1}, {20, 10, -1}, {20, 20, -1}}));
        figures.push_back(jobTestFigure({{30, 30, -2}, {40, 30, -2}, {40, 40, -2}, {30, 40, -2}}));
        writeOutputFile(dir / "Cut.out", opHatching, figures);
        operation.nazwa = "Cut";
        operation.idTyp = opHatching;
        operation.szybkosc = 1000;
        operation.szybkoscPrzestawcza = 2000;
        operation.posuwWiercenia = 300;
        operation.obroty = 18000;
        operation.warstwaGrubosc = 0.5;
    }

    JobRequest request(const std::string& job, std::size_t figure = 0, std::size_t point = 0) {
        JobRequest r;
        r.outputFile = dir / "Cut.out";
        r.jobFile = dir / job;
        r.operation = operation;
        r.machine = {jobTestProduct, {5, 9, 0}};
        r.startFigure = figure;
        r.startPoint = point;
        return r;
    }

    std::shared_ptr<sim::SimMachine> machine(const std::string& trace = {}) {
        sim::SimConfig c;
        c.product = jobTestProduct;
        c.timeScale = 1000;
        if (!trace.empty()) c.trace = dir / trace;
        return std::make_shared<sim::SimMachine>(c);
    }

    StreamOutcome stream(const std::shared_ptr<sim::SimMachine>& m, const std::string& job,
                         std::chrono::seconds timeout,
                         std::function<void(const StreamProgress&)> progress = {}) {
        MachineLink link;
        link.usb = std::make_unique<sim::SimHidBackend>(m);
        StreamRequest r;
        r.jobFile = dir / job;
        r.operation = operation;
        r.timeout = timeout;
        r.progress = std::move(progress);
        return streamJob(std::move(link), r);
    }

    RecordingUserInterface ui;
    TempDir dir;
    TOperacjaDane operation;
};

} // namespace korvane::test
