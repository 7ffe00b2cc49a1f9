#include "platform/Process.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;

// Where the system cannot tell the end of a child through a descriptor, its
// state is looked at this often.
constexpr int reapIntervalMs = 10;
constexpr std::chrono::seconds stopGrace{5};

int remainingMs(Clock::time_point end) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

void closeFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// Reads what one pipe holds; at its end (or on an error) the pipe is closed.
bool readSome(int& fd, std::string& into) {
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, static_cast<std::size_t>(n));
        return true;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return false;
    closeFd(fd);
    return false;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Output output) {
    if (argv.empty()) {
        startError_ = "no program named";
        return;
    }
    int outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1};
    if (output == Output::capture &&
        (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)) {
        startError_ = std::strerror(errno);
        for (int* fd : {&outPipe[0], &outPipe[1], &errPipe[0], &errPipe[1]}) closeFd(*fd);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (output == Output::capture) {
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    closeFd(outPipe[1]);
    closeFd(errPipe[1]);
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
    if (rc != 0) {
        startError_ = argv[0] + ": " + std::strerror(rc);
        closeFds();
        return;
    }
    pid_ = pid;
    pidFd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
}

ChildProcess::~ChildProcess() {
    stop();
    closeFds();
}

void ChildProcess::closeFds() {
    closeFd(outFd_);
    closeFd(errFd_);
    closeFd(pidFd_);
}

void ChildProcess::reap(bool block) {
    if (!started() || reaped_) return;
    int status = 0;
    pid_t r;
    do {
        r = waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0) return;
    reaped_ = true;
    closeFd(pidFd_);
    if (r < 0)
        exitCode_ = -1;
    else if (WIFEXITED(status))
        exitCode_ = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        exitCode_ = 128 + WTERMSIG(status);
}

bool ChildProcess::pumpOnce(int timeoutMs) {
    pollfd fds[3];
    nfds_t n = 0;
    int outAt = -1, errAt = -1, endAt = -1;
    if (outFd_ >= 0) {
        outAt = static_cast<int>(n);
        fds[n++] = {outFd_, POLLIN, 0};
    }
    if (errFd_ >= 0) {
        errAt = static_cast<int>(n);
        fds[n++] = {errFd_, POLLIN, 0};
    }
    const bool watching = started() && !reaped_;
    if (watching && pidFd_ >= 0) {
        endAt = static_cast<int>(n);
        fds[n++] = {pidFd_, POLLIN, 0};
    }
    if (watching && pidFd_ < 0) timeoutMs = std::min(timeoutMs, reapIntervalMs);
    if (poll(fds, n, timeoutMs) < 0 && errno != EINTR) return false;
    bool got = false;
    auto ready = [&](int at) { return at >= 0 && fds[at].revents != 0; };
    if (ready(outAt)) got |= readSome(outFd_, out_);
    if (ready(errAt)) got |= readSome(errFd_, err_);
    if (watching && (pidFd_ < 0 || ready(endAt))) reap(false);
    return got;
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds deadline) {
    const auto end = Clock::now() + deadline;
    for (;;) {
        if (const auto newline = out_.find('\n'); newline != std::string::npos) {
            std::string line = out_.substr(0, newline);
            out_.erase(0, newline + 1);
            return line;
        }
        if (outFd_ < 0) return std::nullopt;
        const int left = remainingMs(end);
        if (left == 0) return std::nullopt;
        pumpOnce(left);
    }
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds deadline) {
    if (!started()) return std::nullopt;
    const auto end = Clock::now() + deadline;
    while (!reaped_) {
        const int left = remainingMs(end);
        pumpOnce(left);
        if (!reaped_ && left == 0) return std::nullopt;
    }
    // What the child wrote before it ended is in the pipes now; a descendant
    // that still holds them is not waited for.
    while (pumpOnce(0)) {
    }
    return exitCode_;
}

void ChildProcess::stop() {
    if (!started() || reaped_) return;
    kill(pid_, SIGTERM);
    if (!wait(stopGrace)) {
        kill(pid_, SIGKILL);
        reap(true);
        while (pumpOnce(0)) {
        }
    }
}

void ChildProcess::release() {
    if (started() && !reaped_) {
        std::thread([pid = pid_] {
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
        reaped_ = true;
    }
    closeFds();
}

ProgramRun runProgram(const std::vector<std::string>& argv, std::chrono::milliseconds deadline) {
    ProgramRun run;
    ChildProcess child(argv);
    if (!child.started()) {
        run.err = child.startError();
        return run;
    }
    run.exitCode = child.wait(deadline);
    if (!run.exitCode) {
        run.timedOut = true;
        child.stop();
    }
    run.out = child.out();
    run.err = child.err();
    return run;
}

} // namespace korvane
