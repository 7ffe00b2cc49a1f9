#pragma once

#include <atomic>
#include <functional>
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
    // to the main loop.
    void start(std::function<void()> body, std::function<void()> onEnd = {});

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
};

} // namespace korvane
