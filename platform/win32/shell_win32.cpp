#include "platform/win32/shell_win32.h"

#include "platform/win32/scoped.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32.h"

namespace kestrava {

using win32::Wide;

namespace {

// How long an ended process may take to go.
constexpr DWORD kEndedProcessWaitMs = 5000;

}  // namespace

std::optional<uint32_t> Win32Shell::RunHiddenAndWait(const WString& program,
                                                     const WString& parameters,
                                                     uint32_t timeoutMs) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = nullptr;
  info.lpVerb = L"open";
  info.lpFile = Wide(program);
  info.lpParameters = parameters.empty() ? nullptr : Wide(parameters);
  info.lpDirectory = nullptr;
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info)) return std::nullopt;
  // A program started through DDE or an already running instance leaves no process to wait
  // for.
  win32::ScopedKernelHandle process(info.hProcess);
  if (!process) return std::nullopt;
  if (WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
    // A hidden process that no one can answer or close would otherwise stay for good.
    TerminateProcess(process.Get(), ERROR_TIMEOUT);
    WaitForSingleObject(process.Get(), kEndedProcessWaitMs);
    return std::nullopt;
  }
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process.Get(), &exitCode)) return std::nullopt;
  return exitCode;
}

bool Win32Shell::OpenAddress(const WString& address) {
  // ShellExecuteW answers with a number above 32 on success.
  const auto result = reinterpret_cast<intptr_t>(
      ShellExecuteW(nullptr, L"open", Wide(address), nullptr, nullptr, SW_HIDE));
  return result > 32;
}

WString Win32Shell::SystemFolder() {
  // Under WOW64 a 32-bit process is given "C:\WINDOWS\system32" too, and its file accesses
  // there are redirected to SysWOW64, where the 32-bit system commands are: what it runs from
  // this folder is still the system's own program.
  return win32::SystemFolder();
}

}  // namespace kestrava
