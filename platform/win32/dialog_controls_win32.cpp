// The controls of Win32DialogHost, reached by id through the dialog window: texts, radio
// groups, check boxes, drop-down lists, the address field, their visibility, state, fonts and
// colours.
#include <vector>

#include "platform/win32/dialog_host_win32.h"
#include "platform/win32/dialog_state_win32.h"

namespace kestrava {

namespace win32 {

WString WindowText(HWND window) {
  if (!window) return WString();
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return WString();
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  return FromWide(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

}  // namespace win32

namespace {

using win32::FromWide;
using win32::Wide;
using win32::WindowText;

bool IsRadioButton(HWND control) {
  return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

// The window after `control` in template order, unless it starts the next group.
HWND NextInGroup(HWND control) {
  HWND next = GetWindow(control, GW_HWNDNEXT);
  return next && !(GetWindowLongPtrW(next, GWL_STYLE) & WS_GROUP) ? next : nullptr;
}

// Every exchange writes every button back, and a button redraws itself on each BM_SETCHECK
// (under Wine at once, even when nothing changes): a state that is already set is left alone.
void SetCheck(HWND button, WPARAM state) {
  if (static_cast<WPARAM>(SendMessageW(button, BM_GETCHECK, 0, 0)) != state) {
    SendMessageW(button, BM_SETCHECK, state, 0);
  }
}

}  // namespace

WString Win32DialogHost::ControlText(int id) {
  return WindowText(state_->Item(id));
}

void Win32DialogHost::SetControlText(int id, const WString& text) {
  HWND control = state_->Item(id);
  // Every exchange writes every text back; a static redraws itself at once on each, so a text
  // that did not change is not set again.
  if (control && WindowText(control) != text) SetWindowTextW(control, Wide(text));
}

const std::vector<HWND>& Win32DialogHost::State::RadioGroup(int firstId) {
  // The template's controls never change while the dialog lives: each group is walked once.
  static const std::vector<HWND> kNone;
  if (!dialog.load()) return kNone;
  auto found = radioGroups.find(firstId);
  if (found != radioGroups.end()) return found->second;
  std::vector<HWND>& radios = radioGroups[firstId];
  for (HWND control = Item(firstId); control; control = NextInGroup(control)) {
    if (IsRadioButton(control)) radios.push_back(control);
  }
  return radios;
}

int Win32DialogHost::RadioGroupPosition(int firstId) {
  int position = -1;
  int index = 0;
  for (HWND radio : state_->RadioGroup(firstId)) {
    if (SendMessageW(radio, BM_GETCHECK, 0, 0) != BST_UNCHECKED) position = index;
    ++index;
  }
  return position;
}

void Win32DialogHost::SetRadioGroupPosition(int firstId, int position) {
  int index = 0;
  for (HWND radio : state_->RadioGroup(firstId)) {
    SetCheck(radio, index++ == position ? BST_CHECKED : BST_UNCHECKED);
  }
}

bool Win32DialogHost::IsChecked(int id) {
  return state_->Send(id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32DialogHost::SetChecked(int id, bool checked) {
  if (HWND control = state_->Item(id)) SetCheck(control, checked ? BST_CHECKED : BST_UNCHECKED);
}

int Win32DialogHost::ComboCount(int id) {
  const LRESULT count = state_->Send(id, CB_GETCOUNT, 0, 0);
  return count > 0 ? static_cast<int>(count) : 0;
}

WString Win32DialogHost::ComboItem(int id, int index) {
  HWND control = state_->Item(id);
  if (!control || index < 0) return WString();
  const LRESULT length = SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return WString();
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  const LRESULT copied = SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(text.data()));
  return copied > 0 ? FromWide(text.data(), static_cast<size_t>(copied)) : WString();
}

int Win32DialogHost::ComboSelection(int id) {
  HWND control = state_->Item(id);
  return control ? static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)) : -1;
}

void Win32DialogHost::SetComboSelection(int id, int index) {
  // Windows clears the selection for an index past the end, Wine keeps it: ask for -1 then.
  if (index < 0 || index >= ComboCount(id)) index = -1;
  state_->Send(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32DialogHost::AddComboItem(int id, const WString& text) {
  HWND control = state_->Item(id);
  if (!control) return -1;
  return static_cast<int>(
      SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text))));
}

void Win32DialogHost::ClearCombo(int id) {
  state_->Send(id, CB_RESETCONTENT, 0, 0);
}

uint32_t Win32DialogHost::IpAddress(int id) {
  DWORD address = 0;
  state_->Send(id, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  return address;
}

void Win32DialogHost::SetIpAddress(int id, uint32_t address) {
  state_->Send(id, IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
}

void Win32DialogHost::ShowControl(int id, bool visible) {
  if (HWND control = state_->Item(id)) ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

void Win32DialogHost::EnableControl(int id, bool enabled) {
  HWND control = state_->Item(id);
  if (!control) return;
  // GetFocus answers for the calling thread, the dialog's own.
  if (!enabled && GetFocus() == control) state_->focusWhenDisabled = id;
  EnableWindow(control, enabled ? TRUE : FALSE);
  if (enabled && id == state_->focusWhenDisabled) {
    state_->focusWhenDisabled = 0;
    state_->RestoreFocusLater(id);
  }
}

bool Win32DialogHost::IsControlVisible(int id) {
  HWND control = state_->Item(id);
  return control && (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Win32DialogHost::IsControlEnabled(int id) {
  HWND control = state_->Item(id);
  return control && IsWindowEnabled(control);
}

void Win32DialogHost::AddNotifyStyle(int id) {
  if (HWND control = state_->Item(id)) {
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
  }
}

void Win32DialogHost::SetControlFont(int id, const FontSpec& font) {
  HWND control = state_->Item(id);
  if (!control) return;
  state_->controlFonts[id] = font;
  if (HFONT made = state_->Font(font)) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
  }
}

void Win32DialogHost::SetControlTextColour(int id, uint32_t colour) {
  HWND control = state_->Item(id);
  if (!control) return;
  state_->textColours[id] = colour;
  InvalidateRect(control, nullptr, TRUE);
}

}  // namespace kestrava
