// The command line's output in memory: every line, in order, and an interruption the test asks
// for (`interrupted`, set at any moment), heard only once the run has connected.
#pragma once

#include <atomic>
#include <vector>

#include "platform/console.h"

namespace kestrava {

class FakeConsole final : public Console {
 public:
  void Connect() override { connected = true; }
  void WriteLine(const WString& line) override {
    connected = true;
    lines.push_back(line);
  }
  bool InterruptionRequested() override { return connected && interrupted; }

  std::vector<WString> lines;
  bool connected = false;
  std::atomic<bool> interrupted{false};  // set from any thread
};

}  // namespace kestrava
