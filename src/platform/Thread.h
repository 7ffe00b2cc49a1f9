#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

// A background thread with a terminate request and an end handler that runs on
// the main loop once the body has finished.
namespace korvane {

class Thread {
  public:
    Thread() = default;
    // Asks the body to stop and waits for it.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs `body` on a new thread; when it returns (or throws), `onEnd` is posted
    // to the main loop. A body that ends by an exception leaves its text in
    // failure(), which the end handler reads to tell failure from success.
    void start(std::function<void()> body, std::function<void()> onEnd = {});

    // Why the last body ended by an exception; empty when it returned normally
    // (and while it runs).
    const std::optional<std::string>& failure() const { return failure_; }

    // Asks the body to finish early; the body polls terminated().
    void requestTerminate() { terminate_ = true; }
    bool terminated() const { return terminate_; }

    // True from start until the body has returned.
    bool running() const { return running_; }
    void join();

  private:
    std::thread thread_;
    std::atomic<bool> terminate_{false};
    std::atomic<bool> running_{false};
    std::optional<std::string> failure_; // written by the body's thread before running_ drops
};

} // namespace korvane
