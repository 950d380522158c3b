#include "tests/fakes/fake_clock.h"

namespace kestrava {

void FakeClock::Sleep(uint32_t milliseconds) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    now_ += milliseconds;
    sleeps_.push_back(milliseconds);
  }
  if (onSleep) onSleep(milliseconds);
}

uint64_t FakeClock::MonotonicMs() {
  std::lock_guard<std::mutex> guard(lock_);
  return now_;
}

LocalTime FakeClock::Now() {
  std::lock_guard<std::mutex> guard(lock_);
  return localTime;
}

void FakeClock::Advance(uint64_t milliseconds) {
  std::lock_guard<std::mutex> guard(lock_);
  now_ += milliseconds;
}

std::vector<uint32_t> FakeClock::Sleeps() const {
  std::lock_guard<std::mutex> guard(lock_);
  return sleeps_;
}

uint64_t FakeClock::SleptMs() const {
  std::lock_guard<std::mutex> guard(lock_);
  uint64_t total = 0;
  for (uint32_t sleep : sleeps_) total += sleep;
  return total;
}

}  // namespace kestrava
