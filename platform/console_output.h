// Where the command line's lines go, chosen over the console calls (platform/console_api.h):
//
// - a standard output that is a file or a pipe (redirected with "> out.txt", "| more", or by
//   a deployment tool) takes UTF-8 lines with WriteFile and nothing is attached;
// - anything else (a character device, a handle GetFileType cannot name, none at all) means
//   the console of the parent process: the program attaches to it, because on Windows 7 and
//   older an inherited console handle works only in a process attached to its console. The
//   lines then go with WriteConsoleW to the standard output, when it is a console handle now,
//   or else to the console's screen buffer opened as "CONOUT$", shared for reading and writing
//   as the handles of the shell that started the program are. A character device that is no
//   console (NUL) keeps the UTF-8 bytes it was chosen for.
//
// The control handler is added after attaching, which would reset it.
#pragma once

#include "platform/console.h"
#include "platform/console_api.h"

namespace kestrava {

class ConsoleOutput final : public Console {
 public:
  explicit ConsoleOutput(ConsoleApi& api) : api_(api) {}
  ~ConsoleOutput() override;
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

  void Connect() override;
  void WriteLine(const WString& line) override;
  bool InterruptionRequested() override;

 private:
  // Chooses the handle for a standard output that is not a file or a pipe, once attached.
  void ChooseConsoleHandle(ConsoleHandle standard, HandleKind kind);

  ConsoleApi& api_;
  bool connected_ = false;
  bool listening_ = false;
  ConsoleHandle target_ = kNoHandle;  // where lines go; none when there is nowhere
  bool console_ = false;              // WriteConsoleW, else UTF-8 with WriteFile
  ConsoleHandle opened_ = kNoHandle;  // CONOUT$, when opened here
};

}  // namespace kestrava
