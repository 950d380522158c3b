#include "platform/win32/console_api_win32.h"

#include <atomic>

#include "platform/win32/win32.h"

namespace kestrava {

namespace {

static_assert(kShareRead == FILE_SHARE_READ && kShareWrite == FILE_SHARE_WRITE,
              "the share modes are the system's");

std::atomic<bool> signalNoted{false};

HANDLE AsHandle(ConsoleHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

BOOL WINAPI NoteControlSignal(DWORD signal) {
  signalNoted = true;
  if (signal == CTRL_C_EVENT || signal == CTRL_BREAK_EVENT) return TRUE;
  // Closing the console, logging off, shutting down: the process ends when this returns.
  Sleep(kCloseGraceMs);
  return TRUE;
}

}  // namespace

ConsoleHandle Win32ConsoleApi::StandardOutput() {
  HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return kNoHandle;
  return reinterpret_cast<ConsoleHandle>(handle);
}

HandleKind Win32ConsoleApi::KindOf(ConsoleHandle handle) {
  // FILE_TYPE_UNKNOWN is also the answer of a failed call; only the error tells them apart.
  SetLastError(NO_ERROR);
  switch (GetFileType(AsHandle(handle))) {
    case FILE_TYPE_DISK:
      return HandleKind::kDisk;
    case FILE_TYPE_PIPE:
      return HandleKind::kPipe;
    case FILE_TYPE_CHAR:
      return HandleKind::kChar;
    default:
      return GetLastError() == NO_ERROR ? HandleKind::kUnknown : HandleKind::kInvalid;
  }
}

bool Win32ConsoleApi::IsConsole(ConsoleHandle handle) {
  DWORD mode = 0;
  return GetConsoleMode(AsHandle(handle), &mode) != FALSE;
}

bool Win32ConsoleApi::AttachToParentConsole() {
  if (AttachConsole(ATTACH_PARENT_PROCESS)) return true;
  return GetLastError() == ERROR_ACCESS_DENIED;  // attached already
}

ConsoleHandle Win32ConsoleApi::OpenConsoleOutput(uint32_t shareMode, uint32_t& error) {
  HANDLE handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, shareMode, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return kNoHandle;
  }
  return reinterpret_cast<ConsoleHandle>(handle);
}

bool Win32ConsoleApi::WriteConsoleText(ConsoleHandle handle, const WString& text) {
  DWORD written = 0;
  return WriteConsoleW(AsHandle(handle), win32::Wide(text), static_cast<DWORD>(text.size()),
                       &written, nullptr) &&
         written > 0;
}

bool Win32ConsoleApi::WriteBytes(ConsoleHandle handle, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(AsHandle(handle), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) &&
         written == bytes.size();
}

void Win32ConsoleApi::Close(ConsoleHandle handle) {
  CloseHandle(AsHandle(handle));
}

bool Win32ConsoleApi::ListenForControlSignals() {
  return SetConsoleCtrlHandler(NoteControlSignal, TRUE) != FALSE;
}

bool Win32ConsoleApi::ControlSignalNoted() {
  return signalNoted;
}

}  // namespace kestrava
