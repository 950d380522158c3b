// The link to a network printer: the three connect attempts with their waits, pauses and
// resolution-table flushes on the virtual clock, the pending error after a ready wait, and the
// sends with their pauses.
#include <gtest/gtest.h>

#include "comm/command_blocks.h"
#include "tests/comm/comm_fixture.h"

namespace kestrava {
namespace {

constexpr uint32_t kPrinter = 0xC0A80157;  // 192.168.1.87 (never reached: the sockets are fakes)
using Peer = FakeTcpSockets::Peer;

struct ConnectRow {
  const char* what;
  std::vector<Peer> attempts;
  int status;
  size_t socketsMade;
  std::vector<uint32_t> sleeps;
  uint64_t elapsedMs;
};

TEST_F(CommFixture, ConnectAttemptsTable) {
  const ConnectRow rows[] = {
      {"reachable: the first attempt", {Peer::kAccepts}, kLanConnected, 1, {}, 0},
      {"completes at once", {Peer::kAcceptsAtOnce}, kLanConnected, 1, {}, 0},
      {"switched off: three waits of 1 s and two pauses",
       {Peer::kSilent, Peer::kSilent, Peer::kSilent},
       kLanTimedOut,
       3,
       {500, 500},
       4000},
      {"answers at the third attempt",
       {Peer::kSilent, Peer::kSilent, Peer::kAccepts},
       kLanConnected,
       3,
       {500, 500},
       3000},
      {"refused, and the wait says ready: not connected",
       {Peer::kRefusesWhenReady, Peer::kRefusesWhenReady, Peer::kRefusesWhenReady},
       kLanTimedOut,
       3,
       {500, 500},
       1000},
      {"refused after the wait",
       {Peer::kRefusesAfterWait, Peer::kRefusesAfterWait, Peer::kRefusesAfterWait},
       kLanTimedOut,
       3,
       {500, 500},
       4000},
      {"refused at once",
       {Peer::kRefusesAtOnce, Peer::kRefusesAtOnce, Peer::kRefusesAtOnce},
       kLanTimedOut,
       3,
       {500, 500},
       1000},
      {"the last wait fails",
       {Peer::kSilent, Peer::kSilent, Peer::kWaitFails},
       kLanWaitFailed,
       3,
       {500, 500},
       3000},
      {"a failed wait before a timed-out one",
       {Peer::kWaitFails, Peer::kSilent, Peer::kSilent},
       kLanTimedOut,
       3,
       {500, 500},
       3000},
  };
  for (const ConnectRow& row : rows) {
    FakeTcpSockets fresh(&clock);
    PortLink subject(CommWith(fresh, clock));
    fresh.nextConnects.assign(row.attempts.begin(), row.attempts.end());
    const size_t sleepsBefore = clock.Sleeps().size();
    const uint64_t before = clock.MonotonicMs();
    EXPECT_EQ(row.status, subject.ConnectLan({kPrinter, kPrinterTcpPort})) << row.what;
    const std::vector<uint32_t> all = clock.Sleeps();
    EXPECT_EQ(row.sleeps,
              std::vector<uint32_t>(all.begin() + static_cast<long>(sleepsBefore), all.end()))
        << row.what;
    EXPECT_EQ(row.elapsedMs, clock.MonotonicMs() - before) << row.what;
    EXPECT_EQ(row.socketsMade, fresh.connections.size()) << row.what;
    EXPECT_EQ(row.status == kLanConnected, subject.lanSocket != nullptr) << row.what;
    EXPECT_EQ(row.status == kLanConnected ? 1 : 0, fresh.openSockets()) << row.what;
    for (const FakeTcpSockets::Connection& c : fresh.connections) {
      EXPECT_TRUE(c.nonBlocking) << row.what;
      EXPECT_EQ(kPrinter, c.address) << row.what;
      EXPECT_EQ(9100, c.port) << row.what;
    }
  }
}

TEST_F(CommFixture, FromTheSecondAttemptTheAddressIsFlushedFromTheInterfacesThatKnowIt) {
  arpTable.rows = {{kPrinter, 7}, {0xC0A80101, 7}, {kPrinter, 12}, {0x0A000001, 3}};
  sockets.nextConnects = {Peer::kSilent, Peer::kSilent, Peer::kAccepts};
  EXPECT_EQ(kLanConnected, link.ConnectLan({kPrinter, kPrinterTcpPort}));
  // Two reads: one before the second and one before the third attempt, none before the first.
  EXPECT_EQ(2, arpTable.reads);
  EXPECT_EQ((std::vector<uint32_t>{7, 12}), arpTable.flushes)
      << "the second attempt flushes both interfaces; the third finds the rows gone";
}

TEST_F(CommFixture, SocketsThatCannotBeMadeOrSwitchedEndTheConnectAtOnce) {
  sockets.createFails = true;
  EXPECT_EQ(kLanNoSocket, link.ConnectLan({kPrinter, kPrinterTcpPort}));
  sockets.createFails = false;
  sockets.nonBlockingFails = true;
  EXPECT_EQ(kLanBlockingRefused, link.ConnectLan({kPrinter, kPrinterTcpPort}));
  EXPECT_EQ(0, sockets.openSockets()) << "the refused socket is closed";
  EXPECT_TRUE(clock.Sleeps().empty());
}

TEST_F(CommFixture, SelectingTheLanConnectsToPort9100AndAnUnparsableAddressKeepsTheLink) {
  sockets.SetPeer(kPrinter, kPrinterTcpPort, Peer::kAccepts);
  link.SelectPort(u"LAN", u"192.168.1.87");
  ASSERT_TRUE(link.lanSocket);
  ASSERT_TRUE(link.lanEndpoint);
  EXPECT_EQ(kPrinter, link.lanEndpoint->address);
  for (const char16_t* bad : {u"", u"192.168.1", u"192.168.1.256", u"printer.local"}) {
    link.SelectPort(u"LAN", bad);
  }
  EXPECT_EQ(1u, sockets.connections.size()) << "no new connect";
  EXPECT_TRUE(link.WriteBytes(kSelfTestRequest, sizeof kSelfTestRequest))
      << "writes still go to the printer connected before";
  EXPECT_EQ(Hex(std::string(std::begin(kSelfTestRequest), std::end(kSelfTestRequest))),
            Hex(sockets.connections[0].sent));
}

TEST_F(CommFixture, WithoutAConnectionLanWritesFailAfterTheirPauses) {
  link.SelectPort(u"LAN", u"not an address");
  EXPECT_FALSE(link.WriteBytes(kReset, sizeof kReset));
  EXPECT_EQ((std::vector<uint32_t>{50, 25}), clock.Sleeps());
}

TEST_F(CommFixture, LanSendsTable) {
  using Step = FakeTcpSockets::SendStep;
  struct Row {
    const char* what;
    Step step;
    bool delivered;
    bool socketKept;
    std::vector<uint32_t> sleeps;
  };
  const Row rows[] = {
      {"all sent", {Step::kAll, 0, 0}, true, true, {25}},
      {"part sent", {Step::kPart, 3, 0}, false, true, {25}},
      {"socket error", {Step::kFail, 0, kSocketConnectionReset}, false, false, {50, 25}},
  };
  for (const Row& row : rows) {
    FakeClock stepClock;
    FakeTcpSockets fresh(&stepClock);
    PortLink subject(CommWith(fresh, stepClock));
    fresh.SetPeer(kPrinter, kPrinterTcpPort, Peer::kAccepts);
    subject.SelectPort(u"LAN", u"192.168.1.87");
    fresh.sends = {row.step};
    EXPECT_EQ(row.delivered, subject.WriteBytes(kFeedAndCut, sizeof kFeedAndCut)) << row.what;
    EXPECT_EQ(row.socketKept, subject.lanSocket != nullptr) << row.what;
    EXPECT_EQ(row.sleeps, stepClock.Sleeps()) << row.what;
  }
}

TEST_F(CommFixture, ClosePortOfTheLanClosesTheSocket) {
  sockets.SetPeer(kPrinter, kPrinterTcpPort, Peer::kAccepts);
  link.SelectPort(u"LAN", u"192.168.1.87");
  link.currentKind = TransportKind::kCom;
  link.ClosePort(u"lan");
  EXPECT_EQ(TransportKind::kLan, link.currentKind);
  EXPECT_FALSE(link.lanSocket);
  EXPECT_EQ(0, sockets.openSockets());
}

}  // namespace
}  // namespace kestrava
