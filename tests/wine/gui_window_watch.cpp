#include "tests/wine/gui_window_watch.h"

#include <cstdio>
#include <cwctype>
#include <set>

#include "platform/win32/win32.h"
#include "tests/wine/gui_windows.h"
// After the Windows headers, whose types it uses.
#include <tlhelp32.h>

namespace kestrava::gui {

namespace {

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// The ids of the running processes of that program.
std::set<DWORD> ProcessesOf(const std::wstring& programName) {
  std::set<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (Lower(entry.szExeFile) == Lower(programName)) ids.insert(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

struct Seen {
  std::set<DWORD> processes;
  std::set<HWND> windows;
};

BOOL CALLBACK Look(HWND window, LPARAM parameter) {
  auto* seen = reinterpret_cast<Seen*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (IsWindowVisible(window) && seen->processes.count(process) &&
      seen->windows.insert(window).second) {
    const std::string title = Utf16ToUtf8(FromWide(TextOf(window)));
    std::printf("FAIL: window \"%s\" of process %lu\n", title.c_str(), process);
  }
  return TRUE;
}

}  // namespace

int WatchForWindows(const std::wstring& programName, const std::wstring& stopFile) {
  Seen seen;
  int polls = 0;
  for (int i = 0; i < 30000; ++i) {  // 20 ms each: ten minutes
    if (GetFileAttributesW(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    seen.processes = ProcessesOf(programName);
    if (!seen.processes.empty()) {
      ++polls;
      EnumWindows(Look, reinterpret_cast<LPARAM>(&seen));
    }
    Sleep(20);
  }
  std::printf("watched %d times while the program ran: %u windows\n", polls,
              static_cast<unsigned>(seen.windows.size()));
  return seen.windows.empty() && polls > 0 ? 0 : 1;
}

}  // namespace kestrava::gui
