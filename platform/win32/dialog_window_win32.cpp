// The dialog window of Win32DialogHost: its procedure and the initialisation data of the
// template.
#include <cstring>

#include "platform/win32/dialog_state_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/system_library.h"

namespace kestrava {

namespace {

using win32::Wide;

constexpr WORD kInitDataType = 240;
// The initialisation data keeps the 16-bit numbers of the list messages.
constexpr WORD kInitListAddString = 0x0401;
constexpr WORD kInitComboAddString = 0x0403;
// WM_DPICHANGED, named here because the toolchain declares it only for newer targets.
constexpr UINT kDpiChanged = 0x02E0;

}  // namespace

namespace win32 {

HINSTANCE ProgramModule() {
  return GetModuleHandleW(nullptr);
}

WString ProgramName() {
  WString name = ModuleFilePath();
  const size_t slash = name.find_last_of(u"\\/");
  if (slash != WString::npos) name.erase(0, slash + 1);
  const size_t dot = name.find_last_of(u'.');
  if (dot != WString::npos && dot > 0) name.erase(dot);
  return name;
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
  auto* state = reinterpret_cast<Win32DialogHost::State*>(GetWindowLongPtrW(window, DWLP_USER));
  return state ? state->Handle(window, message, wParam, lParam) : FALSE;
}

}  // namespace win32

namespace {

// Fills the controls as the template's initialisation data says: records of a control id, a
// message, the length of the data and the data (zero-terminated ANSI text), packed without
// alignment and ended by a zero id.
void RunInitialisationData(HWND window) {
  HRSRC found = FindResourceW(win32::ProgramModule(), MAKEINTRESOURCEW(win32::kDialogTemplate),
                              MAKEINTRESOURCEW(kInitDataType));
  HGLOBAL loaded = found ? LoadResource(win32::ProgramModule(), found) : nullptr;
  const auto* data = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  if (!data) return;
  const size_t size = SizeofResource(win32::ProgramModule(), found);
  const auto word = [data](size_t at) { return static_cast<WORD>(data[at] | data[at + 1] << 8); };
  for (size_t at = 0; at + 8 <= size && word(at) != 0;) {
    const int id = word(at);
    const WORD message = word(at + 2);
    const size_t length = word(at + 4) | static_cast<size_t>(word(at + 6)) << 16;
    at += 8;
    if (length > size - at) return;
    const auto* text = reinterpret_cast<const char*>(data + at);
    const UINT add = message == kInitComboAddString  ? CB_ADDSTRING
                     : message == kInitListAddString ? LB_ADDSTRING
                                                     : 0;
    if (add != 0) {
      const WString item = AnsiCodePageToWide(std::string_view(text, strnlen(text, length)));
      SendDlgItemMessageW(window, id, add, 0, reinterpret_cast<LPARAM>(Wide(item)));
    }
    at += length;
  }
}

}  // namespace

INT_PTR Win32DialogHost::State::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      dialog = window;
      PrepareScaling(window);
      RunInitialisationData(window);
      return events->OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        events->OnOk();
      } else if (id == IDCANCEL) {
        events->OnCancel();
      } else {
        events->OnCommand(id, HIWORD(wParam));
      }
      return TRUE;
    }
    case WM_TIMER:
      events->OnTimer(static_cast<unsigned>(wParam));
      return TRUE;
    case kUserMessage:
      events->OnUserMessage(wParam, lParam);
      SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      const auto colour = textColours.find(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
      if (colour == textColours.end()) return FALSE;
      // The default colours and background brush, with the control's own text colour.
      const LRESULT brush = DefWindowProcW(window, message, wParam, lParam);
      SetTextColor(reinterpret_cast<HDC>(wParam), colour->second);
      return static_cast<INT_PTR>(brush);
    }
    case win32::kRestoreFocusMessage: {
      HWND control = GetDlgItem(window, static_cast<int>(wParam));
      if (control && IsWindowEnabled(control) && IsWindowVisible(control)) {
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
      }
      return TRUE;
    }
    case win32::kCarriedCallMessage:
      (*reinterpret_cast<const std::function<void()>*>(lParam))();
      return TRUE;
    case WM_SETCURSOR:
      // The dialog would put its class cursor back at every move of the mouse.
      if (waits == 0) return FALSE;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case kDpiChanged: {
      // The new DPI in both words of wParam, the suggested window rectangle in lParam.
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      if (HIWORD(wParam) == 0 || !suggested) return FALSE;
      Rescale(window, HIWORD(wParam), *suggested);
      SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_DESTROY:
      dialog = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace kestrava
