// Win32DialogHost as a whole: the modal run, the window's title and icon, the pictures, the
// timers, the message boxes, the user message and the wait cursor. The controls' operations are
// in dialog_controls_win32.cpp, the worker threads in dialog_workers_win32.cpp, the window's
// procedure in dialog_window_win32.cpp.
#include "platform/win32/dialog_host_win32.h"

#include "platform/win32/dialog_state_win32.h"

namespace kestrava {

using win32::ProgramModule;
using win32::Wide;
using win32::WindowText;

Win32DialogHost::Win32DialogHost() : state_(std::make_unique<State>()) {}
Win32DialogHost::~Win32DialogHost() {
  WaitForWorkers();
}

int Win32DialogHost::RunModal(DialogEvents& events) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&classes);
  state_->events = &events;
  state_->dialogThread = GetCurrentThreadId();
  const INT_PTR result =
      DialogBoxParamW(ProgramModule(), MAKEINTRESOURCEW(win32::kDialogTemplate), nullptr,
                      win32::DialogProcedure, reinterpret_cast<LPARAM>(state_.get()));
  state_->dialog = nullptr;
  state_->events = nullptr;
  // The window that used them is gone.
  state_->fonts.clear();
  state_->controlFonts.clear();
  state_->templateFont.Reset();
  state_->innerFirstFonts.clear();
  state_->innerFonts.clear();
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

void Win32DialogHost::StartTimer(unsigned timerId, unsigned periodMs) {
  // SetTimer takes only a window of the calling thread.
  if (state_->CarriedToDialog([&] { StartTimer(timerId, periodMs); })) return;
  if (HWND window = state_->dialog.load()) SetTimer(window, timerId, periodMs, nullptr);
}

void Win32DialogHost::StopTimer(unsigned timerId) {
  if (state_->CarriedToDialog([&] { StopTimer(timerId); })) return;
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

void Win32DialogHost::ShowWaitCursor(bool waiting) {
  // The cursor is the calling thread's.
  if (state_->CarriedToDialog([&] { ShowWaitCursor(waiting); })) return;
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
