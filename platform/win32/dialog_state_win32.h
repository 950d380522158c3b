// What stands behind Win32DialogHost: the dialog window, what the host made for it, the handling
// of the dialog's messages (dialog_window_win32.cpp) and its layout at the display's scale
// (dialog_scale_win32.cpp). The host's operations are in dialog_host_win32.cpp (the dialog as a
// whole), dialog_controls_win32.cpp (its controls by id) and dialog_workers_win32.cpp (the
// worker threads).
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/dialog_template_layout.h"
#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace win32 {

inline constexpr int kDialogTemplate = 147;  // the dialog and its initialisation data

// The program file's module, which holds the dialog's resources.
HINSTANCE ProgramModule();
// The program file's name without folder and extension: the title of every message box.
WString ProgramName();
// The window's text; empty for no window.
WString WindowText(HWND window);
// Posted to the dialog with a control id: the focus goes to that control if it can take it.
inline constexpr UINT kRestoreFocusMessage = WM_APP + 1;
// Sent by the work of RunAnswering with a std::function<void()>* in lParam: the dialog's
// thread calls it.
inline constexpr UINT kCarriedCallMessage = WM_APP + 2;
INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32

struct Win32DialogHost::State {
  // Read by PostUserMessage on any thread.
  std::atomic<HWND> dialog{nullptr};
  DialogEvents* events = nullptr;
  std::map<int, COLORREF> textColours;
  // The fonts made, with the DPI each was made for, and the one each control was given.
  std::vector<std::tuple<FontSpec, UINT, win32::ScopedGdiObject>> fonts;
  std::map<int, FontSpec> controlFonts;
  // The DPI the dialog is laid out for: the window's when it is made, then the one each
  // WM_DPICHANGED names.
  UINT dpi = 96;
  // What the dialog manager placed the controls from when it made the dialog: the template's
  // dialog units (none when the template cannot be read) and the base units it measured.
  DialogTemplateLayout layout;
  DialogBaseUnits baseUnits;
  // The template's font made again for `dpi`; none until the DPI first changes, while the
  // dialog manager's own is in use.
  win32::ScopedGdiObject templateFont;
  // The fonts of the windows that controls made inside themselves (the address field's parts):
  // each one's as it was at the first DPI, and those made from them for `dpi`.
  std::map<HWND, LOGFONTW> innerFirstFonts;
  std::vector<std::pair<LOGFONTW, win32::ScopedGdiObject>> innerFonts;
  win32::ScopedIcon largeIcon;
  win32::ScopedIcon smallIcon;
  std::vector<win32::ScopedGdiObject> pictures;
  // The radio buttons of each group, by the id of its first control; empty without a dialog.
  std::map<int, std::vector<HWND>> radioGroups;
  // The cursor to bring back when the outermost wait ends, and how many waits are open.
  HCURSOR cursorBeforeWait = nullptr;
  int waits = 0;
  // The control that had the focus when it was disabled (0 for none). A disabled control loses
  // the focus, to no window or to whichever the dialog manager picks when a box closes; the
  // control gets it back when it is enabled again, as a keyboard user expects. The program
  // disables controls only within a command, where no key reaches the dialog meanwhile.
  int focusWhenDisabled = 0;
  // The thread that runs the dialog, and how many RunAnswering loops answer its messages.
  DWORD dialogThread = 0;
  std::atomic<int> answering{0};
  // The worker threads that may still run.
  std::mutex workersLock;
  std::vector<win32::ScopedKernelHandle> workers;

  HWND Item(int id) const {
    HWND window = dialog.load();
    return window ? GetDlgItem(window, id) : nullptr;
  }

  LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    HWND control = Item(id);
    return control ? SendMessageW(control, message, wParam, lParam) : 0;
  }

  // Posted rather than given at once: a message box that has just closed hands the activation
  // back to the dialog, and its focus with it, after its own messages.
  void RestoreFocusLater(int id) const {
    if (HWND window = dialog.load()) {
      PostMessageW(window, win32::kRestoreFocusMessage, static_cast<WPARAM>(id), 0);
    }
  }

  // From the work of RunAnswering: sends `call` to the dialog's thread and returns once it has
  // been made (true). False elsewhere, where the caller goes on itself.
  bool CarriedToDialog(const std::function<void()>& call) const {
    HWND window = dialog.load();
    if (GetCurrentThreadId() == dialogThread || answering.load() == 0 || !window) return false;
    SendMessageW(window, win32::kCarriedCallMessage, 0, reinterpret_cast<LPARAM>(&call));
    return true;
  }

  const std::vector<HWND>& RadioGroup(int firstId);
  // The font for `wanted` at `dpi`, made once and kept while the dialog is at that DPI.
  HFONT Font(const FontSpec& wanted);
  // The window's DPI as the system gives it (96 without a window).
  UINT WindowDpi() const;
  // Called once the dialog manager has made the controls: notes what they were placed from, and
  // takes the scaling after a change of DPI away from the dialog manager (see Rescale).
  void PrepareScaling(HWND window);
  // WM_DPICHANGED: the window goes to `suggested`, every control to its dialog units at `newDpi`,
  // with its font made again for it; the fonts made for the DPI before are deleted.
  void Rescale(HWND window, UINT newDpi, const RECT& suggested);
  // The windows inside `control` (client size `before` until it was placed again) keep their
  // share of it and get their first font made again for `newDpi`, kept in `made`.
  void ScaleInnerWindows(HWND control, SIZE before, UINT newDpi,
                         std::vector<std::pair<LOGFONTW, win32::ScopedGdiObject>>& made);
  INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace kestrava
