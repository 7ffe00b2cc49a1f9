#include "platform/Thread.h"
#include "platform/MainLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace korvane {
namespace {

constexpr std::chrono::seconds generous{60};

// Runs one body to its end handler and answers what the handler saw.
std::optional<std::string> endOf(Thread& thread, std::function<void()> body) {
    std::optional<std::string> seen;
    bool ended = false;
    thread.start(std::move(body), [&] {
        seen = thread.failure();
        ended = true;
    });
    EXPECT_TRUE(queueMainLoop().runUntil([&] { return ended; }, generous));
    return seen;
}

TEST(Thread, EndHandlerTellsFailureFromSuccess) {
    Thread thread;
    EXPECT_EQ(endOf(thread, [] {}), std::nullopt);
    EXPECT_EQ(endOf(thread, [] { throw std::runtime_error("disk full"); }), "disk full");
    EXPECT_EQ(endOf(thread, [] { throw 42; }), "unknown exception");
    // A later normal run clears the failure of the one before.
    EXPECT_EQ(endOf(thread, [] {}), std::nullopt);
    EXPECT_FALSE(thread.running());
}

TEST(Thread, TerminateRequestReachesTheBodyAndDestructorJoins) {
    std::atomic<bool> sawRequest{false};
    {
        Thread thread;
        thread.start([&] {
            while (!thread.terminated()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            sawRequest = true;
        });
    } // the destructor asks the body to stop and waits for it
    EXPECT_TRUE(sawRequest);
    queueMainLoop().drain();
}

} // namespace
} // namespace korvane
