// Restarting the print spooler so that it and its port monitors read a new port
// configuration.
#pragma once

#include "platform/clock.h"
#include "platform/shell.h"

namespace kestrava {

// Runs the system's "net stop spooler", waits 20 ms, then runs "net start spooler", each
// hidden and waited for to its end. Whether the commands succeed is not examined; a command
// that cannot start is passed over. Always true. Blocks as long as the commands take.
bool RestartSpoolerByCommand(Shell& shell, Clock& clock);

}  // namespace kestrava
