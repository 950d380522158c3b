#include "platform/win32/dialog_host_win32.h"

#include <algorithm>
#include <vector>

#include "platform/win32/dialog_state_win32.h"

namespace kestrava {

namespace {

using win32::FromWide;
using win32::ProgramModule;
using win32::Wide;

WString WindowText(HWND window) {
  if (!window) return WString();
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return WString();
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  return FromWide(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

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

DWORD WINAPI RunWorker(void* parameter) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  (*work)();
  return 0;
}

}  // namespace

Win32DialogHost::Win32DialogHost() : state_(std::make_unique<State>()) {}
Win32DialogHost::~Win32DialogHost() {
  WaitForWorkers();
}

int Win32DialogHost::RunModal(DialogEvents& events) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&classes);
  state_->events = &events;
  const INT_PTR result =
      DialogBoxParamW(ProgramModule(), MAKEINTRESOURCEW(win32::kDialogTemplate), nullptr,
                      win32::DialogProcedure, reinterpret_cast<LPARAM>(state_.get()));
  state_->dialog = nullptr;
  state_->events = nullptr;
  // The window that used them is gone.
  state_->fonts.clear();
  state_->controlFonts.clear();
  state_->focusWhenDisabled = 0;
  state_->largeIcon.Reset();
  state_->smallIcon.Reset();
  state_->textColours.clear();
  state_->radioGroups.clear();
  return static_cast<int>(result);
}

void Win32DialogHost::EndDialog(int result) {
  if (HWND window = state_->dialog.load()) ::EndDialog(window, result);
}

WString Win32DialogHost::WindowTitle() {
  return WindowText(state_->dialog.load());
}

void Win32DialogHost::SetWindowTitle(const WString& title) {
  if (HWND window = state_->dialog.load()) SetWindowTextW(window, Wide(title));
}

void Win32DialogHost::SetIcon(int resourceId) {
  HWND window = state_->dialog.load();
  if (!window) return;
  const auto load = [resourceId](int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(ProgramModule(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), 0));
  };
  win32::ScopedIcon large(load(SM_CXICON, SM_CYICON));
  win32::ScopedIcon small(load(SM_CXSMICON, SM_CYSMICON));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.Get()));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
  // The window no longer uses the previous ones.
  state_->largeIcon = std::move(large);
  state_->smallIcon = std::move(small);
}

Picture Win32DialogHost::LoadPicture(int resourceId) {
  win32::ScopedGdiObject bitmap(LoadImageW(ProgramModule(), MAKEINTRESOURCEW(resourceId),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP size{};
  if (!bitmap || GetObjectW(bitmap.Get(), sizeof(size), &size) == 0) return Picture{};
  state_->pictures.push_back(std::move(bitmap));
  return Picture{reinterpret_cast<uintptr_t>(state_->pictures.back().Get()), size.bmWidth,
                 size.bmHeight};
}

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

void Win32DialogHost::StartTimer(unsigned timerId, unsigned periodMs) {
  if (HWND window = state_->dialog.load()) SetTimer(window, timerId, periodMs, nullptr);
}

void Win32DialogHost::StopTimer(unsigned timerId) {
  if (HWND window = state_->dialog.load()) KillTimer(window, timerId);
}

Answer Win32DialogHost::ShowMessage(const WString& text, MessageKind kind) {
  const UINT style =
      kind == MessageKind::kQuestion ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONEXCLAMATION;
  const WString title = win32::ProgramName();
  switch (MessageBoxW(state_->dialog.load(), Wide(text), Wide(title), style)) {
    case IDYES:
      return Answer::kYes;
    case IDNO:
      return Answer::kNo;
    default:
      return Answer::kOk;
  }
}

void Win32DialogHost::PostUserMessage(uintptr_t wParam, intptr_t lParam) {
  if (HWND window = state_->dialog.load()) PostMessageW(window, kUserMessage, wParam, lParam);
}

bool Win32DialogHost::StartWorker(std::function<void()> work) {
  // The thread owns the work from the moment it exists.
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  win32::ScopedKernelHandle thread(CreateThread(nullptr, 0, RunWorker, owned.get(), 0, nullptr));
  if (!thread) return false;
  owned.release();
  std::lock_guard<std::mutex> guard(state_->workersLock);
  // Threads that have ended are let go, so that a thread started every few seconds (LAN
  // discovery) does not pile up handles.
  auto& workers = state_->workers;
  workers.erase(std::remove_if(workers.begin(), workers.end(),
                               [](const win32::ScopedKernelHandle& worker) {
                                 return WaitForSingleObject(worker.Get(), 0) == WAIT_OBJECT_0;
                               }),
                workers.end());
  workers.push_back(std::move(thread));
  return true;
}

void Win32DialogHost::WaitForWorkers() {
  for (;;) {
    std::vector<win32::ScopedKernelHandle> running;
    {
      std::lock_guard<std::mutex> guard(state_->workersLock);
      running.swap(state_->workers);
    }
    if (running.empty()) return;
    // Outside the lock: a worker may start another meanwhile, which the next round waits for.
    for (const win32::ScopedKernelHandle& worker : running) {
      WaitForSingleObject(worker.Get(), INFINITE);
    }
  }
}

void Win32DialogHost::ShowWaitCursor(bool waiting) {
  if (waiting) {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    if (state_->waits++ == 0) state_->cursorBeforeWait = previous;
    return;
  }
  if (state_->waits == 0 || --state_->waits > 0) return;
  SetCursor(state_->cursorBeforeWait ? state_->cursorBeforeWait : LoadCursorW(nullptr, IDC_ARROW));
  state_->cursorBeforeWait = nullptr;
}

}  // namespace kestrava
