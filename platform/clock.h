// Time as the program paces its work with the spooler and the printers: fixed waits of the
// calling thread, a monotonic count for measuring how long something took, and the local
// calendar time (the test page prints it).
#pragma once

#include <cstdint>

namespace kestrava {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;

  // Blocks the calling thread for `milliseconds`.
  virtual void Sleep(uint32_t milliseconds) = 0;

  // Milliseconds since an arbitrary start; never goes back.
  virtual uint64_t MonotonicMs() = 0;

  // The local date and time.
  virtual LocalTime Now() = 0;
};

}  // namespace kestrava
