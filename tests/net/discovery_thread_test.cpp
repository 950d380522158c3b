#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/net/discovery_fixture.h"

namespace kestrava {
namespace {

using namespace std::chrono_literals;

class DiscoveryThreadTest : public DiscoveryFixture {
 protected:
  // Starts the thread the way the dialog does; the work is kept for the test to run.
  bool Start() {
    return lan->StartDiscoveryThread(Dialog(), [this](std::function<void()> work) {
      if (workerFails) return false;
      work_ = std::move(work);
      return true;
    });
  }
  void RunHere() { std::exchange(work_, nullptr)(); }
  std::future<void> RunElsewhere() {
    return std::async(std::launch::async, [work = std::exchange(work_, nullptr)] { work(); });
  }
  // Leaves LAN after `ticks` waits of 500 ms on the virtual clock (echoes wait too, briefly).
  void LeaveLanAfterTicks(int ticks) {
    clock.onSleep = [this, ticks](uint32_t milliseconds) {
      if (milliseconds == 500 && ++ticks_ >= ticks) lan->SetInterfaceKind(0);
    };
  }
  int ticks_ = 0;

  bool workerFails = false;
  std::function<void()> work_;
};

TEST_F(DiscoveryThreadTest, WithoutASocketCyclesArePacedInsteadOfSpinning) {
  udp.Refuse(kDiscoveryLocalPort);
  lan->OpenDiscoverySocket();
  ASSERT_FALSE(lan->socketOpen());
  LeaveLanAfterTicks(20);
  ASSERT_TRUE(Start());
  RunHere();
  EXPECT_EQ(20, posts) << "one message per cycle";
  EXPECT_EQ(std::vector<uint32_t>(20, 500), clock.Sleeps()) << "500 ms before each next cycle";
  EXPECT_FALSE(running);
  EXPECT_NE(std::string::npos, process.debugOutput.find("error 10048"));
}

TEST_F(DiscoveryThreadTest, NobodyAnsweringOneProbePerTickAndOneMessagePerCycle) {
  lan->OpenDiscoverySocket();
  udp.idleWaitEndsAfterMs = 500;  // each wait ended by the dialog's tick
  LeaveLanAfterTicks(10);
  ASSERT_TRUE(Start());
  RunHere();
  EXPECT_EQ(10u, SentTo(kBroadcastAddress, 1460).size());
  EXPECT_EQ(10, posts);
  EXPECT_EQ(10, udp.IdleWaits()) << "no pacing sleep on top of the wait itself";
  EXPECT_TRUE(printers.Empty());
}

TEST_F(DiscoveryThreadTest, APrinterAnsweringEveryProbeGetsOneProbePerTick) {
  lan->OpenDiscoverySocket();
  icmp.Answer(Address("10.77.0.2"), true);
  udp.onSend = [this](const FakeUdpSockets::Sent& sent) {
    if (sent.bytes.size() == kProbeSize) Answer("10.77.0.2");
  };
  udp.idleWaitEndsAfterMs = 500;
  LeaveLanAfterTicks(10);
  ASSERT_TRUE(Start());
  RunHere();
  EXPECT_EQ(10u, SentTo(kBroadcastAddress, 1460).size()) << "ten ticks, ten probes";
  EXPECT_EQ(20, posts) << "a cycle for each answer and one for each tick";
  EXPECT_EQ(std::vector<WString>{u"10.77.0.2"}, printers.Snapshot());
}

TEST_F(DiscoveryThreadTest, AConfigurationPacketEndsTheThreadAfterItsMessage) {
  lan->OpenDiscoverySocket();
  lan->SetLocalSegments(Segments("192.168.1.100/24"));
  Answer("10.0.0.5");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(running) << "set when the thread is started";
  RunHere();
  EXPECT_EQ(1, posts);
  EXPECT_FALSE(running);
  const auto sent = SentTo(kBroadcastAddress, 1460);
  ASSERT_EQ(2u, sent.size());
  EXPECT_EQ(64u, sent[1].bytes.size());
}

TEST_F(DiscoveryThreadTest, AThreadStartedWhileAnotherInterfaceIsChosenRunsNoCycle) {
  lan->OpenDiscoverySocket();
  lan->SetInterfaceKind(1);
  ASSERT_TRUE(Start());
  RunHere();
  EXPECT_EQ(0, posts);
  EXPECT_FALSE(running);
  EXPECT_TRUE(udp.SentDatagrams().empty());
}

TEST_F(DiscoveryThreadTest, AThreadThatCannotStartLeavesTheFlagClear) {
  workerFails = true;
  EXPECT_FALSE(Start());
  EXPECT_FALSE(running) << "so the next tick tries again";
}

TEST_F(DiscoveryThreadTest, StoppingEndsAWaitingCycleAtOnce) {
  lan->OpenDiscoverySocket();
  ASSERT_TRUE(Start());
  auto thread = RunElsewhere();
  ASSERT_TRUE(udp.WaitUntilBlocked(10000)) << "the cycle waits for an answer";
  lan->StopDiscoveryThread();
  EXPECT_FALSE(running) << "the thread was done with the dialog when the stop returned";
  ASSERT_EQ(std::future_status::ready, thread.wait_for(10s));
  EXPECT_EQ(0, posts) << "nothing posted to a dialog that ends";
  EXPECT_FALSE(Start()) << "no thread after the end";
}

TEST_F(DiscoveryThreadTest, StoppingDuringAnEchoLeavesTheListAlone) {
  lan->OpenDiscoverySocket();
  printers.Append(u"10.77.0.2");  // does not answer the echo
  Answer("10.77.0.3");
  std::promise<void> echoStarted;
  icmp.onEcho = [&](uint32_t) {
    echoStarted.set_value();
    while (!lan->stopping()) std::this_thread::yield();
  };
  ASSERT_TRUE(Start());
  auto thread = RunElsewhere();
  ASSERT_EQ(std::future_status::ready, echoStarted.get_future().wait_for(10s));
  lan->StopDiscoveryThread();
  EXPECT_FALSE(running) << "the thread was done with the dialog when the stop returned";
  ASSERT_EQ(std::future_status::ready, thread.wait_for(10s));
  EXPECT_EQ(std::vector<WString>{u"10.77.0.2"}, printers.Snapshot());
  EXPECT_EQ(0, posts);
}

TEST_F(DiscoveryThreadTest, AThreadThatBeginsAfterTheStopTouchesNothing) {
  lan->OpenDiscoverySocket();
  Answer("10.77.0.3");
  ASSERT_TRUE(Start());
  lan->StopDiscoveryThread();  // the dialog ended before the thread got going
  RunHere();
  EXPECT_TRUE(running) << "the dialog's flag is not touched";
  EXPECT_EQ(0, posts);
  EXPECT_TRUE(udp.SentDatagrams().empty());
  EXPECT_TRUE(printers.Empty());
}

TEST_F(DiscoveryThreadTest, ClosingTheSocketEndsTheWaitAndFreesThePortForTheNextOpen) {
  lan->OpenDiscoverySocket();
  ASSERT_TRUE(Start());
  auto thread = RunElsewhere();
  ASSERT_TRUE(udp.WaitUntilBlocked(10000));
  lan->SetInterfaceKind(0);  // USB chosen
  lan->CloseDiscoverySocket();
  ASSERT_EQ(std::future_status::ready, thread.wait_for(10s));
  EXPECT_EQ(1, posts);
  EXPECT_FALSE(running);
  lan->OpenDiscoverySocket();
  EXPECT_TRUE(lan->socketOpen()) << "port 5001 is free again";
}

}  // namespace
}  // namespace kestrava
