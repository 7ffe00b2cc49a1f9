#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Child processes of the end-to-end tests: the simulator (kept running, its
// first output line read) and the batch program (run to its end with a deadline).
namespace korvane::test {

class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& argv) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(out[1]);
        fd_ = out[0];
    }
    ~ChildProcess() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0) close(fd_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Output up to the first newline, waiting at most `deadline`.
    std::string readLine(std::chrono::milliseconds deadline) {
        std::string line;
        const auto end = std::chrono::steady_clock::now() + deadline;
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            char c;
            if (read(fd_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line.push_back(c);
        }
        return line;
    }

    // All output until the process ends; nullopt when it did not end in time
    // (it is then killed).
    std::optional<int> wait(std::chrono::milliseconds deadline, std::string& output) {
        const auto end = std::chrono::steady_clock::now() + deadline;
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) > 0) {
                char buffer[4096];
                const ssize_t n = read(fd_, buffer, sizeof buffer);
                if (n > 0) output.append(buffer, static_cast<std::size_t>(n));
            }
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                char buffer[4096];
                ssize_t n;
                while ((n = read(fd_, buffer, sizeof buffer)) > 0)
                    output.append(buffer, static_cast<std::size_t>(n));
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (std::chrono::steady_clock::now() > end) return std::nullopt;
        }
    }

  private:
    pid_t pid_ = -1;
    int fd_ = -1;
    bool exited_ = false;
};

} // namespace korvane::test
