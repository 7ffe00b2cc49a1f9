#pragma once

#include "platform/MainLoop.h"

// Posts background threads' end handlers as queued calls on the GUI thread.
class QtMainLoop final : public korvane::MainLoop {
  public:
    void post(std::function<void()> call) override;
};
