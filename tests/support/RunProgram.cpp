#include "RunProgram.h"

#include "TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

namespace korvane::test {

ProgramResult runBuiltProgram(const std::string& name, const std::vector<std::string>& args) {
    TempDir capture;
    const auto outFile = capture / "out", errFile = capture / "err";
    ProgramResult result;
    pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "r", stdin);
        freopen(outFile.c_str(), "w", stdout);
        freopen(errFile.c_str(), "w", stderr);
        const std::string program = std::string(KORVANE_EXE_DIR) + "/" + name;
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(outFile);
    result.err = readFile(errFile);
    return result;
}

} // namespace korvane::test
