// The Win32 console calls in the test program's own console (OwnConsole), cleared before each
// test; files in the temporary folder, pipes and NUL. Under Wine it needs a display
// (console_tests runs on one).
#include <memory>
#include <string>

#include "platform/win32/console_api_win32.h"
#include "platform/win32/win32.h"
#include "tests/platform/console_implementations.h"
#include "tests/platform/scratch.h"

namespace kestrava {

namespace {

void ClearScreen(HANDLE screen) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(screen, &info)) return;
  const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
  DWORD done = 0;
  FillConsoleOutputCharacterW(screen, L' ', cells, COORD{0, 0}, &done);
  SetConsoleCursorPosition(screen, COORD{0, 0});
}

std::vector<WString> ScreenLines(HANDLE screen) {
  std::vector<WString> lines;
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(screen, &info)) return lines;
  const SHORT width = info.dwSize.X;
  std::wstring row(static_cast<size_t>(width), L' ');
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    DWORD got = 0;
    if (!ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(width), COORD{0, y},
                                     &got)) {
      break;
    }
    WString line = win32::FromWide(row.data(), got);
    while (!line.empty() && line.back() == u' ') line.pop_back();
    lines.push_back(line);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::string ReadAll(HANDLE handle) {
  std::string bytes;
  char buffer[512];
  DWORD got = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  return bytes;
}

}  // namespace

std::unique_ptr<ConsoleUnderTest> MakeWin32Console() {
  if (!OwnConsole()) return nullptr;
  HANDLE screen = GetStdHandle(STD_OUTPUT_HANDLE);
  ClearScreen(screen);
  auto subject = std::make_unique<ConsoleUnderTest>();
  subject->api = std::make_unique<Win32ConsoleApi>();
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file =
      std::wstring(temp) + L"kestrava-console-" + std::to_wstring(GetCurrentProcessId());
  auto pipeRead = std::make_shared<HANDLE>(nullptr);
  subject->makeFile = [file] {
    return reinterpret_cast<ConsoleHandle>(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                       nullptr, CREATE_ALWAYS, 0, nullptr));
  };
  subject->readFile = [file] {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::string("(no file)");
    const std::string bytes = ReadAll(handle);
    CloseHandle(handle);
    return bytes;
  };
  subject->makePipe = [pipeRead] {
    HANDLE write = nullptr;
    if (!CreatePipe(pipeRead.get(), &write, nullptr, 0)) return kNoHandle;
    return reinterpret_cast<ConsoleHandle>(write);
  };
  subject->readPipe = [pipeRead] {
    const std::string bytes = ReadAll(*pipeRead);
    CloseHandle(*pipeRead);
    *pipeRead = nullptr;
    return bytes;
  };
  subject->makeNul = [] {
    return reinterpret_cast<ConsoleHandle>(CreateFileW(L"NUL", GENERIC_WRITE,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                       OPEN_EXISTING, 0, nullptr));
  };
  subject->readScreen = [screen] { return ScreenLines(screen); };
  subject->pressCtrlC = [] { GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0); };
  subject->enforcesShareModes =
      GetProcAddress(GetModuleHandleW(L"ntdll"), "wine_get_version") == nullptr;
  subject->cleanup = [file, pipeRead] {
    if (*pipeRead) CloseHandle(*pipeRead);
    DeleteFileW(file.c_str());
  };
  return subject;
}

}  // namespace kestrava
