// Watches from outside for windows of a program that must show none (its unattended runs).
#pragma once

#include <string>

namespace kestrava::gui {

// Until the file `stopFile` exists (ten minutes at most), looks every 20 ms for a visible
// top-level window of any process whose program file is named `programName`, and prints each
// one it sees. Returns 0 when it saw none.
int WatchForWindows(const std::wstring& programName, const std::wstring& stopFile);

}  // namespace kestrava::gui
