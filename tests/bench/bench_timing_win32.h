// Timing for the benchmarks that run under Wine (Google Benchmark is only there for the
// native build): the performance counter in milliseconds, and the median and worst of a run.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/win32/win32.h"

namespace kestrava::bench {

inline double NowMs() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const size_t middle = times.size() / 2;
  return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

inline double Worst(const std::vector<double>& times) {
  return times.empty() ? 0 : *std::max_element(times.begin(), times.end());
}

}  // namespace kestrava::bench
