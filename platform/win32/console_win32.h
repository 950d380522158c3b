#pragma once

#include "platform/console.h"
#include "platform/win32/scoped.h"

namespace kestrava {

// A redirected standard output (a file or a pipe) takes UTF-8 lines with WriteFile; a console
// takes them with WriteConsoleW. Without a standard output the console of the parent process
// is attached (AttachConsole, Windows XP and later) on the first line and written through
// CONOUT$.
class Win32Console final : public Console {
 public:
  void WriteLine(const WString& line) override;

 private:
  void Open();

  bool opened_ = false;
  HANDLE output_ = nullptr;   // the handle lines go to, none when there is nowhere
  bool console_ = false;      // a console (WriteConsoleW), else a file or pipe
  win32::ScopedFile conout_;  // CONOUT$, when opened here
};

}  // namespace kestrava
