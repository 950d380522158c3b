// GetTickCount64 for the program file, which must start on Windows XP: the toolchain's POSIX
// threads library (behind std::mutex and std::condition_variable) imports it from kernel32, and
// Windows XP's kernel32 does not have it (Vista and later do), so the loader would refuse the
// program there.
//
// The import is answered here instead: this file defines the import's address slot itself,
// which the linker then takes in place of kernel32's, so the program file no longer imports
// the function. The slot first holds a resolver that looks the function up in kernel32 and
// falls back to the performance counter (Windows 2000 and later) where it is missing; either
// is a count of milliseconds that never wraps, which is all the threads library asks of it.
//
// This file is linked into the program as an object of its own (not from a library), so that
// its slot is there before the linker scans the libraries that use it.
#include "platform/win32/system_library.h"

namespace {

ULONGLONG WINAPI PerformanceCounterMilliseconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now{};
  if (frequency.QuadPart <= 0 || !QueryPerformanceCounter(&now)) return GetTickCount();
  // Split so that the product cannot overflow at any counter frequency.
  const ULONGLONG ticks = static_cast<ULONGLONG>(now.QuadPart);
  const ULONGLONG perSecond = static_cast<ULONGLONG>(frequency.QuadPart);
  return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

ULONGLONG WINAPI ResolveTickCount64();

}  // namespace

// The import's address slot, under the name the import library gives it on each machine.
#if defined(_WIN64)
#define KESTRAVA_TICK_COUNT_IMPORT "__imp_GetTickCount64"
#else
#define KESTRAVA_TICK_COUNT_IMPORT "__imp__GetTickCount64@0"
#endif
extern "C" {
ULONGLONG(WINAPI* volatile tickCount64Import)
() asm(KESTRAVA_TICK_COUNT_IMPORT) = ResolveTickCount64;
}

namespace {

ULONGLONG WINAPI ResolveTickCount64() {
  using TickCount64Fn = ULONGLONG(WINAPI*)();
  const auto system = kestrava::win32::LoadedFunction<TickCount64Fn>(L"kernel32", "GetTickCount64");
  // Threads that race here store the same answer.
  tickCount64Import = system ? system : PerformanceCounterMilliseconds;
  return tickCount64Import();
}

}  // namespace
