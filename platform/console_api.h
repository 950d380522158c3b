// The console calls the command line's output is made of, as Windows has them: the process's
// standard output handle and what kind of object it is, the console of the parent process, the
// console's screen buffer opened by name, the two ways of writing, and the console's control
// signals. The choice among them is portable code (platform/console_output.h); this interface
// only makes the calls, so that a fake can hold them to Windows' rules.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text.h"

namespace kestrava {

// An open handle as the implementation knows it; kNoHandle is none.
using ConsoleHandle = uintptr_t;
inline constexpr ConsoleHandle kNoHandle = 0;

// What GetFileType tells of a handle: a file, a pipe, a character device (a console or another
// device such as NUL), a handle it cannot name (on Windows 7 and older also an inherited
// console handle of a process not yet attached to that console), or no usable handle at all.
enum class HandleKind { kDisk, kPipe, kChar, kUnknown, kInvalid };

// Share modes of an open, with the system's values (FILE_SHARE_READ, FILE_SHARE_WRITE).
inline constexpr uint32_t kShareRead = 1;
inline constexpr uint32_t kShareWrite = 2;

class ConsoleApi {
 public:
  virtual ~ConsoleApi() = default;

  // The standard output handle as the process has it now (GetStdHandle); kNoHandle when it is
  // null or INVALID_HANDLE_VALUE.
  virtual ConsoleHandle StandardOutput() = 0;

  // GetFileType of `handle`; kInvalid when the call fails with an error.
  virtual HandleKind KindOf(ConsoleHandle handle) = 0;

  // Whether `handle` is a console screen buffer this process can use now (GetConsoleMode
  // succeeds on it).
  virtual bool IsConsole(ConsoleHandle handle) = 0;

  // Attaches the process to its parent's console (AttachConsole(ATTACH_PARENT_PROCESS)).
  // True when the process is attached afterwards, also when it already was; false when the
  // parent has no console. Attaching resets the process's control handlers to the system's
  // default, which ends the process.
  virtual bool AttachToParentConsole() = 0;

  // Opens the console's active screen buffer by name ("CONOUT$") for reading and writing with
  // `shareMode`. Returns kNoHandle with the system's code in `error` when the open fails: no
  // console is attached, or the share mode does not admit the handles already open on it
  // (ERROR_SHARING_VIOLATION).
  virtual ConsoleHandle OpenConsoleOutput(uint32_t shareMode, uint32_t& error) = 0;

  // WriteConsoleW of `text` to a console handle. False when nothing was written.
  virtual bool WriteConsoleText(ConsoleHandle handle, const WString& text) = 0;

  // WriteFile of `bytes` to any handle. False when not all of them were written.
  virtual bool WriteBytes(ConsoleHandle handle, const std::string& bytes) = 0;

  // Closes a handle this interface opened.
  virtual void Close(ConsoleHandle handle) = 0;

  // Adds the process's handler of the console's control signals (SetConsoleCtrlHandler): Ctrl+C
  // and Ctrl+Break are noted and the process goes on; the console closing is noted and the
  // process goes on for as long as the system lets it. False when it could not be added.
  virtual bool ListenForControlSignals() = 0;

  // Whether the handler has noted a signal since it was added.
  virtual bool ControlSignalNoted() = 0;
};

}  // namespace kestrava
