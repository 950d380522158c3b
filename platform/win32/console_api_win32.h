#pragma once

#include "platform/console_api.h"

namespace kestrava {

// GetStdHandle, GetFileType, GetConsoleMode, AttachConsole (Windows XP and later), CreateFileW
// of "CONOUT$", WriteConsoleW, WriteFile and SetConsoleCtrlHandler of kernel32. The control
// handler is one for the process: every instance notes into the same flag.
class Win32ConsoleApi final : public ConsoleApi {
 public:
  ConsoleHandle StandardOutput() override;
  HandleKind KindOf(ConsoleHandle handle) override;
  bool IsConsole(ConsoleHandle handle) override;
  bool AttachToParentConsole() override;
  ConsoleHandle OpenConsoleOutput(uint32_t shareMode, uint32_t& error) override;
  bool WriteConsoleText(ConsoleHandle handle, const WString& text) override;
  bool WriteBytes(ConsoleHandle handle, const std::string& bytes) override;
  void Close(ConsoleHandle handle) override;
  // The console closing (CTRL_CLOSE_EVENT) ends the process when the handler returns: it
  // returns only after kCloseGraceMs, so the run can finish its step meanwhile (Windows ends
  // the process after 5 s in any case).
  bool ListenForControlSignals() override;
  bool ControlSignalNoted() override;
};

inline constexpr uint32_t kCloseGraceMs = 10000;

}  // namespace kestrava
