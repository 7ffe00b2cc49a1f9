#include "platform/MainLoop.h"

#include <utility>

namespace korvane {

namespace {
MainLoop* installedLoop = nullptr;
}

void QueueMainLoop::post(std::function<void()> call) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    ready_.notify_all();
}

int QueueMainLoop::drain() {
    int count = 0;
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(mutex_);
            if (calls_.empty()) return count;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
        ++count;
    }
}

bool QueueMainLoop::runUntil(const std::function<bool()>& done,
                             std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        drain();
        if (done()) return true;
        std::unique_lock lock(mutex_);
        if (!ready_.wait_until(lock, end, [&] { return !calls_.empty(); })) return done();
    }
}

QueueMainLoop& queueMainLoop() {
    static QueueMainLoop loop;
    return loop;
}

MainLoop& mainLoop() {
    return installedLoop ? *installedLoop : queueMainLoop();
}

MainLoop* setMainLoop(MainLoop* loop) {
    return std::exchange(installedLoop, loop);
}

} // namespace korvane
