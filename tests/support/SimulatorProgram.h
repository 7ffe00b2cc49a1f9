#pragma once

#include "machine/Ethernet.h"
#include "platform/Process.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korvane::test {

// korvane3d-sim started on free loopback ports with `options` (product,
// firmware, time scale, trace file ...), stopped with the object. A simulator
// that does not name its ports fails the test.
class SimulatorProgram {
  public:
    explicit SimulatorProgram(const std::vector<std::string>& options);

    ~SimulatorProgram();

    // One line to the control port, over one connection kept open; the
    // answer without its newline.
    std::string ask(const std::string& line);

    MachinePorts ports;

  private:
    struct Control;

    ChildProcess process_;
    std::uint16_t control_ = 0;
    std::unique_ptr<Control> connection_;
};

} // namespace korvane::test
