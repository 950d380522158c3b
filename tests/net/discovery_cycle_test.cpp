#include <gtest/gtest.h>

#include "net/reachability.h"
#include "tests/net/discovery_fixture.h"

namespace kestrava {
namespace {

using Addresses = std::vector<WString>;

class DiscoveryCycleTest : public DiscoveryFixture {
 protected:
  void SetUp() override { lan->OpenDiscoverySocket(); }
};

TEST_F(DiscoveryCycleTest, EachCycleBroadcastsTheElevenByteProbeFromPort5001) {
  Answer("10.77.0.2");
  EXPECT_TRUE(lan->DiscoveryCycle(printers));
  const auto probes = SentTo(kBroadcastAddress, 1460);
  ASSERT_EQ(1u, probes.size()) << "the fake refuses a broadcast without SO_BROADCAST";
  EXPECT_EQ(std::string("QX0001FIND\0", 11), probes[0].bytes);
  EXPECT_EQ(5001, probes[0].fromPort);
}

struct SegmentCase {
  const char* what;
  const char* segments;
  const char* sender;
  uint16_t port;
  bool listed;
  bool configured;  // a configuration packet went out
  bool goOn;
};

TEST_F(DiscoveryCycleTest, TheLocalSegmentRule) {
  const SegmentCase cases[] = {
      {"no segment known: every printer is local", "", "10.0.0.5", 1460, true, false, true},
      {"same /24", "192.168.1.100/24", "192.168.1.37", 1460, true, false, true},
      {"in the second segment", "10.1.1.2/24 192.168.1.100/24", "192.168.1.9", 1460, true, false,
       true},
      {"on no segment: configured, thread ends", "192.168.1.100/24", "10.0.0.5", 1460, false, true,
       false},
      {"wrong source port on the segment", "192.168.1.100/24", "192.168.1.37", 1461, false, false,
       true},
      {"wrong source port elsewhere", "192.168.1.100/24", "10.0.0.5", 5001, false, false, true},
      {"wrong source port, no segment", "", "10.0.0.5", 1461, false, false, true},
      {"0.0.0.0", "192.168.1.100/24", "0.0.0.0", 1460, false, false, true},
      {"0.0.0.0, no segment", "", "0.0.0.0", 1460, false, false, true},
      {"255.255.255.255", "192.168.1.100/24", "255.255.255.255", 1460, false, false, true},
      {"255.255.255.255, no segment", "", "255.255.255.255", 1460, false, false, true},
  };
  for (const SegmentCase& c : cases) {
    SCOPED_TRACE(c.what);
    printers.Clear();
    udp.sent.clear();
    clock.Advance(500);  // the next tick: a probe is due
    lan->SetLocalSegments(Segments(c.segments));
    Answer(c.sender, "QX0001FIND-ANSWER", c.port);
    EXPECT_EQ(c.goOn, lan->DiscoveryCycle(printers));
    EXPECT_EQ(c.listed ? Addresses{WidenAscii(c.sender)} : Addresses{}, printers.Snapshot());
    EXPECT_EQ(c.configured ? 2u : 1u, SentTo(kBroadcastAddress, 1460).size());
  }
}

TEST_F(DiscoveryCycleTest, AnAnswerDoesNotBringTheNextProbeForward) {
  Answer("10.77.0.2");
  Answer("10.77.0.3");
  icmp.Answer(Address("10.77.0.2"), true);
  EXPECT_TRUE(lan->DiscoveryCycle(printers));
  EXPECT_TRUE(lan->DiscoveryCycle(printers)) << "the second answer to the same probe";
  EXPECT_EQ((Addresses{u"10.77.0.2", u"10.77.0.3"}), printers.Snapshot());
  EXPECT_EQ(1u, SentTo(kBroadcastAddress, 1460).size());
  clock.Advance(398);  // with the echo's millisecond, 399 ms after the probe
  udp.idleWaitEndsAfterMs = 1;
  lan->DiscoveryCycle(printers);
  EXPECT_EQ(1u, SentTo(kBroadcastAddress, 1460).size()) << "399 ms after the probe";
  lan->DiscoveryCycle(printers);
  EXPECT_EQ(2u, SentTo(kBroadcastAddress, 1460).size()) << "400 ms after it";
  lan->CloseDiscoverySocket();
  lan->OpenDiscoverySocket();
  lan->DiscoveryCycle(printers);
  EXPECT_EQ(3u, SentTo(kBroadcastAddress, 1460).size()) << "a new socket probes at once";
}

TEST_F(DiscoveryCycleTest, RepliesThatAreNotAnswersAddNothing) {
  struct Row {
    const char* what;
    std::string bytes;
    bool listed;
  };
  const Row rows[] = {
      {"first byte not Q", "XX0001FIND", false},
      {"lower-case q", "qX0001", false},
      {"empty datagram", "", false},
      {"a lone Q", "Q", true},
      {"255 bytes: the longest that fits with its terminator", "Q" + std::string(254, 'x'), true},
      {"256 bytes fill the buffer: refused", "Q" + std::string(255, 'x'), false},
      {"300 bytes do not fit: refused", "Q" + std::string(299, 'x'), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    printers.Clear();
    Answer("10.77.0.2", row.bytes);
    EXPECT_TRUE(lan->DiscoveryCycle(printers));
    EXPECT_EQ(row.listed ? Addresses{u"10.77.0.2"} : Addresses{}, printers.Snapshot());
  }
}

TEST_F(DiscoveryCycleTest, TwoAnswersFromOnePrinterGiveOneEntry) {
  Answer("10.77.0.2");
  Answer("10.77.0.2");
  icmp.Answer(Address("10.77.0.2"), true);
  EXPECT_TRUE(lan->DiscoveryCycle(printers));
  EXPECT_TRUE(lan->DiscoveryCycle(printers));
  EXPECT_EQ(Addresses{u"10.77.0.2"}, printers.Snapshot());
  ASSERT_EQ(1u, icmp.Echoes().size()) << "the listed printer is checked on the second answer";
}

TEST_F(DiscoveryCycleTest, AnUnreachablePrinterGoesOnTheNextAnswerWhichIsNotListedThen) {
  printers.Append(u"10.77.0.2");
  printers.Append(u"10.77.0.3");
  printers.Append(u"10.77.0.4");
  icmp.Answer(Address("10.77.0.2"), true);
  icmp.Answer(Address("10.77.0.4"), true);
  const uint64_t before = clock.MonotonicMs();
  Answer("10.77.0.9");
  EXPECT_FALSE(lan->DiscoveryCycle(printers)) << "the thread ends";
  EXPECT_EQ((Addresses{u"10.77.0.2", u"10.77.0.4"}), printers.Snapshot());
  const auto echoes = icmp.Echoes();
  ASSERT_EQ(2u, echoes.size()) << "the walk stops at the first failure";
  EXPECT_EQ(Address("10.77.0.2"), echoes[0].address);
  EXPECT_EQ(Address("10.77.0.3"), echoes[1].address);
  EXPECT_GE(clock.MonotonicMs() - before, 1000u) << "the unanswered echo waited its second";

  Answer("10.77.0.9");
  EXPECT_TRUE(lan->DiscoveryCycle(printers));
  EXPECT_EQ((Addresses{u"10.77.0.2", u"10.77.0.4", u"10.77.0.9"}), printers.Snapshot());
}

TEST_F(DiscoveryCycleTest, TheEchoCarriesTheThirtyTwoDataBytesAndWaitsOneSecond) {
  printers.Append(u"192.168.1.37");
  Answer("192.168.1.37");
  lan->DiscoveryCycle(printers);
  ASSERT_EQ(1u, icmp.Echoes().size());
  const FakeIcmp::Echo echo = icmp.Echoes()[0];
  EXPECT_EQ(std::string("Fill for test ICMP data\0\0\0\0\0\0\0\0\0", 32), echo.data);
  EXPECT_EQ(256u, echo.replyCapacity);
  EXPECT_EQ(1000u, echo.timeoutMs);
}

TEST_F(DiscoveryCycleTest, AnswerFromAnotherSegmentGetsTheConfigurationPacketByteForByte) {
  lan->SetLocalSegments(Segments("192.168.1.100/24"));
  // A reply of 70 bytes: "Q", then bytes counting up from 1.
  std::string reply = "Q";
  for (int i = 1; i < 70; ++i) reply.push_back(static_cast<char>(i));
  Answer("10.0.0.5", reply);
  EXPECT_FALSE(lan->DiscoveryCycle(printers));
  EXPECT_TRUE(printers.Empty());
  const auto sent = SentTo(kBroadcastAddress, 1460);
  ASSERT_EQ(2u, sent.size());
  const std::string expected(
      "QX0001SAVE"
      "\x0B\x0C\x0D\x0E\x0F\x10\x10\x00\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x8C\x23"
      "\x01\x22\x23\x24\x25\x26\x27\x28\x29\x2A\x2B\x2C\x2D\x2E\x2F\x30\x31\x32\x33\x34\x35\x36"
      "\x37\x38\x39\x3A\x3B\x3C\x3D\x3E\x3F\x00",
      64);
  EXPECT_EQ(expected, sent[1].bytes);
}

TEST_F(DiscoveryCycleTest, AShortReplyLeavesZerosInTheConfigurationPacket) {
  lan->SetLocalSegments(Segments("192.168.1.100/24"));
  Answer("10.0.0.5", "QX0001FIND");  // 10 bytes: nothing from byte 11 on
  lan->DiscoveryCycle(printers);
  const auto sent = SentTo(kBroadcastAddress, 1460);
  ASSERT_EQ(2u, sent.size());
  std::string expected("QX0001SAVE", 10);
  expected.resize(64, '\0');
  expected[16] = 16;
  expected[30] = '\x8C';
  expected[31] = '\x23';
  expected[32] = 1;
  EXPECT_EQ(expected, sent[1].bytes);
}

TEST_F(DiscoveryCycleTest, WithoutASocketACycleReturnsAtOnceAndSendsNothing) {
  lan->CloseDiscoverySocket();
  EXPECT_FALSE(lan->socketOpen());
  EXPECT_TRUE(lan->DiscoveryCycle(printers));
  EXPECT_FALSE(lan->lastCycleWaited());
  EXPECT_TRUE(udp.SentDatagrams().empty());
  EXPECT_EQ(0, udp.Receives());
}

TEST_F(DiscoveryCycleTest, ACancelledWaitEndsTheCycleAndTheNextCycleWaitsAgain) {
  lan->CancelPendingReceive();  // a tick before the cycle reached its receive
  Answer("10.77.0.2");
  EXPECT_TRUE(lan->DiscoveryCycle(printers)) << "re-armed at the start: the answer is read";
  EXPECT_EQ(Addresses{u"10.77.0.2"}, printers.Snapshot());
  udp.idleWaitEndsAfterMs = 500;
  EXPECT_TRUE(lan->DiscoveryCycle(printers));
  EXPECT_TRUE(lan->lastCycleWaited());
  EXPECT_EQ(1, udp.IdleWaits());
}

TEST_F(DiscoveryCycleTest, WithoutAnEchoFacilityListedPrintersAreKept) {
  LanDiscovery noEcho(udp, icmp, adapters, clock, process);
  icmp.openFails = true;
  lan->CloseDiscoverySocket();
  noEcho.OpenDiscoverySocket();
  printers.Append(u"10.77.0.2");
  Answer("10.77.0.3");
  EXPECT_TRUE(noEcho.DiscoveryCycle(printers));
  EXPECT_EQ((Addresses{u"10.77.0.2", u"10.77.0.3"}), printers.Snapshot());
  EXPECT_TRUE(icmp.Echoes().empty());
}

TEST(Reachability, AddressTextThatIsNoIpv4AddressIsNeverReachable) {
  FakeIcmp icmp;
  auto facility = icmp.Open();
  for (const char16_t* text : {u"", u"Searching IP", u"10.77.0", u"10.77.0.256", u"10.77.0.2 ",
                               u"1.2.3.4.5", u"１.2.3.4"}) {
    EXPECT_FALSE(IsHostReachable(facility.get(), text)) << Utf16ToUtf8(text);
  }
  EXPECT_TRUE(icmp.Echoes().empty());
  EXPECT_TRUE(IsHostReachable(facility.get(), u"127.0.0.1"));
}

}  // namespace
}  // namespace kestrava
