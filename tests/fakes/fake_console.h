// The command line's output in memory: every line, in order.
#pragma once

#include <vector>

#include "platform/console.h"

namespace kestrava {

class FakeConsole final : public Console {
 public:
  void WriteLine(const WString& line) override { lines.push_back(line); }

  std::vector<WString> lines;
};

}  // namespace kestrava
