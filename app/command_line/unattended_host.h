// The dialog host of a run without the dialog: the engine and the port commands talk to the
// user through the dialog host, so this one shows nothing. Every message box becomes a line of
// the run's output (a question is answered No); controls, timers and the wait cursor do
// nothing. Worker threads and pictures come from the real host, which can do both without a
// window.
#pragma once

#include <functional>

#include "platform/dialog_host.h"

namespace kestrava {

class UnattendedHost final : public DialogHost {
 public:
  UnattendedHost(DialogHost& real, std::function<void(const WString& message)> showLine)
      : real_(real), showLine_(std::move(showLine)) {}

  int RunModal(DialogEvents&) override { return -1; }
  void EndDialog(int) override {}
  WString WindowTitle() override { return WString(); }
  void SetWindowTitle(const WString&) override {}
  void SetIcon(int) override {}
  Picture LoadPicture(int resourceId) override { return real_.LoadPicture(resourceId); }
  WString ControlText(int) override { return WString(); }
  void SetControlText(int, const WString&) override {}
  int RadioGroupPosition(int) override { return -1; }
  void SetRadioGroupPosition(int, int) override {}
  bool IsChecked(int) override { return false; }
  void SetChecked(int, bool) override {}
  int ComboCount(int) override { return 0; }
  WString ComboItem(int, int) override { return WString(); }
  int ComboSelection(int) override { return -1; }
  void SetComboSelection(int, int) override {}
  int AddComboItem(int, const WString&) override { return -1; }
  void ClearCombo(int) override {}
  uint32_t IpAddress(int) override { return 0; }
  void SetIpAddress(int, uint32_t) override {}
  void ShowControl(int, bool) override {}
  void EnableControl(int, bool) override {}
  bool IsControlVisible(int) override { return false; }
  bool IsControlEnabled(int) override { return false; }
  void AddNotifyStyle(int) override {}
  void SetControlFont(int, const FontSpec&) override {}
  void SetControlTextColour(int, uint32_t) override {}
  void StartTimer(unsigned, unsigned) override {}
  void StopTimer(unsigned) override {}
  Answer ShowMessage(const WString& text, MessageKind kind) override;
  void PostUserMessage(uintptr_t, intptr_t) override {}
  bool StartWorker(std::function<void()> work) override {
    return real_.StartWorker(std::move(work));
  }
  void WaitForWorkers() override { real_.WaitForWorkers(); }
  // No window to keep answering: the work runs on the calling thread.
  bool RunAnswering(std::function<void()> work) override {
    work();
    return true;
  }
  void ShowWaitCursor(bool) override {}

 private:
  DialogHost& real_;
  std::function<void(const WString&)> showLine_;
};

}  // namespace kestrava
