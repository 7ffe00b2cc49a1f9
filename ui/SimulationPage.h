#pragma once

#include "app/BuildSimulation.h"

#include <QTimer>
#include <QWidget>

#include <atomic>
#include <thread>

class QFileSystemWatcher;
class QLabel;
class QProgressBar;
class QPushButton;
class SimulationLegend;
class SimulationSurfaceView;

// The "Simulation" page: the build's output files swept over the material on
// a worker thread, with progress and an abort button; run again whenever the
// output files change (a build has written them) while the page is shown.
// Before the first run a line says what it does and which key runs it; a
// click on the surface tells what is left there.
class SimulationPage final : public QWidget {
    Q_OBJECT
  public:
    explicit SimulationPage(QWidget* parent = nullptr);
    // Aborts a running simulation and waits for its thread.
    ~SimulationPage() override;

    QPushButton* simulateButton() const { return simulate_; }
    QPushButton* abortButton() const { return abort_; }

    // Simulates the build of the program's state; the reason is shown when
    // there is nothing to simulate.
    void simulateBuild();
    // Simulates the given input; a running simulation is aborted first.
    void run(korvane::BuildSimulationInput input);
    void abort();
    bool running() const { return worker_.joinable(); }
    SimulationSurfaceView* view() const { return view_; }
    // The last simulation's result; partly swept when it was aborted.
    const korvane::BuildSimulationResult& result() const { return result_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void poll();
    void finished();
    void watchOutputs();
    void showCell(double x, double y);

    QPushButton* simulate_ = nullptr;
    QPushButton* abort_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* figures_ = nullptr;
    QLabel* cell_ = nullptr;
    SimulationLegend* legend_ = nullptr;
    bool simulated_ = false; // a simulation has been asked for
    SimulationSurfaceView* view_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer poll_;
    QTimer rerun_; // a pause after the last change of the output files
    bool outputsChanged_ = false;

    korvane::BuildSimulationInput input_;
    korvane::BuildSimulationResult result_;
    korvane::SimulationControl control_;
    std::atomic<bool> done_{false};
    std::thread worker_;
};
