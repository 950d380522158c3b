// The dialog's discovery entry points on the test host, as the interface radios and the 500 ms
// timer will call them.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/ipv4_text.h"
#include "tests/app/dialog/dialog_fixture.h"

namespace kestrava {
namespace {

using namespace std::chrono_literals;

constexpr int kLanRadio = 2;  // positions in the interface group
constexpr int kUsbRadio = 0;

class LanDiscoveryDialogTest : public DialogFixture {
 protected:
  void SetUp() override {
    Open();
    host.RunWorkers();  // the payload worker
    workersBefore = host.workersStarted;
    adapters.adapters = {MakeAdapter("Ethernet", {0x02, 1, 2, 3, 4, 5}, {"10.77.0.1"})};
    Choose(kLanRadio);
  }
  // The radio checked and the controls read, without the radio's own handler: these tests
  // call the entry points it uses themselves.
  void Choose(int position) {
    host.SetRadioGroupPosition(control::kInterfaceFirst, position);
    dialog->ExchangeControlData(true);
  }
  void Answer(const char* from) {
    const std::optional<uint32_t> address = ParseDottedIpv4(std::string_view(from));
    ASSERT_TRUE(address);
    udp.Deliver(kDiscoveryLocalPort, *address, kPrinterDiscoveryPort, "QX0001FIND-ANSWER");
  }
  int Started() const { return host.workersStarted - workersBefore; }

  int workersBefore = 0;
};

TEST_F(LanDiscoveryDialogTest, ChoosingLanOpensTheSocketReadsTheAddressesAndStartsOneThread) {
  dialog->discoveredPrinters.Append(u"10.77.0.9");
  dialog->StartLanDiscovery();
  EXPECT_TRUE(dialog->discoveredPrinters.Empty());
  EXPECT_TRUE(dialog->lanDiscovery().socketOpen());
  EXPECT_EQ("10.77.0.1/255.255.255.0_", SegmentsText(dialog->lanDiscovery().localSegments()));
  EXPECT_EQ("02-01-02-03-04-05\n", process.standardOutput);
  EXPECT_TRUE(dialog->discoveryRunning);
  EXPECT_EQ(1, Started());

  dialog->StartLanDiscovery();  // chosen again while the thread runs
  EXPECT_EQ(1, Started()) << "no second thread";
  EXPECT_EQ(1, udp.Opened()) << "the open socket is kept";
}

TEST_F(LanDiscoveryDialogTest, ATickCancelsTheWaitWhileTheThreadRunsAndRestartsItOtherwise) {
  dialog->StartLanDiscovery();
  dialog->LanDiscoveryTick();
  EXPECT_EQ(1, udp.Cancels());
  EXPECT_EQ(1, Started());

  dialog->discoveryRunning = false;  // the thread has ended
  dialog->LanDiscoveryTick();
  EXPECT_EQ(2, udp.Opened()) << "closed and opened again";
  EXPECT_EQ(1, udp.OpenNow());
  EXPECT_EQ(2, Started());
  EXPECT_TRUE(dialog->discoveryRunning);
}

TEST_F(LanDiscoveryDialogTest, AThreadThatCannotStartIsTriedAgainAtTheNextTick) {
  host.workersFailToStart = true;
  dialog->StartLanDiscovery();
  EXPECT_FALSE(dialog->discoveryRunning);
  host.workersFailToStart = false;
  dialog->LanDiscoveryTick();
  EXPECT_TRUE(dialog->discoveryRunning);
  EXPECT_EQ(1, Started());
}

TEST_F(LanDiscoveryDialogTest, EachCyclePostsAndTheDialogListsWhatWasFound) {
  udp.idleWaitEndsAfterMs = 500;
  Answer("10.77.0.2");
  clock.onSleep = [this](uint32_t) {
    // The second wait: the user chooses USB meanwhile.
    if (clock.Sleeps().size() == 1) Choose(kUsbRadio);
  };
  dialog->StartLanDiscovery();
  host.RunWorkers();
  EXPECT_FALSE(dialog->discoveryRunning);
  EXPECT_EQ(std::vector<WString>{u"10.77.0.2"}, dialog->discoveredPrinters.Snapshot());
  const std::vector<WString> before = Items(control::kPortList);
  EXPECT_EQ(2, host.PumpPostedMessages()) << "one message per cycle";
  EXPECT_EQ(before, Items(control::kPortList)) << "USB is chosen now: the message changes nothing";

  Choose(kLanRadio);
  Answer("10.77.0.3");
  icmp.Answer(0x0A4D0002, true);  // 10.77.0.2 is checked on that answer
  clock.onSleep = nullptr;
  udp.idleWaitEndsAfterMs.reset();
  dialog->LanDiscoveryTick();
  auto thread = std::async(std::launch::async, [this] { host.RunWorkers(); });
  ASSERT_TRUE(udp.WaitUntilBlocked(10000));
  host.PumpPostedMessages();
  EXPECT_EQ((std::vector<WString>{u"10.77.0.2", u"10.77.0.3"}), Items(control::kPortList));
  Choose(kUsbRadio);
  dialog->CloseDiscoverySocket();
  ASSERT_EQ(std::future_status::ready, thread.wait_for(10s));
  EXPECT_EQ(0, udp.OpenNow());
}

TEST_F(LanDiscoveryDialogTest, ClosingTheDialogWhileACycleWaitsEndsTheThreadFirst) {
  dialog->StartLanDiscovery();
  auto thread = std::async(std::launch::async, [this] { host.RunWorkers(); });
  ASSERT_TRUE(udp.WaitUntilBlocked(10000));
  host.PressEscape();
  dialog.reset();  // with the thread still waiting for an answer
  ASSERT_EQ(std::future_status::ready, thread.wait_for(10s));
  EXPECT_EQ(0, udp.OpenNow()) << "the socket went with the last owner";
}

TEST_F(LanDiscoveryDialogTest, ClosingTheDialogWhileAnEchoWaitsItsSecond) {
  dialog->StartLanDiscovery();
  dialog->discoveredPrinters.Append(u"10.77.0.2");  // switched off
  Answer("10.77.0.3");
  std::promise<void> echoStarted;
  std::shared_ptr<std::atomic<bool>> closing = std::make_shared<std::atomic<bool>>(false);
  icmp.onEcho = [&echoStarted, closing](uint32_t) {
    echoStarted.set_value();
    while (!*closing) std::this_thread::yield();
  };
  auto thread = std::async(std::launch::async, [this] { host.RunWorkers(); });
  ASSERT_EQ(std::future_status::ready, echoStarted.get_future().wait_for(10s));
  host.PressEscape();
  auto closed = std::async(std::launch::async, [this] { dialog.reset(); });
  EXPECT_EQ(std::future_status::timeout, closed.wait_for(50ms)) << "the echo is still waiting";
  *closing = true;  // its second is over
  ASSERT_EQ(std::future_status::ready, closed.wait_for(10s));
  EXPECT_EQ(std::future_status::ready, thread.wait_for(10s));
}

TEST_F(LanDiscoveryDialogTest, ADialogClosedBeforeItsThreadBeganLeavesThatThreadNothingToDo) {
  dialog->StartLanDiscovery();
  host.PressEscape();
  dialog.reset();
  EXPECT_EQ(1, host.RunWorkers());
  EXPECT_TRUE(udp.SentDatagrams().empty());
}

}  // namespace
}  // namespace kestrava
