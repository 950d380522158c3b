// The shell as the program uses it: running a system command hidden and waiting for its end,
// opening an address in the user's browser, the system folder where the system's commands
// live, and the system's program-files folders.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/text.h"

namespace kestrava {

// The system's program-files folders, as the shell names them.
enum class ProgramFiles {
  kNative,  // FOLDERID_ProgramFiles (CSIDL_PROGRAM_FILES)
  kX86,     // FOLDERID_ProgramFilesX86 (CSIDL_PROGRAM_FILESX86)
};

class Shell {
 public:
  virtual ~Shell() = default;

  // Runs `program` with `parameters` through the shell with the verb "open", no owner window,
  // no working folder and the window hidden, asking for the process handle, and blocks the
  // calling thread until the process has ended, for at most `timeoutMs`: a process still
  // running then is ended. Returns its exit code; nothing when it could not start (and then
  // nothing is waited for) or did not end in time.
  virtual std::optional<uint32_t> RunHiddenAndWait(const WString& program,
                                                   const WString& parameters,
                                                   uint32_t timeoutMs) = 0;

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
