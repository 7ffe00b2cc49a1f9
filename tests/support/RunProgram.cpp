#include "RunProgram.h"

#include "platform/Process.h"

#include <gtest/gtest.h>

namespace korvane::test {

ProgramResult runBuiltProgram(const std::string& name, const std::vector<std::string>& args,
                              std::chrono::seconds deadline) {
    std::vector<std::string> argv{std::string(KORVANE_EXE_DIR) + "/" + name};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProgramRun run = runProgram(argv, deadline);
    if (run.timedOut)
        ADD_FAILURE() << name << " did not end within " << deadline.count()
                      << " s and was stopped; its standard error:\n"
                      << run.err;
    else if (!run.exitCode)
        ADD_FAILURE() << "cannot start " << name << ": " << run.err;
    return {run.exitCode.value_or(-1), run.out, run.err};
}

} // namespace korvane::test
