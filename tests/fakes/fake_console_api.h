// The console calls held to Windows' rules:
// - the console's screen buffer is shared as a file is: an open of "CONOUT$" whose share mode
//   does not admit an access of a handle already open on it, or whose access a handle already
//   open does not share, fails with ERROR_SHARING_VIOLATION (the shell that started the
//   program holds its handle for reading and writing, shared for both);
// - GetFileType names files, pipes and character devices (NUL is one, a console is one); an
//   inherited console handle of Windows 7 and older (a pseudo-handle) is unknown, and unusable,
//   until the process is attached to its console;
// - AttachConsole fails when the parent has no console and resets the control handlers; a
//   process without a standard output gets the console's once attached (`attachSetsOutput`);
// - WriteFile to a console writes bytes in the console's code page, not text;
// - a control signal reaches a process only while it is attached; without a handler of its
//   own the default handler ends the process.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/console_api.h"

namespace kestrava {

class FakeConsoleApi final : public ConsoleApi {
 public:
  enum class Object { kFile, kPipe, kNul, kConsole };
  struct Handle {
    Object object = Object::kFile;
    bool pseudo = false;  // a console handle of Windows 7 and older
    bool opened = false;  // CONOUT$ opened through this interface
  };
  struct ScreenOpen {
    uint32_t access;  // kRead | kWrite
    uint32_t share;
  };
  static constexpr uint32_t kRead = 1;
  static constexpr uint32_t kWrite = 2;
  enum class SignalOutcome { kNotDelivered, kNoted, kProcessEnded };

  // A handle of each kind, for the standard output or for a test to write to.
  ConsoleHandle Add(Object object, bool pseudo = false);
  const Handle* Find(ConsoleHandle handle) const;

  // Ctrl+C at the console.
  SignalOutcome PressCtrlC();

  ConsoleHandle StandardOutput() override { return standardOutput; }
  HandleKind KindOf(ConsoleHandle handle) override;
  bool IsConsole(ConsoleHandle handle) override;
  bool AttachToParentConsole() override;
  ConsoleHandle OpenConsoleOutput(uint32_t shareMode, uint32_t& error) override;
  bool WriteConsoleText(ConsoleHandle handle, const WString& text) override;
  bool WriteBytes(ConsoleHandle handle, const std::string& bytes) override;
  void Close(ConsoleHandle handle) override;
  bool ListenForControlSignals() override;
  bool ControlSignalNoted() override { return noted; }

  ConsoleHandle standardOutput = kNoHandle;
  bool parentHasConsole = true;
  bool attached = false;
  bool attachSetsOutput = true;
  // The handles open on the screen buffer: the shell's own first.
  std::vector<ScreenOpen> screenOpens = {{kRead | kWrite, kShareRead | kShareWrite}};
  WString screen;           // the console's text
  std::string screenBytes;  // bytes written to it with WriteFile
  // What each file, pipe and NUL handle received, kept after it is closed.
  std::map<ConsoleHandle, std::string> received;
  bool handlerAdded = false;
  bool noted = false;
  bool endedByDefaultHandler = false;
  std::vector<std::string> calls;  // "attach", "open CONOUT$ share=3", "close", ...

 private:
  bool Usable(const Handle& handle) const;

  std::map<ConsoleHandle, Handle> handles_;
  std::map<ConsoleHandle, size_t> screenOpenOf_;  // CONOUT$ handle -> its entry in screenOpens
  ConsoleHandle next_ = 0x100;
};

}  // namespace kestrava
