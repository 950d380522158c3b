#include "tests/wine/gui_windows.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace kestrava::gui {

namespace {

int failures = 0;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct Search {
  DWORD process = 0;  // 0: any
  bool wantMessageBox = false;
  HWND found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search->process && owner != search->process) return TRUE;
  if (ClassOf(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  const bool isMainDialog = GetDlgItem(window, 1059) && GetDlgItem(window, 1046);
  const bool isMessageBox = GetDlgItem(window, 0xFFFF) != nullptr;
  if ((search->wantMessageBox && isMessageBox) || (!search->wantMessageBox && isMainDialog)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

void Expect(bool ok, const std::string& what) {
  if (!ok) {
    ++failures;
    std::printf("FAIL: %s\n", what.c_str());
  }
}

WString FromWide(const std::wstring& text) {
  return win32::FromWide(text.c_str());
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[1024] = {};
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

HWND Find(DWORD process, bool messageBox) {
  Search search;
  search.process = process;
  search.wantMessageBox = messageBox;
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitFor(DWORD process, bool messageBox, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (HWND window = Find(process, messageBox)) return window;
    Sleep(100);
  }
  return nullptr;
}

std::vector<std::wstring> Items(HWND combo) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t buffer[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    items.push_back(buffer);
  }
  return items;
}

// The address field's four parts, read from its edit children (its own messages take
// pointers, which do not cross processes).
std::wstring AddressText(HWND field) {
  // Sorted by position: the order of the children is the implementation's.
  std::vector<std::pair<LONG, std::wstring>> placed;
  for (HWND child = GetWindow(field, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    placed.push_back({r.left, TextOf(child)});
  }
  std::sort(placed.begin(), placed.end());
  std::wstring text;
  for (const auto& part : placed) text += (text.empty() ? L"" : L".") + part.second;
  return text;
}

void ExpectText(HWND dialog, int id, const WString& expected) {
  const WString actual = FromWide(TextOf(GetDlgItem(dialog, id)));
  Expect(actual == expected, "control " + std::to_string(id) + " reads \"" + Utf16ToUtf8(actual) +
                                 "\", expected \"" + Utf16ToUtf8(expected) + "\"");
}

int Failures() {
  return failures;
}

}  // namespace kestrava::gui
