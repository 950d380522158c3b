// The libraries in the running program's process, as another process sees them.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace kestrava::gui {

// Checks the modules of the process that owns `dialog`: nothing besides the program file is
// loaded from the program's own folder, and `required` (e.g. iphlpapi.dll, winspool.drv, which
// the program loads at run time) are loaded, from the system folder. Prints every module.
// Returns 0 when every check holds.
int CheckModules(HWND dialog, const std::vector<std::wstring>& required);

}  // namespace kestrava::gui
