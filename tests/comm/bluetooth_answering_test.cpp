// The Bluetooth commands talk to the printer on a worker: opening the port makes the radio
// connection, which with the printer off takes tens of seconds, and meanwhile the dialog keeps
// answering its messages; a command stops opening the port once its bound has passed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "comm/port_link.h"
#include "tests/comm/port_command_fixture.h"

namespace kestrava {
namespace {

const char16_t* const kFailure = u"Please check the connection\uFF01";
// ERROR_SEM_TIMEOUT: what opening an outgoing Bluetooth port gives when the printer is off.
constexpr uint32_t kConnectFailed = 121;
constexpr int kSelfTestButton = 1047;

enum class Command { kCheckPort, kSelfTest };

const char* Name(Command command) {
  return command == Command::kCheckPort ? "CheckPort" : "SelfTest";
}

class BluetoothCommand : public PortCommandFixture {
 protected:
  // The printer's Bluetooth port, whose every open takes `openMs` and fails.
  FakeDeviceIo::State& AddPrinterThatIsOff(uint32_t openMs, const WString& port = u"COM5") {
    FakeDeviceIo::State& state = deviceIo.Add(port, true);
    state.openMs = openMs;
    state.openError = kConnectFailed;
    return state;
  }

  bool Press(Command command) {
    return command == Command::kCheckPort ? PressCheckPort() : PressSelfTest();
  }

  int OpenAttempts(const std::string& port = "COM5") const {
    int attempts = 0;
    for (const std::string& entry : deviceIo.log) {
      if (entry.rfind("open " + port, 0) == 0) ++attempts;
    }
    return attempts;
  }
};

class BluetoothOpenOfFortySeconds : public BluetoothCommand,
                                    public ::testing::WithParamInterface<Command> {};

TEST_P(BluetoothOpenOfFortySeconds, LeavesTheDialogAnsweringAndEndsWithTheFailureMessage) {
  AddPrinterThatIsOff(40000);
  Choose(3, {u"COM5"}, u"NO BLE");
  std::atomic<int> rounds{0};
  int inputTaken = 0;
  int widestWait = 0;
  int ticksDuringCommand = 0;
  host.whileAnswering = [&] {
    ++rounds;
    inputTaken += host.Click(kSelfTestButton) ? 1 : 0;
    inputTaken += host.PressEscape() ? 1 : 0;
    widestWait = std::max(widestWait, host.waitCursors);
    // The check-port page's text armed the button timer before its open: the tick comes now.
    if (host.FireTimer(kButtonTimer)) ++ticksDuringCommand;
  };
  // Each open waits, in real time, until the dialog's loop has gone round twice more: it
  // cannot when the open runs on the dialog's own thread.
  int opensAnswered = 0;
  int opens = 0;
  deviceIo.onOpen = [&](const WString&) {
    ++opens;
    const int before = rounds.load();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (rounds.load() < before + 2 && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (rounds.load() >= before + 2) ++opensAnswered;
  };
  const uint64_t before = clock.MonotonicMs();

  ASSERT_TRUE(Press(GetParam()));

  EXPECT_GT(opens, 0);
  EXPECT_EQ(opens, opensAnswered) << "every open ran while the dialog answered";
  EXPECT_EQ(0, inputTaken) << "the dialog takes no input during the command";
  EXPECT_GE(widestWait, 1) << "the wait cursor shows during the command";
  EXPECT_EQ(0, host.waitCursors);
  EXPECT_EQ(GetParam() == Command::kCheckPort ? 1 : 0, ticksDuringCommand);
  EXPECT_EQ(std::vector<WString>{kFailure}, MessageTexts());
  EXPECT_EQ(0, deviceIo.openDevices());
  EXPECT_GE(clock.MonotonicMs() - before, 40000u);
  EXPECT_TRUE(host.misuses.empty()) << host.misuses.front();
  // And the dialog takes input again.
  host.whileAnswering = nullptr;
  deviceIo.onOpen = nullptr;
  EXPECT_TRUE(host.Click(kSelfTestButton));
}

INSTANTIATE_TEST_SUITE_P(All, BluetoothOpenOfFortySeconds,
                         ::testing::Values(Command::kCheckPort, Command::kSelfTest),
                         [](const ::testing::TestParamInfo<Command>& row) {
                           return std::string(Name(row.param));
                         });

// A printer that never connects: each command opens the port until the bound has passed, and
// then starts no further open.
struct BoundRow {
  const char* name;
  Command command;
  uint32_t openMs;
  int attempts;
  uint64_t elapsedMs;
};

class BluetoothBound : public BluetoothCommand, public ::testing::WithParamInterface<BoundRow> {};

TEST_P(BluetoothBound, NoOpenStartsOnceTheBoundHasPassed) {
  const BoundRow& row = GetParam();
  AddPrinterThatIsOff(row.openMs);
  Choose(3, {u"COM5"}, u"NO BLE");
  const uint64_t before = clock.MonotonicMs();
  ASSERT_TRUE(Press(row.command));
  EXPECT_EQ(row.attempts, OpenAttempts());
  EXPECT_EQ(row.elapsedMs, clock.MonotonicMs() - before);
  EXPECT_EQ(std::vector<WString>{kFailure}, MessageTexts());
  EXPECT_EQ(1, host.answeringRuns);
  EXPECT_TRUE(host.misuses.empty()) << host.misuses.front();
}

INSTANTIATE_TEST_SUITE_P(
    All, BluetoothBound,
    ::testing::Values(
        // The page, its feed and cut, its reset: three opens, the third not started at 80 s.
        BoundRow{"FortySecondOpens", Command::kCheckPort, 40000, 2, 80000},
        // The third starts at 40 s, within the bound.
        BoundRow{"TwentySecondOpens", Command::kCheckPort, 20000, 3, 60000},
        // One open already past the bound: nothing after it.
        BoundRow{"SeventySecondOpens", Command::kCheckPort, 70000, 1, 70000},
        // The request's one open.
        BoundRow{"SelfTest", Command::kSelfTest, 40000, 1, 40000}),
    [](const ::testing::TestParamInfo<BoundRow>& row) { return std::string(row.param.name); });

TEST_F(BluetoothCommand, EachCommandHasABoundOfItsOwn) {
  AddPrinterThatIsOff(40000);
  Choose(3, {u"COM5"}, u"NO BLE");
  ASSERT_TRUE(PressCheckPort());
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(4, OpenAttempts()) << "two opens each";
  EXPECT_EQ(2, host.answeringRuns);
}

TEST_F(BluetoothCommand, AWiredSerialPortStaysOnTheDialogsThreadWithoutTheBound) {
  // Past the bound after the first open: the page's feed and cut is still tried.
  AddPrinterThatIsOff(70000, u"COM3");
  Choose(1, {u"COM3"}, u"NO COM");
  const uint64_t before = clock.MonotonicMs();
  ASSERT_TRUE(PressCheckPort());
  EXPECT_EQ(2, OpenAttempts("COM3"));
  EXPECT_EQ(140000u, clock.MonotonicMs() - before);
  EXPECT_EQ(0, host.answeringRuns);
  EXPECT_EQ(std::vector<WString>{kFailure}, MessageTexts());
}

TEST_F(BluetoothCommand, ADeliveredPageStillAsksForTheStatusAndSaysNothing) {
  FakeDeviceIo::State& port = deviceIo.Add(u"COM5", true);
  port.openMs = 5000;
  Choose(3, {u"COM5"}, u"NO BLE");
  ASSERT_TRUE(PressCheckPort());
  // The page, its feed and cut, its reset, the status request.
  EXPECT_EQ(4, port.opens);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(5000u, host.timers.at(kButtonTimer)) << "armed from the worker, on the dialog";
  EXPECT_EQ(1, host.answeringRuns);
  EXPECT_TRUE(host.misuses.empty()) << host.misuses.front();
}

}  // namespace
}  // namespace kestrava
