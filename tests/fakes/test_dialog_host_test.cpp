// The test host's user, loop and message-box helpers, which have no Win32 counterpart for the
// contract tests to hold them to: they must follow what Windows does for a user, or the dialog
// logic's tests would pass on behaviour no user can produce.
#include "tests/fakes/test_dialog_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

namespace kestrava {
namespace {

class Recorder final : public DialogEvents {
 public:
  bool OnInitDialog() override { return true; }
  void OnCommand(int id, int notification) override { commands.emplace_back(id, notification); }
  void OnTimer(unsigned) override {}
  void OnUserMessage(uintptr_t, intptr_t) override {}
  void OnOk() override { onOk(); }
  void OnCancel() override {}

  std::vector<std::pair<int, int>> commands;
  std::function<void()> onOk = [] {};
};

TEST(TestDialogHostUser, InputReachesOnlyShownEnabledControls) {
  TestDialogHost host;
  Recorder events;
  EXPECT_EQ(TestDialogHost::kStillOpen, host.RunModal(events));
  host.SetRadioGroupPosition(1014, 0);
  EXPECT_TRUE(host.Click(1016));  // an auto radio clears the rest of its group
  EXPECT_EQ(5, host.RadioGroupPosition(1014));
  EXPECT_FALSE(host.IsChecked(1014));
  EXPECT_TRUE(host.Click(1018));
  EXPECT_TRUE(host.IsChecked(1018));
  host.EnableControl(1019, false);
  EXPECT_FALSE(host.Click(1019));
  EXPECT_FALSE(host.Click(1020)) << "hidden";
  EXPECT_FALSE(host.DoubleClick(1008)) << "no notify style yet";
  host.AddNotifyStyle(1008);
  EXPECT_TRUE(host.DoubleClick(1008));
  EXPECT_FALSE(host.SelectComboItem(1046, 3));
  EXPECT_TRUE(host.SelectComboItem(1046, 1));
  EXPECT_EQ(u"English", host.ControlText(1046));
  const std::vector<std::pair<int, int>> expected = {{1016, kButtonClicked},
                                                     {1018, kButtonClicked},
                                                     {1008, kStaticDoubleClicked},
                                                     {1046, kComboSelectionChange}};
  EXPECT_EQ(expected, events.commands);
  EXPECT_EQ(1u, host.misuses.size()) << "the missing list item";
}

TEST(TestDialogHostUser, EndingInAHandlerClosesTheDialogAfterIt) {
  TestDialogHost host;
  Recorder events;
  host.RunModal(events);
  host.StartTimer(6, 500);
  host.PostUserMessage(0, 0);
  events.onOk = [&] {
    host.EndDialog(1);
    EXPECT_EQ(u"小票打印机", host.ControlText(1055)) << "the handler still reaches the controls";
  };
  EXPECT_TRUE(host.PressEnter());
  EXPECT_FALSE(host.IsOpen());
  EXPECT_EQ(1, host.endResult);
  EXPECT_FALSE(host.PressEscape());
  EXPECT_FALSE(host.FireTimer(6));
  EXPECT_EQ(0, host.PumpPostedMessages());
  EXPECT_TRUE(host.misuses.empty());
}

TEST(TestDialogHostMessages, QuestionsTakeTheScriptedAnswers) {
  TestDialogHost host;
  host.answers = {Answer::kYes};
  EXPECT_EQ(Answer::kYes, host.ShowMessage(u"Restart the spooler?", MessageKind::kQuestion));
  EXPECT_EQ(Answer::kOk, host.ShowMessage(u"Application is open", MessageKind::kWarning));
  EXPECT_EQ(Answer::kNo, host.ShowMessage(u"Overwrite?", MessageKind::kQuestion));
  EXPECT_EQ(1, host.unscriptedQuestions);
  ASSERT_EQ(3u, host.messages.size());
  EXPECT_EQ(u"Application is open", host.messages[1].text);
  EXPECT_EQ(MessageKind::kWarning, host.messages[1].kind);
  EXPECT_FALSE(host.messages[1].ownedByDialog);
}

TEST(TestDialogHostWorkers, RunWhenTheTestSays) {
  TestDialogHost host;
  int runs = 0;
  EXPECT_TRUE(host.StartWorker([&] { host.StartWorker([&] { ++runs; }); }));
  EXPECT_EQ(0, runs);
  EXPECT_EQ(2, host.RunWorkers());
  EXPECT_EQ(1, runs);
  host.runWorkersAtOnce = true;
  EXPECT_TRUE(host.StartWorker([&] { ++runs; }));
  EXPECT_EQ(2, runs);
  host.workersFailToStart = true;
  EXPECT_FALSE(host.StartWorker([&] { ++runs; }));
  EXPECT_EQ(3, host.workersStarted);
}

// What only RunAnswering's work may do off the dialog's thread, and the input the dialog takes
// no part in meanwhile.
TEST(TestDialogHostAnswering, TheWorkMayOnlyReachTheTimersAndTheCursor) {
  TestDialogHost host;
  Recorder events;
  host.RunModal(events);
  int clicksTaken = 0;
  int cursorsDuringWork = 0;
  host.whileAnswering = [&] {
    clicksTaken += host.Click(1018) ? 1 : 0;
    clicksTaken += host.PressEnter() ? 1 : 0;
    cursorsDuringWork = host.waitCursors;
  };
  ASSERT_TRUE(host.RunAnswering([&] {
    host.StartTimer(4, 100);
    host.SetControlText(1019, u"from the worker");
    host.ShowMessage(u"from the worker", MessageKind::kWarning);
    // Long enough for the loop to go round.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }));
  EXPECT_EQ(1u, host.timers.count(4)) << "carried to the dialog";
  EXPECT_EQ(0, clicksTaken);
  EXPECT_EQ(1, cursorsDuringWork);
  EXPECT_EQ(0, host.waitCursors);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_NE(u"from the worker", host.Find(1019)->text);
  EXPECT_EQ(2u, host.misuses.size()) << "the text and the box";
  EXPECT_TRUE(host.Click(1018)) << "input again once the work has ended";
}

TEST(TestDialogHostAnswering, OutsideTheWorkAnotherThreadReachesNothing) {
  TestDialogHost host;
  Recorder events;
  host.RunModal(events);
  std::thread([&] { host.StartTimer(4, 100); }).join();
  EXPECT_EQ(0u, host.timers.count(4));
  EXPECT_EQ(1u, host.misuses.size());
}

TEST(TestDialogHostAnswering, WithoutAThreadTheWorkRunsOnTheDialogsThread) {
  TestDialogHost host;
  Recorder events;
  host.RunModal(events);
  host.workersFailToStart = true;
  std::thread::id ranOn;
  EXPECT_FALSE(host.RunAnswering([&] { ranOn = std::this_thread::get_id(); }));
  EXPECT_EQ(std::this_thread::get_id(), ranOn);
  EXPECT_EQ(0, host.answeringRuns);
}

}  // namespace
}  // namespace kestrava
