// The program started with arguments: the unattended command line (app/command_line.h). It
// shows no window, writes one line per step and ends with an exit code (app/exit_codes.h).
#pragma once

#include <vector>

#include "app/services.h"

namespace kestrava {

// Runs the command of `arguments` and returns the process's exit code.
int RunUnattended(const Services& services, const std::vector<WString>& arguments);

}  // namespace kestrava
