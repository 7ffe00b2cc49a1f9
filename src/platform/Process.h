#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Child processes: a program started without a shell, its standard input from
// /dev/null, its standard output and standard error captured through pipes (or
// discarded), and every wait on it bounded by a deadline.
namespace korvane {

class ChildProcess {
  public:
    enum class Output { capture, discard };

    // Starts argv[0], looked up on PATH when it holds no "/".
    explicit ChildProcess(const std::vector<std::string>& argv, Output output = Output::capture);
    // A child still running is stopped as by stop().
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // Why the program could not be started.
    const std::string& startError() const { return startError_; }

    // The next line of standard output without its newline; nullopt when the
    // output ended or the deadline passed before a whole line came.
    std::optional<std::string> readLine(std::chrono::milliseconds deadline);

    // Waits for the end and takes what is left of both outputs. The exit code
    // (128 + the signal number when a signal ended it); nullopt when the child
    // was still running at the deadline.
    std::optional<int> wait(std::chrono::milliseconds deadline);

    // Asks a running child to end (SIGTERM), kills it when it has not ended
    // within 5 s, and takes what is left of its output.
    void stop();

    // Leaves a running child to itself; it is reaped on a thread of its own
    // when it ends. Meant for children started with Output::discard: captured
    // output has nobody to read it any more.
    void release();

    // Standard output not taken by readLine, and standard error, so far.
    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

  private:
    // Waits at most `timeoutMs` for output or the end of the child and takes
    // what came; true when anything came.
    bool pumpOnce(int timeoutMs);
    void reap(bool block);
    void closeFds();

    pid_t pid_ = -1;
    int outFd_ = -1, errFd_ = -1;
    int pidFd_ = -1; // readable once the child ended; -1 where the system has none
    bool reaped_ = false;
    int exitCode_ = -1;
    std::string out_, err_;
    std::string startError_;
};

// One run of a program to its end.
struct ProgramRun {
    std::optional<int>
        exitCode;          // as ChildProcess::wait; nullopt when it did not start or ran too long
    bool timedOut = false; // still running at the deadline, and stopped
    std::string out, err;  // standard error says why when it did not start
};

// Runs a program and collects its output; one that has not ended by the
// deadline is stopped.
ProgramRun runProgram(const std::vector<std::string>& argv, std::chrono::milliseconds deadline);

} // namespace korvane
