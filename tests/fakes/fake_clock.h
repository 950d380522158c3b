// A virtual clock: Sleep returns at once and moves the time on, so no test waits for the
// program's fixed pauses; every sleep is recorded with the thread-safe log, in order.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/clock.h"

namespace kestrava {

class FakeClock final : public Clock {
 public:
  void Sleep(uint32_t milliseconds) override;
  uint64_t MonotonicMs() override;
  LocalTime Now() override;

  // Moves the time on without a sleep (what other work took).
  void Advance(uint64_t milliseconds);
  std::vector<uint32_t> Sleeps() const;
  uint64_t SleptMs() const;

  // Called after each sleep, with the clock unlocked: lets a test change the world "meanwhile".
  std::function<void(uint32_t milliseconds)> onSleep;
  LocalTime localTime{2026, 3, 5, 9, 7, 3};

 private:
  mutable std::mutex lock_;
  uint64_t now_ = 1000000;
  std::vector<uint32_t> sleeps_;
};

}  // namespace kestrava
