#pragma once

#include "machine/Ethernet.h"
#include "platform/Process.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::test {

// korvane3d-sim started on free loopback ports with `options` (product,
// firmware, time scale, trace file ...), stopped with the object. A simulator
// that does not name its ports fails the test.
class SimulatorProgram {
  public:
    explicit SimulatorProgram(const std::vector<std::string>& options);

    // One line to the control port; the answer without its newline.
    std::string ask(const std::string& line);

    MachinePorts ports;

  private:
    ChildProcess process_;
    std::uint16_t control_ = 0;
};

} // namespace korvane::test
