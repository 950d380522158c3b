#include "tests/wine/gui_modules.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "tests/wine/gui_windows.h"

namespace kestrava::gui {

namespace {

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : Lower(path.substr(0, slash));
}

std::wstring NameOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return Lower(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

}  // namespace

int CheckModules(HWND dialog, const std::vector<std::wstring>& required) {
  DWORD process = 0;
  GetWindowThreadProcessId(dialog, &process);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
  if (snapshot == INVALID_HANDLE_VALUE) {
    std::printf("FAIL: no module list of process %lu (%lu)\n", process, GetLastError());
    return 1;
  }
  std::vector<std::wstring> paths;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
    paths.push_back(entry.szExePath);
  }
  CloseHandle(snapshot);
  Expect(!paths.empty(), "the process has modules");
  if (paths.empty()) return 1;

  // The first module is the program file.
  const std::wstring programFolder = FolderOf(paths.front());
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring systemFolder = Lower(system);
  for (size_t i = 0; i < paths.size(); ++i) {
    const std::string shown = Utf16ToUtf8(FromWide(paths[i]));
    std::printf("module %s\n", shown.c_str());
    if (i > 0) Expect(FolderOf(paths[i]) != programFolder, "loaded beside the program: " + shown);
  }
  for (const std::wstring& name : required) {
    bool loaded = false;
    for (const std::wstring& path : paths) {
      if (NameOf(path) != Lower(name)) continue;
      loaded = true;
      Expect(FolderOf(path) == systemFolder,
             "not from the system folder: " + Utf16ToUtf8(FromWide(path)));
    }
    Expect(loaded, Utf16ToUtf8(FromWide(name)) + " is loaded");
  }
  return Failures() == 0 ? 0 : 1;
}

}  // namespace kestrava::gui
