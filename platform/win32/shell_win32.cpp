#include "platform/win32/shell_win32.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/scoped.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32.h"

namespace kestrava {

using win32::Wide;

namespace {

// How long an ended process may take to go.
constexpr DWORD kEndedProcessWaitMs = 5000;
// How often the output pipe is emptied while the process runs: a full pipe would stop it.
constexpr DWORD kOutputPollMs = 20;

// Reads what the pipe holds now, without waiting for more: a process the program started may
// have left a child of its own that holds the pipe open.
void Drain(HANDLE pipe, std::string& kept) {
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
    char buffer[4096];
    DWORD got = 0;
    if (!ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) || got == 0) return;
    const size_t room = kLongestCommandOutput - std::min(kept.size(), kLongestCommandOutput);
    kept.append(buffer, std::min<size_t>(got, room));
  }
}

WString FromOemCodePage(const std::string& bytes) {
  if (bytes.empty()) return WString();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return WString();
  std::vector<wchar_t> text(static_cast<size_t>(length));
  MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), size, text.data(), length);
  return win32::FromWide(text.data(), text.size());
}

// Waits for the process to end within `timeoutMs`, emptying `pipe` meanwhile when there is
// one. True when it ended.
bool WaitForEnd(HANDLE process, HANDLE pipe, uint32_t timeoutMs, std::string& kept) {
  if (!pipe) return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    const DWORD left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
    const DWORD waited = WaitForSingleObject(process, std::min(left, kOutputPollMs));
    Drain(pipe, kept);
    if (waited == WAIT_OBJECT_0) return true;
    if (waited != WAIT_TIMEOUT || left == 0) return false;
  }
}

}  // namespace

std::optional<uint32_t> Win32Shell::RunHiddenAndWait(const WString& program,
                                                     const WString& parameters, uint32_t timeoutMs,
                                                     WString* output) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  win32::ScopedKernelHandle readEnd;
  win32::ScopedKernelHandle writeEnd;
  if (output) {
    // Only the write end is inherited, by the one process started here.
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherited, 0)) return std::nullopt;
    readEnd.Reset(read);
    writeEnd.Reset(write);
    if (!SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0)) return std::nullopt;
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = write;
    startup.hStdError = write;
  }
  // The program is named twice: as the file to run (no search along the path) and as the
  // first word of its command line, quoted, as a program expects to find itself.
  std::wstring commandLine = L"\"" + std::wstring(Wide(program)) + L"\"";
  if (!parameters.empty()) commandLine += L" " + std::wstring(Wide(parameters));
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(Wide(program), commandLine.data(), nullptr, nullptr, output != nullptr,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started)) {
    return std::nullopt;
  }
  win32::ScopedKernelHandle process(started.hProcess);
  win32::ScopedKernelHandle thread(started.hThread);
  // The process has its own copy now; the pipe ends when every copy is closed.
  writeEnd.Reset();
  std::string kept;
  const bool ended = WaitForEnd(process.Get(), readEnd.Get(), timeoutMs, kept);
  if (!ended) {
    // A hidden process that no one can answer or close would otherwise stay for good.
    TerminateProcess(process.Get(), ERROR_TIMEOUT);
    WaitForSingleObject(process.Get(), kEndedProcessWaitMs);
  }
  if (output) {
    Drain(readEnd.Get(), kept);
    *output = FromOemCodePage(kept);
  }
  if (!ended) return std::nullopt;
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
