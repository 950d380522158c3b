// The dialog framework in memory, for tests: dialog 147 built from the control table, with the
// semantics of the Win32 host (the contract tests hold the two together). RunModal calls
// OnInitDialog and returns at once; the test then plays the user and the message loop with the
// helpers below: clicks, selections, Enter and Escape, timers it fires, posted messages it pumps,
// workers it runs and message boxes it answers.
//
// The dialog's thread is the one that made the host. RunAnswering runs its work on a thread of
// its own, as the real host does, and meanwhile keeps a message loop on the dialog's thread whose
// rounds the test sees (whileAnswering); a call from any other thread is a misuse, except the
// ones the work may make (StartTimer, StopTimer, ShowWaitCursor), which the loop carries out.
//
// Like the real dialog, the controls exist only from RunModal until the event that ends the
// dialog has returned; before and after, the DialogHost operations return defaults and record a
// misuse. Operating on an unknown id is recorded too, never a crash.
#pragma once

#include <climits>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/dialog/dialog_template.h"
#include "platform/dialog_host.h"

namespace kestrava {

class TestDialogHost final : public DialogHost {
 public:
  // What RunModal returns when OnInitDialog did not end the dialog.
  static constexpr int kStillOpen = INT_MIN;

  struct Control {
    const ControlSpec* layout = nullptr;
    WString text;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    std::vector<WString> items;
    int selection = -1;
    uint32_t address = 0;
    bool notify = false;
    std::optional<FontSpec> font;
    std::optional<uint32_t> textColour;
  };

  struct ShownMessage {
    WString text;
    MessageKind kind;
    Answer answer;
    bool ownedByDialog;
  };

  struct TimerChange {
    unsigned id;
    unsigned periodMs;  // 0: stopped
  };

  TestDialogHost();

  // DialogHost
  int RunModal(DialogEvents& events) override;
  void EndDialog(int result) override;
  WString WindowTitle() override;
  void SetWindowTitle(const WString& title) override;
  void SetIcon(int resourceId) override;
  Picture LoadPicture(int resourceId) override;
  WString ControlText(int id) override;
  void SetControlText(int id, const WString& text) override;
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
  // The workers still queued run now, as those of the real host would have run to their end.
  void WaitForWorkers() override;
  void ShowWaitCursor(bool waiting) override;
  // The dialog takes no input meanwhile: the user's helpers below return false.
  bool RunAnswering(std::function<void()> work) override;

  // The user. Each returns false, and delivers nothing, when the dialog is not open or the
  // control is unknown, hidden or disabled (Windows gives such a control no input).
  // A click checks an auto radio (clearing the rest of its group), toggles a check box, and
  // sends BN_CLICKED.
  bool Click(int id);
  bool DoubleClick(int id);  // STN_DBLCLK, sent only by a static with the notify style
  bool SelectComboItem(int id, int index);  // sets the selection, sends CBN_SELCHANGE
  bool OpenComboList(int id);               // CBN_DROPDOWN
  bool PressEnter();
  bool PressEscape();

  // The message loop. FireTimer calls OnTimer when the timer is running; PumpPostedMessages
  // delivers the posted messages in order, also those posted meanwhile, and returns how many.
  bool FireTimer(unsigned timerId);
  int PumpPostedMessages();
  // Runs the queued workers in the order they were started (and those they start); returns
  // how many ran. With runWorkersAtOnce, StartWorker runs the work before returning.
  int RunWorkers();

  bool IsOpen() const { return open_; }
  // The control's state whether or not the dialog is open; nullptr for an unknown id.
  const Control* Find(int id) const;
  bool IsTimerRunning(unsigned timerId) const { return timers.count(timerId) > 0; }

  // Scripted behaviour.
  std::deque<Answer> answers;  // for questions, in order; warnings are answered OK
  // Called while a box is shown, before it is answered: what the message loop delivers
  // meanwhile (timers, posted messages) in a real box.
  std::function<void(const WString& text)> whileShown;
  bool runWorkersAtOnce = false;
  // Called on the dialog's thread at every round of RunAnswering's loop, while the work runs,
  // after the round has delivered the posted messages: what else the message loop answers
  // meanwhile (the test fires timers, tries the controls).
  std::function<void()> whileAnswering;
  bool workersFailToStart = false;
  std::map<int, Picture> pictures;  // bitmap resources by id (141: the committed 120x60 one)

  // What happened.
  std::optional<int> endResult;
  WString title;
  int iconResource = 0;
  std::vector<ShownMessage> messages;
  int unscriptedQuestions = 0;          // each answered No
  std::map<unsigned, unsigned> timers;  // running timers and their periods
  std::vector<TimerChange> timerChanges;
  std::vector<std::string> misuses;
  int workersStarted = 0;
  int workerWaits = 0;
  int waitCursors = 0;       // waits open now
  int waitCursorsShown = 0;  // waits opened in all
  int answeringRuns = 0;     // RunAnswering calls whose work ran on a thread of its own
  int answeredRounds = 0;    // rounds of their loops, while the work ran

 private:
  Control* Use(int id, const char* operation, ControlKind kind);
  Control* Use(int id, const char* operation);
  void Misuse(const char* operation, int id, const char* what);
  std::vector<Control*> Group(int firstId, const char* operation);
  // Calls `event` on the open dialog, then closes it when the event ended it.
  bool Deliver(const std::function<void()>& event);
  bool UserInput(int id, const char* operation);
  bool OffDialogThread() const { return std::this_thread::get_id() != dialogThread_; }
  // From the work of RunAnswering: hands `call` to its loop and returns once the loop has made
  // it (true). From another thread outside RunAnswering: a misuse (true). False on the dialog's
  // thread, where the caller goes on itself.
  bool CarriedToDialog(const char* operation, const std::function<void()>& call);

  struct Carried {
    const std::function<void()>* call;
    bool* done;
  };
  std::vector<Control> controls_;
  DialogEvents* events_ = nullptr;
  bool open_ = false;
  bool endRequested_ = false;
  int depth_ = 0;  // events being delivered
  std::mutex postedLock_;
  std::deque<std::pair<uintptr_t, intptr_t>> posted_;
  std::deque<std::function<void()>> workers_;
  std::thread::id dialogThread_ = std::this_thread::get_id();
  std::mutex misuseLock_;
  // RunAnswering's loop: whether it runs, the calls carried to it, and its wake-ups.
  std::mutex carryLock_;
  std::condition_variable wake_;
  bool answering_ = false;
  std::deque<Carried> carried_;
};

}  // namespace kestrava
