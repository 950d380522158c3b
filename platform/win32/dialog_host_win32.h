// The dialog framework over the Win32 API: dialog template 147 and its initialisation data
// from the program file's resources, run modally with DialogBoxParamW.
//
// Controls are reached by id through the dialog window, so every control operation needs the
// dialog to exist (from OnInitDialog until the dialog is destroyed); before and after, and for an
// id the dialog does not have, they do nothing and return the defaults (empty text, -1 for
// positions and selections, 0 for counts and addresses, false for states).
//
// The fonts and icons given to the dialog belong to the host and are deleted when the dialog has
// been destroyed; loaded pictures live as long as the host, and the host as long as the workers
// it started.
#pragma once

#include <memory>

#include "platform/dialog_host.h"

namespace kestrava {

class Win32DialogHost final : public DialogHost {
 public:
  Win32DialogHost();
  ~Win32DialogHost() override;
  Win32DialogHost(const Win32DialogHost&) = delete;
  Win32DialogHost& operator=(const Win32DialogHost&) = delete;

  // Registers the common-control classes the template uses (the IPv4 address field) before the
  // dialog is created. Returns -1 when the dialog cannot be created.
  int RunModal(DialogEvents& events) override;
  void EndDialog(int result) override;

  WString WindowTitle() override;
  void SetWindowTitle(const WString& title) override;
  void SetIcon(int resourceId) override;
  // A DIB section, so that it can be drawn on a printer as well as on the screen.
  Picture LoadPicture(int resourceId) override;

  WString ControlText(int id) override;
  void SetControlText(int id, const WString& text) override;

  // Walks from `firstId` to the next window with WS_GROUP, counting only radio buttons (hidden
  // ones too). Reading, the last checked button wins.
  int RadioGroupPosition(int firstId) override;
  void SetRadioGroupPosition(int firstId, int position) override;
  bool IsChecked(int id) override;
  void SetChecked(int id, bool checked) override;

  int ComboCount(int id) override;
  WString ComboItem(int id, int index) override;
  int ComboSelection(int id) override;
  void SetComboSelection(int id, int index) override;
  int AddComboItem(int id, const WString& text) override;
  void ClearCombo(int id) override;

  uint32_t IpAddress(int id) override;
  void SetIpAddress(int id, uint32_t address) override;

  void ShowControl(int id, bool visible) override;
  void EnableControl(int id, bool enabled) override;
  // The control's own WS_VISIBLE, true even while the dialog itself is not shown yet.
  bool IsControlVisible(int id) override;
  bool IsControlEnabled(int id) override;

  void AddNotifyStyle(int id) override;
  void SetControlFont(int id, const FontSpec& font) override;
  void SetControlTextColour(int id, uint32_t colour) override;

  void StartTimer(unsigned timerId, unsigned periodMs) override;
  void StopTimer(unsigned timerId) override;

  Answer ShowMessage(const WString& text, MessageKind kind) override;
  void PostUserMessage(uintptr_t wParam, intptr_t lParam) override;
  bool StartWorker(std::function<void()> work) override;
  // Waits for the worker threads without a limit; the host's destruction waits for them too.
  void WaitForWorkers() override;
  // SetCursor on the dialog's thread; while a wait is open the dialog answers WM_SETCURSOR with
  // the wait cursor, so the mouse moving over it does not bring its own back.
  void ShowWaitCursor(bool waiting) override;
  // MsgWaitForMultipleObjects on the work's thread, dispatching the messages of the thread
  // (IsDialogMessageW for the dialog's) as they come, with the dialog window disabled.
  bool RunAnswering(std::function<void()> work) override;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace kestrava
