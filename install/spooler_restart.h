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

// Runs the system's "net stop spooler /y" ("net stop spooler" again where net refuses the
// switch as a syntax error, exit code 1), waits 20 ms, then runs "net start spooler", each
// hidden and waited for to its end or for a minute at most. Whether the commands succeed is not
// examined otherwise; a command that cannot start is passed over. Always true. Blocks as long
// as the commands take.
bool RestartSpoolerByCommand(Shell& shell, Clock& clock);

// The system's own net command by its full path ("C:\WINDOWS\system32\net.exe"), never a bare
// "net", which would be looked for in the program's own folder first; empty when the system
// names no system folder.
WString SystemNetCommand(Shell& shell);

}  // namespace kestrava
