#include "platform/Thread.h"

#include "platform/MainLoop.h"

#include <exception>

namespace korvane {

Thread::~Thread() {
    requestTerminate();
    join();
}

void Thread::start(std::function<void()> body, std::function<void()> onEnd) {
    join();
    terminate_ = false;
    failure_.reset();
    running_ = true;
    thread_ = std::thread([this, body = std::move(body), onEnd = std::move(onEnd)]() mutable {
        try {
            body();
        } catch (const std::exception& e) {
            failure_ = e.what();
        } catch (...) {
            failure_ = "unknown exception";
        }
        running_ = false;
        if (onEnd) mainLoop().post(std::move(onEnd));
    });
}

void Thread::join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

} // namespace korvane
