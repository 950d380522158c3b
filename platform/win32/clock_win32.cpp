#include "platform/win32/clock_win32.h"

#include "platform/win32/win32.h"

namespace kestrava {

void Win32Clock::Sleep(uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

uint64_t Win32Clock::MonotonicMs() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER count{};
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 ||
      !QueryPerformanceCounter(&count)) {
    return GetTickCount();
  }
  const auto ticks = static_cast<uint64_t>(count.QuadPart);
  const auto perSecond = static_cast<uint64_t>(frequency.QuadPart);
  return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

LocalTime Win32Clock::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace kestrava
