// The commands that play the user on the running program for the scripts of its roads: clicks,
// selections, the address field, the port list and the message boxes.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace kestrava::gui {

// Runs one command on the dialog; -1 when `args` is no road command.
int RoadCommand(HWND dialog, const std::vector<std::wstring>& args);

}  // namespace kestrava::gui
