// The same cases against the test host (natively) and the Win32 host (under Wine, on the real
// dialog 147 from the test program's resources), so that the test host keeps answering as
// Windows does. Most cases run inside OnInitDialog, where the controls exist, and end the dialog
// from there.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "app/dialog/dialog_template.h"
#include "tests/fakes/test_dialog_host.h"
#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

constexpr int kEnded = 42;

// Calls `body` in OnInitDialog and ends the dialog there.
class InitOnly final : public DialogEvents {
 public:
  InitOnly(DialogHost& host, std::function<void(DialogHost&)> body)
      : host_(host), body_(std::move(body)) {}
  bool OnInitDialog() override {
    initialised = true;
    body_(host_);
    host_.EndDialog(kEnded);
    return true;
  }
  void OnCommand(int, int) override {}
  void OnTimer(unsigned) override {}
  void OnUserMessage(uintptr_t, intptr_t) override {}
  void OnOk() override {}
  void OnCancel() override {}

  bool initialised = false;

 private:
  DialogHost& host_;
  std::function<void(DialogHost&)> body_;
};

class DialogHostContract : public ::testing::TestWithParam<Implementation<DialogHost>> {
 protected:
  void InsideDialog(const std::function<void(DialogHost&)>& body) {
    InitOnly events(*host, body);
    EXPECT_EQ(kEnded, host->RunModal(events));
    EXPECT_TRUE(events.initialised);
  }
  void TearDown() override {
    if (auto* test = dynamic_cast<TestDialogHost*>(host.get()); test && !misuseExpected) {
      EXPECT_TRUE(test->misuses.empty()) << test->misuses.front();
    }
  }

  std::unique_ptr<DialogHost> host = GetParam().make();
  bool misuseExpected = false;
};

struct RadioGroup {
  int firstId;
  std::vector<int> buttons;  // in template order, hidden ones included
};

const RadioGroup kRadioGroups[] = {
    {1002, {1002, 1007, 1005, 1003, 1004, 1006, 1042}},
    {1014, {1014, 1013, 1012, 1011, 1017, 1016, 1043, 1045, 1058, 1015, 1010}},
    {1009, {1009}},
    {1034, {1034, 1048, 1049, 1057, 1035}},  // the group box 1024 after 1035 is no button
};

TEST_P(DialogHostContract, ControlsStartInTheirTemplateState) {
  InsideDialog([](DialogHost& dialog) {
    EXPECT_EQ(u"", dialog.WindowTitle());
    for (const ControlSpec& layout : kDialogControls) {
      SCOPED_TRACE(layout.id);
      EXPECT_EQ(!layout.hidden, dialog.IsControlVisible(layout.id));
      EXPECT_TRUE(dialog.IsControlEnabled(layout.id));
      if (layout.kind == ControlKind::kRadio || layout.kind == ControlKind::kCheckBox) {
        EXPECT_FALSE(dialog.IsChecked(layout.id));
      }
      if (layout.kind != ControlKind::kIpAddress) {
        EXPECT_EQ(layout.text ? WString(layout.text) : WString(), dialog.ControlText(layout.id));
      }
      if (layout.kind == ControlKind::kDropList && layout.id != 1046) {
        EXPECT_EQ(0, dialog.ComboCount(layout.id));
      }
    }
    for (const RadioGroup& group : kRadioGroups) {
      EXPECT_EQ(-1, dialog.RadioGroupPosition(group.firstId)) << group.firstId;
    }
    // The template's initialisation data fills the language list; nothing is selected.
    ASSERT_EQ(3, dialog.ComboCount(1046));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(kLanguageListItems[i], dialog.ComboItem(1046, i));
    EXPECT_EQ(-1, dialog.ComboSelection(1046));
    EXPECT_EQ(0u, dialog.IpAddress(1050));
  });
}

TEST_P(DialogHostContract, RadioGroupsRunToTheNextGroupStart) {
  InsideDialog([](DialogHost& dialog) {
    for (const RadioGroup& group : kRadioGroups) {
      const int size = static_cast<int>(group.buttons.size());
      for (int position = -1; position <= size; ++position) {
        SCOPED_TRACE(testing::Message() << "group " << group.firstId << " at " << position);
        dialog.SetRadioGroupPosition(group.firstId, position);
        const int expected = position < size ? position : -1;  // past the end: none checked
        EXPECT_EQ(expected, dialog.RadioGroupPosition(group.firstId));
        for (int i = 0; i < size; ++i) {
          EXPECT_EQ(i == expected, dialog.IsChecked(group.buttons[static_cast<size_t>(i)]))
              << group.buttons[static_cast<size_t>(i)];
        }
      }
    }
    // Groups keep their own positions.
    dialog.SetRadioGroupPosition(1002, 6);
    dialog.SetRadioGroupPosition(1014, 9);
    dialog.SetRadioGroupPosition(1034, 4);
    EXPECT_EQ(6, dialog.RadioGroupPosition(1002));
    EXPECT_EQ(9, dialog.RadioGroupPosition(1014));
    EXPECT_EQ(4, dialog.RadioGroupPosition(1034));
    EXPECT_EQ(-1, dialog.RadioGroupPosition(1009));
  });
}

TEST_P(DialogHostContract, RadioPositionsCountFromTheButtonGiven) {
  InsideDialog([](DialogHost& dialog) {
    dialog.SetChecked(1003, true);
    EXPECT_EQ(3, dialog.RadioGroupPosition(1002));
    EXPECT_EQ(1, dialog.RadioGroupPosition(1005));
    EXPECT_EQ(-1, dialog.RadioGroupPosition(1004));
    // Two checked buttons (only the program can do that): the later one counts.
    dialog.SetChecked(1006, true);
    EXPECT_EQ(5, dialog.RadioGroupPosition(1002));
    // A group box is no radio button: counting from it finds none.
    dialog.SetChecked(1035, true);
    EXPECT_EQ(-1, dialog.RadioGroupPosition(1024));
    dialog.SetChecked(1018, true);
    EXPECT_TRUE(dialog.IsChecked(1018));
    dialog.SetChecked(1018, false);
    EXPECT_FALSE(dialog.IsChecked(1018));
  });
}

TEST_P(DialogHostContract, DropListsKeepTheirItemsInOrder) {
  InsideDialog([](DialogHost& dialog) {
    const WString ports[] = {u"USB001", u"COM3", u"192.168.1.100", u"蓝牙COM5"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(i, dialog.AddComboItem(1059, ports[i]));
    ASSERT_EQ(4, dialog.ComboCount(1059));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ports[i], dialog.ComboItem(1059, i));
    EXPECT_EQ(u"", dialog.ComboItem(1059, 4));
    EXPECT_EQ(u"", dialog.ComboItem(1059, -1));
    EXPECT_EQ(-1, dialog.ComboSelection(1059));

    dialog.SetComboSelection(1059, 2);
    EXPECT_EQ(2, dialog.ComboSelection(1059));
    EXPECT_EQ(u"192.168.1.100", dialog.ControlText(1059));  // a drop list shows its selection
    dialog.SetComboSelection(1059, 7);                      // past the end clears it
    EXPECT_EQ(-1, dialog.ComboSelection(1059));
    dialog.SetComboSelection(1059, 3);
    dialog.SetComboSelection(1059, -1);
    EXPECT_EQ(-1, dialog.ComboSelection(1059));
    EXPECT_EQ(u"", dialog.ControlText(1059));

    dialog.SetComboSelection(1059, 1);
    dialog.ClearCombo(1059);
    EXPECT_EQ(0, dialog.ComboCount(1059));
    EXPECT_EQ(-1, dialog.ComboSelection(1059));

    dialog.SetComboSelection(1046, 2);
    EXPECT_EQ(u"Japanese", dialog.ControlText(1046));
    EXPECT_EQ(0, dialog.ComboCount(1053)) << "lists do not share items";
  });
}

TEST_P(DialogHostContract, AddressFieldHoldsFourBytesFirstHighest) {
  InsideDialog([](DialogHost& dialog) {
    dialog.SetIpAddress(1050, 0xC0A80164);
    EXPECT_EQ(0xC0A80164u, dialog.IpAddress(1050));
    EXPECT_EQ(u"192.168.1.100", dialog.ControlText(1050));
    for (uint32_t address : {0x0A000001u, 0xFFFFFFFFu, 0x00000000u}) {
      dialog.SetIpAddress(1050, address);
      EXPECT_EQ(address, dialog.IpAddress(1050));
    }
  });
}

TEST_P(DialogHostContract, ShowingAndEnablingAreSeparateStates) {
  InsideDialog([](DialogHost& dialog) {
    dialog.ShowControl(1053, true);
    dialog.ShowControl(1050, true);
    dialog.ShowControl(1059, false);
    EXPECT_TRUE(dialog.IsControlVisible(1053));
    EXPECT_TRUE(dialog.IsControlVisible(1050));
    EXPECT_FALSE(dialog.IsControlVisible(1059));

    dialog.EnableControl(1019, false);
    EXPECT_FALSE(dialog.IsControlEnabled(1019));
    EXPECT_TRUE(dialog.IsControlVisible(1019));
    dialog.EnableControl(1059, false);  // hidden and disabled at once
    EXPECT_FALSE(dialog.IsControlEnabled(1059));
    dialog.ShowControl(1059, true);
    EXPECT_FALSE(dialog.IsControlEnabled(1059));
    EXPECT_TRUE(dialog.IsControlVisible(1059));
    dialog.EnableControl(1019, true);
    EXPECT_TRUE(dialog.IsControlEnabled(1019));

    dialog.SetChecked(1018, true);
    dialog.EnableControl(1018, false);
    EXPECT_TRUE(dialog.IsChecked(1018)) << "disabling keeps the check";
  });
}

TEST_P(DialogHostContract, TextsKeepEveryScript) {
  InsideDialog([](DialogHost& dialog) {
    const struct {
      int id;
      WString text;
    } rows[] = {
        {1008, u"您正在使用 Windows 10 x64 操作系统。\n请选择 Windows 10 安装。"},
        {1055, u"レシートプリンター"},
        {1019, u"インストール開始"},
        {1062, u""},
        {1039, u"COM3"},
    };
    for (const auto& row : rows) {
      dialog.SetControlText(row.id, row.text);
      EXPECT_EQ(row.text, dialog.ControlText(row.id)) << row.id;
    }
    dialog.SetWindowTitle(u"安装票据打印机驱动");
    EXPECT_EQ(u"安装票据打印机驱动", dialog.WindowTitle());

    // Fonts, colours and the notify style change how a control looks, not what it holds.
    dialog.SetControlFont(1030, FontSpec{u"Arial", 12, 700, true});
    dialog.SetControlFont(1039, FontSpec{u"Arial", 12, 700, true});
    dialog.SetControlTextColour(1039, 0x002828B4);
    dialog.AddNotifyStyle(1008);
    dialog.SetIcon(kIconResource);
    EXPECT_EQ(u"*说明：后缀字母“C”表示带切刀机型", dialog.ControlText(1030));
    EXPECT_EQ(u"COM3", dialog.ControlText(1039));
    EXPECT_TRUE(dialog.IsControlVisible(1008));
  });
}

TEST_P(DialogHostContract, UnknownControlsAnswerDefaults) {
  misuseExpected = true;
  InsideDialog([](DialogHost& dialog) {
    const int id = 9999;
    dialog.SetControlText(id, u"x");
    dialog.SetRadioGroupPosition(id, 1);
    dialog.SetChecked(id, true);
    dialog.SetComboSelection(id, 0);
    dialog.ClearCombo(id);
    dialog.SetIpAddress(id, 1);
    dialog.ShowControl(id, true);
    dialog.EnableControl(id, true);
    dialog.AddNotifyStyle(id);
    dialog.SetControlFont(id, FontSpec{u"Arial", 12, 400, false});
    dialog.SetControlTextColour(id, 0xFF);
    EXPECT_EQ(u"", dialog.ControlText(id));
    EXPECT_EQ(-1, dialog.RadioGroupPosition(id));
    EXPECT_FALSE(dialog.IsChecked(id));
    EXPECT_EQ(-1, dialog.AddComboItem(id, u"COM1"));
    EXPECT_EQ(0, dialog.ComboCount(id));
    EXPECT_EQ(u"", dialog.ComboItem(id, 0));
    EXPECT_EQ(-1, dialog.ComboSelection(id));
    EXPECT_EQ(0u, dialog.IpAddress(id));
    EXPECT_FALSE(dialog.IsControlVisible(id));
    EXPECT_FALSE(dialog.IsControlEnabled(id));
  });
}

TEST_P(DialogHostContract, ControlsAreGoneOnceTheDialogHasEnded) {
  misuseExpected = true;
  InsideDialog([](DialogHost& dialog) { dialog.SetControlText(1055, u"RT-80"); });
  EXPECT_EQ(u"", host->ControlText(1055));
  EXPECT_FALSE(host->IsControlVisible(1002));
  EXPECT_EQ(u"", host->WindowTitle());
}

TEST_P(DialogHostContract, PicturesComeFromTheResources) {
  const Picture page = host->LoadPicture(kTestPageBitmapResource);
  EXPECT_NE(0u, page.handle);
  EXPECT_EQ(120, page.width);
  EXPECT_EQ(60, page.height);
  EXPECT_EQ(0u, host->LoadPicture(9999).handle);
}

// A fast timer, a stopped timer and a message posted by a worker all reach the events on the
// dialog's thread; a guard timer ends the dialog if they never come.
class LoopEvents final : public DialogEvents {
 public:
  static constexpr unsigned kFast = 7, kStopped = 8, kGuard = 99;

  explicit LoopEvents(DialogHost& host) : host_(host) {}
  bool OnInitDialog() override {
    dialogThread_ = std::this_thread::get_id();
    host_.StartTimer(kFast, 50);
    host_.StartTimer(kFast, 10);  // restarts with the new period
    host_.StartTimer(kStopped, 10);
    host_.StopTimer(kStopped);
    host_.StartTimer(kGuard, 5000);
    workerStarted = host_.StartWorker([this] { host_.PostUserMessage(5, -9); });
    return true;
  }
  void OnTimer(unsigned timerId) override {
    EXPECT_EQ(dialogThread_, std::this_thread::get_id());
    if (timerId == kGuard) {
      timedOut = true;
      host_.EndDialog(-1);
      return;
    }
    EXPECT_EQ(kFast, timerId);
    ++fastTicks;
    host_.StopTimer(kFast);
    EndWhenDone();
  }
  void OnUserMessage(uintptr_t wParam, intptr_t lParam) override {
    EXPECT_EQ(dialogThread_, std::this_thread::get_id());
    messages.emplace_back(wParam, lParam);
    EndWhenDone();
  }
  void OnCommand(int, int) override {}
  void OnOk() override {}
  void OnCancel() override {}

  bool workerStarted = false;
  bool timedOut = false;
  int fastTicks = 0;
  std::vector<std::pair<uintptr_t, intptr_t>> messages;

 private:
  void EndWhenDone() {
    if (fastTicks > 0 && !messages.empty()) host_.EndDialog(kEnded);
  }
  DialogHost& host_;
  std::thread::id dialogThread_;
};

// Runs the dialog to its end. The test host returns from RunModal at once, so the test plays
// the message loop: 10 ms per round, running workers, delivering posted messages and firing the
// timers that are due.
int RunToEnd(DialogHost& host, DialogEvents& events) {
  const int result = host.RunModal(events);
  auto* test = dynamic_cast<TestDialogHost*>(&host);
  if (!test) return result;
  for (unsigned now = 10; now <= 1000 && test->IsOpen(); now += 10) {
    test->RunWorkers();
    test->PumpPostedMessages();
    for (const auto& [id, period] : std::map<unsigned, unsigned>(test->timers)) {
      if (now % period == 0) test->FireTimer(id);
    }
  }
  return test->endResult.value_or(TestDialogHost::kStillOpen);
}

TEST_P(DialogHostContract, TimersAndPostedMessagesReachTheDialog) {
  LoopEvents events(*host);
  EXPECT_EQ(kEnded, RunToEnd(*host, events));
  EXPECT_TRUE(events.workerStarted);
  EXPECT_FALSE(events.timedOut);
  EXPECT_EQ(1, events.fastTicks) << "a stopped timer stays quiet";
  ASSERT_EQ(1u, events.messages.size());
  EXPECT_EQ(5u, events.messages[0].first);
  EXPECT_EQ(-9, events.messages[0].second);
}

// RunAnswering's work runs on a thread of its own while the dialog answers: a message the work
// posts reaches the dialog before the work ends, and the work's timer and wait cursor are
// carried to the dialog's thread.
class AnsweringEvents final : public DialogEvents {
 public:
  static constexpr unsigned kTimer = 12;

  explicit AnsweringEvents(DialogHost& host) : host_(host) {}
  bool OnInitDialog() override {
    dialogThread = std::this_thread::get_id();
    ran = host_.RunAnswering([this] {
      workThread = std::this_thread::get_id();
      host_.ShowWaitCursor(true);
      host_.StartTimer(kTimer, 60000);
      host_.PostUserMessage(3, 4);
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (!answered.load() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      answeredDuringWork = answered.load();
      host_.StopTimer(kTimer);
      host_.ShowWaitCursor(false);
    });
    host_.EndDialog(kEnded);
    return true;
  }
  void OnUserMessage(uintptr_t wParam, intptr_t lParam) override {
    messageOnDialogThread = std::this_thread::get_id() == dialogThread;
    if (wParam == 3 && lParam == 4) answered = true;
  }
  void OnTimer(unsigned) override { ++ticks; }
  void OnCommand(int, int) override {}
  void OnOk() override {}
  void OnCancel() override {}

  std::thread::id dialogThread;
  std::thread::id workThread;
  bool ran = false;
  std::atomic<bool> answered{false};
  bool answeredDuringWork = false;
  bool messageOnDialogThread = false;
  int ticks = 0;

 private:
  DialogHost& host_;
};

TEST_P(DialogHostContract, AnsweringWorkRunsApartWhileTheDialogAnswers) {
  AnsweringEvents events(*host);
  EXPECT_EQ(kEnded, host->RunModal(events));
  EXPECT_TRUE(events.ran);
  EXPECT_NE(events.dialogThread, events.workThread);
  EXPECT_NE(std::thread::id(), events.workThread);
  EXPECT_TRUE(events.answeredDuringWork);
  EXPECT_TRUE(events.messageOnDialogThread);
  EXPECT_EQ(0, events.ticks) << "the timer was stopped long before its period";
}

INSTANTIATE_TEST_SUITE_P(All, DialogHostContract, ::testing::ValuesIn(DialogHostImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
