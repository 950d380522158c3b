// Restarting the print spooler so that it and its port monitors read a new port
// configuration.
#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "platform/shell.h"

namespace kestrava {

// How long each command may take: the service's own stop and start take seconds at most, so a
// command still running after a minute waits for something that will not come.
inline constexpr uint32_t kSpoolerCommandLimitMs = 60000;
// net's parameters that start the spooler.
inline constexpr const char16_t* kStartSpoolerParameters = u"start spooler";

// One half of a restart, stopping the service or starting it, as the system told it.
struct ServiceStep {
  bool carriedOut = false;  // it was asked and answered (a command: it started and ended in time)
  uint32_t code = 0;        // the answer: 0 for success, else the command's exit code
  bool Succeeded() const { return carriedOut && code == 0; }
};

// What a restart came to. The spooler has read what was written before it only when it was
// started again; a stop that failed because the service was not running is no failure then.
// A start that failed means that the spooler either did not start or was still running (its
// stop failed as well): the configuration is read only at its next start.
struct SpoolerRestart {
  ServiceStep stop;
  ServiceStep start;
  bool Restarted() const { return start.Succeeded(); }
};

// Runs the system's "net stop spooler /y" ("net stop spooler" again where net refuses the
// switch as a syntax error, exit code 1), waits 20 ms, then runs "net start spooler", each
// hidden and waited for to its end or for a minute at most, and answers what the commands
// ended with: their exit codes (net answers 0 for success and 2 when the service was not
// running, or already was, or refused), and neither half carried out for a command that
// cannot start or did not end in time, or where the system names no system folder. A stop
// that fails does not keep the start from running. Blocks as long as the commands take.
SpoolerRestart RestartSpoolerByCommand(Shell& shell, Clock& clock);

// The system's own net command by its full path ("C:\WINDOWS\system32\net.exe"), never a bare
// "net", which would be looked for in the program's own folder first; empty when the system
// names no system folder.
WString SystemNetCommand(Shell& shell);

}  // namespace kestrava
