// The shell as the program uses it: running a system command hidden and waiting for its end,
// opening an address in the user's browser, the system folder where the system's commands
// live, and the system's program-files folders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/text.h"

namespace kestrava {

// The system's program-files folders, as the shell names them.
enum class ProgramFiles {
  kNative,  // FOLDERID_ProgramFiles (CSIDL_PROGRAM_FILES)
  kX86,     // FOLDERID_ProgramFilesX86 (CSIDL_PROGRAM_FILESX86)
};
// The most of a command's output that is kept; the rest is read and dropped.
inline constexpr size_t kLongestCommandOutput = 16 * 1024;

class Shell {
 public:
  virtual ~Shell() = default;

  // Runs the program file `program` (a full path: nothing is searched for) with `parameters`,
  // its window hidden and without the console of this process: it gets a console of its own
  // that no one sees, so that Ctrl+C at this process's console never reaches it and its
  // messages never mix into this process's lines. Blocks the calling thread until the process
  // has ended, for at most `timeoutMs`: a process still running then is ended. Returns its exit
  // code; nothing when it could not start (and then nothing is waited for) or did not end in
  // time. With `output`, what the program writes to its standard output and standard error is
  // kept there, at most kLongestCommandOutput bytes of it, read in the system's OEM code page
  // (a console program writes to a pipe in it); its standard input is then none.
  virtual std::optional<uint32_t> RunHiddenAndWait(const WString& program,
                                                   const WString& parameters, uint32_t timeoutMs,
                                                   WString* output) = 0;
  std::optional<uint32_t> RunHiddenAndWait(const WString& program, const WString& parameters,
                                           uint32_t timeoutMs) {
    return RunHiddenAndWait(program, parameters, timeoutMs, nullptr);
  }

  // Opens `address` with the shell's "open" verb, window hidden, and returns at once. False
  // when the shell refuses it.
  virtual bool OpenAddress(const WString& address) = 0;

  // The system folder ("C:\WINDOWS\system32"), without a trailing backslash; empty when the
  // system does not name it.
  virtual WString SystemFolder() = 0;

  // The program-files folder `which`, without a trailing backslash; empty when the system does
  // not name it. By Windows' rules: on 32-bit Windows both are "C:\Program Files"; on 64-bit
  // Windows kX86 is "C:\Program Files (x86)" and kNative is "C:\Program Files" for a 64-bit
  // process and "C:\Program Files (x86)" for a 32-bit one (on the drive Windows is on, unless
  // the system was set up otherwise).
  virtual WString ProgramFilesFolder(ProgramFiles which) = 0;
};

}  // namespace kestrava
