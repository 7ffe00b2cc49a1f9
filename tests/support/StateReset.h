#pragma once

// Every test starts from a freshly started program: a listener registered with
// GoogleTest puts all process-wide state of every subsystem back to its
// initial values before each test, so that no test depends on the ones that ran
// before it (./test.sh also runs the tests shuffled).
namespace korvane::test {

void resetProcessState();

} // namespace korvane::test
