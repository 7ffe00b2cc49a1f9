#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

// The main thread's loop, to which background threads hand their results.
namespace korvane {

class MainLoop {
  public:
    virtual ~MainLoop() = default;
    // Runs `call` later on the main thread; safe from any thread.
    virtual void post(std::function<void()> call) = 0;
};

// A queue the main thread drains itself: the loop of the batch program and tests.
class QueueMainLoop final : public MainLoop {
  public:
    void post(std::function<void()> call) override;
    // Runs the calls already queued; the number run.
    int drain();
    // Runs calls as they come until `done` holds or the deadline passes; the
    // final value of `done`.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline);

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> calls_;
};

// The loop in use (the Qt front end installs its own); a QueueMainLoop until then.
MainLoop& mainLoop();
QueueMainLoop& queueMainLoop();
// Installs `loop` (nullptr: the QueueMainLoop); returns the loop installed before.
MainLoop* setMainLoop(MainLoop* loop);

} // namespace korvane
