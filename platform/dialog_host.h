// The dialog framework the dialog logic talks to: one modal dialog from the program's
// template, its controls by id, message boxes, window timers, a worker thread and the one
// message that crosses from worker threads to the dialog. The Win32 host runs it for real;
// the test host keeps the same semantics in memory.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/text.h"

namespace kestrava {

// What the dialog logic handles. The host calls these on the dialog's thread.
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;

  // The controls exist and hold their template state. Returns true to give the focus to the
  // first control.
  virtual bool OnInitDialog() = 0;

  // WM_COMMAND from a control: its id and the notification code (BN_CLICKED, CBN_SELCHANGE...).
  virtual void OnCommand(int controlId, int notification) = 0;

  // WM_TIMER of a window timer started with StartTimer.
  virtual void OnTimer(unsigned timerId) = 0;

  // WM_USER+100, posted by a worker thread with PostUserMessage.
  virtual void OnUserMessage(uintptr_t wParam, intptr_t lParam) = 0;

  // Enter (the framework's OK) and Escape or the close box (the framework's cancel). Each
  // decides whether to call EndDialog.
  virtual void OnOk() = 0;
  virtual void OnCancel() = 0;
};

// Notification codes the logic reacts to.
inline constexpr int kButtonClicked = 0;                // BN_CLICKED
inline constexpr int kComboSelectionChange = 1;         // CBN_SELCHANGE
inline constexpr int kComboDropDown = 7;                // CBN_DROPDOWN
inline constexpr int kStaticDoubleClicked = 1;          // STN_DBLCLK (from a static with SS_NOTIFY)
inline constexpr uint32_t kUserMessage = 0x0400 + 100;  // WM_USER+100

enum class MessageKind {
  kWarning,   // OK button, exclamation icon
  kQuestion,  // Yes and No buttons, question icon
};

enum class Answer { kOk, kYes, kNo };

struct FontSpec {
  WString face;
  int height = 0;
  int weight = 400;
  bool underline = false;
};

// An image resource loaded for drawing (the test-page picture). Owned by the host.
struct Picture {
  uintptr_t handle = 0;
  int width = 0;
  int height = 0;
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;

  // Runs the dialog from template 147 modally, calling `events` until EndDialog; returns the
  // code given to EndDialog.
  virtual int RunModal(DialogEvents& events) = 0;
  virtual void EndDialog(int result) = 0;

  virtual WString WindowTitle() = 0;
  virtual void SetWindowTitle(const WString& title) = 0;
  // Sets icon resource `resourceId` as the window's large and small icon.
  virtual void SetIcon(int resourceId) = 0;
  // Loads a bitmap resource; a zero handle when it cannot.
  virtual Picture LoadPicture(int resourceId) = 0;

  virtual WString ControlText(int id) = 0;
  virtual void SetControlText(int id, const WString& text) = 0;

  // A radio group is the radio buttons from `firstId` in template order up to the next control
  // that starts a group. Its position is the index of the checked one, or -1 when none is.
  // Setting a position checks that button and clears the others (-1 clears all).
  virtual int RadioGroupPosition(int firstId) = 0;
  virtual void SetRadioGroupPosition(int firstId, int position) = 0;

  virtual bool IsChecked(int id) = 0;
  virtual void SetChecked(int id, bool checked) = 0;

  // Drop-down lists. Items keep the order they were added in; the selection is -1 when none.
  virtual int ComboCount(int id) = 0;
  virtual WString ComboItem(int id, int index) = 0;
  virtual int ComboSelection(int id) = 0;
  virtual void SetComboSelection(int id, int index) = 0;
  virtual int AddComboItem(int id, const WString& text) = 0;
  virtual void ClearCombo(int id) = 0;

  // The IPv4 address field: four bytes, the first of the dotted form highest.
  virtual uint32_t IpAddress(int id) = 0;
  virtual void SetIpAddress(int id, uint32_t address) = 0;

  virtual void ShowControl(int id, bool visible) = 0;
  virtual void EnableControl(int id, bool enabled) = 0;
  virtual bool IsControlVisible(int id) = 0;
  virtual bool IsControlEnabled(int id) = 0;

  // Makes a static control report clicks and double-clicks (SS_NOTIFY).
  virtual void AddNotifyStyle(int id) = 0;
  virtual void SetControlFont(int id, const FontSpec& font) = 0;
  // Text colour of a static control (0x00BBGGRR), applied when it is drawn.
  virtual void SetControlTextColour(int id, uint32_t colour) = 0;

  // Window timers: starting a running timer restarts its period.
  virtual void StartTimer(unsigned timerId, unsigned periodMs) = 0;
  virtual void StopTimer(unsigned timerId) = 0;

  // A message box titled with the program file's name (without extension), owned by the
  // dialog when it exists. Blocks until answered; messages keep being dispatched meanwhile.
  virtual Answer ShowMessage(const WString& text, MessageKind kind) = 0;

  // Posts WM_USER+100 to the dialog. Safe from any thread; dropped when the dialog is gone.
  virtual void PostUserMessage(uintptr_t wParam, intptr_t lParam) = 0;

  // Starts `work` on a new thread of normal priority. False when the thread cannot start.
  virtual bool StartWorker(std::function<void()> work) = 0;
  // Blocks until every worker started so far has returned. The application calls it when the
  // dialog has ended, before the services the workers use go away.
  virtual void WaitForWorkers() = 0;

  // Runs `work` on a new thread and keeps answering the dialog's messages until it has
  // returned: the dialog stays painted and gets its timers and posted messages, while it takes
  // no input (the window is disabled, so nothing else can be started) and shows the wait
  // cursor. For talking to a printer whose port may take tens of seconds to open. The work may
  // call StartTimer, StopTimer and ShowWaitCursor: the host carries each call to the dialog's
  // thread and returns once it is done; it must call nothing else of the host. When no thread
  // can start, the work runs on the calling thread and the result is false.
  virtual bool RunAnswering(std::function<void()> work) = 0;

  // The wait cursor while the dialog's thread is busy with a printer (true), then the cursor
  // that was shown before (false). Calls pair up; in nested pairs the wait cursor stays until
  // the outermost pair ends.
  virtual void ShowWaitCursor(bool waiting) = 0;
};

}  // namespace kestrava
