#include "tests/wine/gui_layout.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/wine/gui_windows.h"

namespace kestrava::gui {

namespace {

// WM_DPICHANGED, named here because the toolchain declares it only for newer targets.
constexpr UINT kDpiChanged = 0x02E0;
// Top to bottom: the port list, "Check Port", "PrintSelftest", "Install Driver", the language
// list; then the baud-rate list and the address field, which an interface shows.
constexpr int kColumn[] = {1059, 1027, 1047, 1019, 1046};
constexpr int kColumnWhenShown[] = {1053, 1050};
// The texts whose ink the script measures: a label in the template's font and the remark in the
// program's own.
constexpr int kInkTexts[] = {1055, 1030};

struct Placed {
  int id = 0;
  RECT rect{};  // in the dialog's client coordinates
  bool groupBox = false;
  bool dropList = false;
};

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

RECT InClient(HWND dialog, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::map<int, Placed> VisibleControls(HWND dialog) {
  std::map<int, Placed> placed;
  for (HWND control = GetWindow(dialog, GW_CHILD); control;
       control = GetWindow(control, GW_HWNDNEXT)) {
    if (!IsWindowVisible(control)) continue;
    Placed p;
    p.id = GetDlgCtrlID(control);
    p.rect = InClient(dialog, control);
    const std::wstring kind = ClassOf(control);
    p.groupBox =
        kind == L"Button" && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    p.dropList = kind == L"ComboBox";
    placed[p.id] = p;
  }
  return placed;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Within(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

void CheckColumn(const std::map<int, Placed>& placed) {
  std::vector<int> ids(std::begin(kColumn), std::end(kColumn));
  for (int id : kColumnWhenShown) {
    if (placed.count(id)) ids.push_back(id);
  }
  const auto first = placed.find(kColumn[0]);
  Expect(first != placed.end(), "the port list is shown");
  if (first == placed.end()) return;
  const RECT& column = first->second.rect;
  std::printf("column: left %ld, width %ld\n", column.left, column.right - column.left);
  for (int id : ids) {
    const auto found = placed.find(id);
    Expect(found != placed.end(), "control " + std::to_string(id) + " of the column is shown");
    if (found == placed.end()) continue;
    const RECT& r = found->second.rect;
    Expect(r.left == column.left && r.right == column.right,
           "control " + std::to_string(id) + " at " + Text(r) + " leaves the column " +
               std::to_string(column.left) + "-" + std::to_string(column.right));
  }
}

void CheckPlaces(HWND dialog, const std::map<int, Placed>& placed) {
  RECT client{};
  GetClientRect(dialog, &client);
  for (auto a = placed.begin(); a != placed.end(); ++a) {
    const Placed& p = a->second;
    Expect(Within(p.rect, client), "control " + std::to_string(p.id) + " at " + Text(p.rect) +
                                       " leaves the client area " + Text(client));
    for (auto b = std::next(a); b != placed.end(); ++b) {
      const Placed& q = b->second;
      if (!Overlap(p.rect, q.rect)) continue;
      const bool framed =
          (p.groupBox && Within(q.rect, p.rect)) || (q.groupBox && Within(p.rect, q.rect));
      Expect(framed, "controls " + std::to_string(p.id) + " at " + Text(p.rect) + " and " +
                         std::to_string(q.id) + " at " + Text(q.rect) + " overlap");
    }
  }
}

void PrintInkTexts(HWND dialog, const char* when) {
  for (int id : kInkTexts) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    std::printf("ink %s %d %ld %ld %ld %ld\n", when, id, r.left, r.top, r.right, r.bottom);
  }
}

// Sends WM_DPICHANGED with `suggested` in the program's own memory: the system carries no
// rectangle of this message from one process to another.
bool SendDpiChanged(HWND dialog, int dpi, const RECT& suggested) {
  DWORD process = 0;
  GetWindowThreadProcessId(dialog, &process);
  HANDLE program = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process);
  if (!program) return false;
  void* remote =
      VirtualAllocEx(program, nullptr, sizeof(suggested), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  bool sent = remote && WriteProcessMemory(program, remote, &suggested, sizeof(suggested), nullptr);
  DWORD_PTR result = 0;
  sent = sent && SendMessageTimeoutW(dialog, kDpiChanged, MAKEWPARAM(dpi, dpi),
                                     reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 10000,
                                     &result) != 0;
  if (remote) VirtualFreeEx(program, remote, 0, MEM_RELEASE);
  CloseHandle(program);
  return sent;
}

}  // namespace

int CheckLayout(HWND dialog) {
  const std::map<int, Placed> placed = VisibleControls(dialog);
  CheckColumn(placed);
  CheckPlaces(dialog, placed);
  return Failures() == 0 ? 0 : 1;
}

int CheckDpiChange(HWND dialog, int fromDpi, int toDpi) {
  RECT window{};
  GetWindowRect(dialog, &window);
  const std::map<int, Placed> before = VisibleControls(dialog);
  PrintInkTexts(dialog, "before");
  const auto scaled = [&](LONG length) { return MulDiv(length, toDpi, fromDpi); };
  const RECT suggested{window.left, window.top, window.left + scaled(window.right - window.left),
                       window.top + scaled(window.bottom - window.top)};
  if (!SendDpiChanged(dialog, toDpi, suggested)) {
    Expect(false, "WM_DPICHANGED could not be sent (" + std::to_string(GetLastError()) + ")");
    return 1;
  }
  Sleep(500);
  RECT now{};
  GetWindowRect(dialog, &now);
  std::printf("window: %ldx%ld, suggested %ldx%ld\n", now.right - now.left, now.bottom - now.top,
              suggested.right - suggested.left, suggested.bottom - suggested.top);
  Expect(now.right - now.left == suggested.right - suggested.left &&
             now.bottom - now.top == suggested.bottom - suggested.top,
         "the window is " + Text(now) + ", not the suggested " + Text(suggested));
  const std::map<int, Placed> after = VisibleControls(dialog);
  // Every control grows at least with the window (one rounding at each DPI: a pixel or two
  // less), more where the font grew more than the DPI; a drop-down list's closed height
  // follows its font. The layout's own checks keep them apart and within the client area.
  const LONG slack = 1 + (toDpi + fromDpi - 1) / fromDpi / 2;
  const auto grown = [&](LONG got, LONG was) { return got >= scaled(was) - slack; };
  for (const auto& [id, was] : before) {
    const auto found = after.find(id);
    Expect(found != after.end(), "control " + std::to_string(id) + " is no longer shown");
    if (found == after.end()) continue;
    const RECT& r = found->second.rect;
    const RECT& w = was.rect;
    const bool placedAgain = grown(r.left, w.left) && grown(r.top, w.top) &&
                             grown(r.right - r.left, w.right - w.left) &&
                             (was.dropList ? r.bottom - r.top > w.bottom - w.top
                                           : grown(r.bottom - r.top, w.bottom - w.top));
    Expect(placedAgain, "control " + std::to_string(id) + " went from " + Text(w) + " to " +
                            Text(r) + " at " + std::to_string(toDpi) + " DPI");
  }
  PrintInkTexts(dialog, "after");
  return CheckLayout(dialog);
}

}  // namespace kestrava::gui
