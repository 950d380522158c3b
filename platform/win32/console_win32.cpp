#include "platform/win32/console_win32.h"

#include <string>

#include "platform/win32/win32.h"

namespace kestrava {

namespace {

bool Usable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

void Win32Console::Open() {
  opened_ = true;
  HANDLE standard = GetStdHandle(STD_OUTPUT_HANDLE);
  if (Usable(standard)) {
    DWORD mode = 0;
    console_ = GetFileType(standard) == FILE_TYPE_CHAR && GetConsoleMode(standard, &mode);
    output_ = standard;
    return;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  conout_ = win32::ScopedFile(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!conout_) return;
  output_ = conout_.Get();
  console_ = true;
}

void Win32Console::WriteLine(const WString& line) {
  if (!opened_) Open();
  if (!output_) return;
  const WString text = line + u"\r\n";
  DWORD written = 0;
  if (console_) {
    WriteConsoleW(output_, win32::Wide(text), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const std::string bytes = Utf16ToUtf8(text);
  WriteFile(output_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace kestrava
