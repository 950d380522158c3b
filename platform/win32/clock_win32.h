#pragma once

#include "platform/clock.h"

namespace kestrava {

class Win32Clock final : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override;
  // From the performance counter: GetTickCount64 is absent before Windows Vista and
  // GetTickCount wraps after 49 days.
  uint64_t MonotonicMs() override;
  LocalTime Now() override;
};

}  // namespace kestrava
