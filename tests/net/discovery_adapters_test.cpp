// The search on a computer with several adapters, each with its own mask: a probe on every
// adapter, the answers from all of them in the one list, and the sockets following adapters that
// come and go.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/net/discovery_fixture.h"

namespace kestrava {
namespace {

using Addresses = std::vector<WString>;
using Bytes = std::vector<uint8_t>;

const std::string kProbe(kDiscoveryProbe, kProbeSize);

// A printer on one of the links: it hears its subnet's broadcast, and the limited broadcast when
// its link holds the computer's default route (the only one that limited broadcast leaves by).
struct LinkPrinter {
  const char* address;
  const char* subnetBroadcast;
  bool onDefaultRoute;
};

class DiscoveryAdaptersTest : public DiscoveryFixture {
 protected:
  void SetUp() override {
    udp.idleWaitEndsAfterMs = 500;  // each wait nobody answers ends with the dialog's tick
    lan->OpenDiscoverySocket();
  }

  void Adapters(const std::vector<std::string>& addresses) {
    adapters.adapters.clear();
    uint8_t last = 1;
    for (const std::string& address : addresses) {
      adapters.adapters.push_back(
          MakeAdapter("Ethernet", Bytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, last++}, {address}));
    }
  }

  // Printers answer every probe that reaches them, to the socket it came from.
  void Printers(const std::vector<LinkPrinter>& onTheLinks) {
    udp.onSend = [this, onTheLinks](const FakeUdpSockets::Sent& sent) {
      if (sent.bytes != kProbe || sent.toPort != kPrinterDiscoveryPort) return;
      for (const LinkPrinter& printer : onTheLinks) {
        const bool reached = sent.toAddress == Address(printer.subnetBroadcast) ||
                             (sent.toAddress == kBroadcastAddress && printer.onDefaultRoute);
        if (!reached) continue;
        ++answers;
        udp.Deliver(sent.fromPort, Address(printer.address), kPrinterDiscoveryPort,
                    "QX0001FIND-ANSWER");
      }
    };
  }

  // One tick of the dialog's timer: the probes, then a cycle for each answer until a wait goes
  // unanswered.
  void Tick() {
    clock.Advance(500);
    const int before = udp.IdleWaits();
    for (int cycle = 0; cycle < 20 && udp.IdleWaits() == before; ++cycle) {
      ASSERT_TRUE(lan->DiscoveryCycle(printers)) << "no configuration packet";
    }
    ASSERT_GT(udp.IdleWaits(), before) << "every answer was read";
  }

  std::vector<FakeUdpSockets::Sent> Probes() const {
    std::vector<FakeUdpSockets::Sent> probes;
    for (const auto& sent : udp.SentDatagrams()) {
      if (sent.bytes == kProbe) probes.push_back(sent);
    }
    return probes;
  }

  static Addresses Sorted(Addresses addresses) {
    std::sort(addresses.begin(), addresses.end());
    return addresses;
  }

  int answers = 0;
};

TEST_F(DiscoveryAdaptersTest, EveryAdapterIsProbedOnItsSubnetsBroadcastFromItsOwnAddress) {
  Adapters({"10.50.3.7/16", "192.168.77.9/24", "10.8.0.6/30", "10.9.9.9/32"});
  EXPECT_TRUE(lan->DiscoveryCycle(printers));
  struct Expected {
    const char* from;  // nullptr: the socket on every interface, on port 5001
    uint32_t to;
  };
  const Expected expected[] = {
      {nullptr, kBroadcastAddress},
      {"10.50.3.7", Address("10.50.255.255")},
      {"192.168.77.9", Address("192.168.77.255")},
      {"10.8.0.6", Address("10.8.0.7")},
  };
  const auto probes = Probes();
  ASSERT_EQ(std::size(expected), probes.size()) << "a /32 has no subnet broadcast to probe";
  std::vector<uint16_t> ports;
  for (size_t i = 0; i < probes.size(); ++i) {
    SCOPED_TRACE(DottedAddress(expected[i].to));
    EXPECT_EQ(expected[i].to, probes[i].toAddress);
    EXPECT_EQ(kPrinterDiscoveryPort, probes[i].toPort);
    EXPECT_EQ(expected[i].from ? Address(expected[i].from) : 0u, probes[i].fromAddress);
    if (!expected[i].from) {
      EXPECT_EQ(kDiscoveryLocalPort, probes[i].fromPort);
    }
    ports.push_back(probes[i].fromPort);
  }
  std::sort(ports.begin(), ports.end());
  EXPECT_EQ(ports.end(), std::unique(ports.begin(), ports.end())) << "a socket for each";
  EXPECT_EQ(4, udp.OpenNow()) << "the socket on every interface and one for each adapter";
}

TEST_F(DiscoveryAdaptersTest, TheWiredPrinterBesideTheDefaultRoutesAdapterIsFoundToo) {
  // The wired adapter the printers hang on, and Wi-Fi holding the default route.
  Adapters({"10.50.3.7/16", "192.168.77.9/24"});
  lan->RefreshLocalAddresses();
  Printers({{"10.50.5.20", "10.50.255.255", false}, {"192.168.77.30", "192.168.77.255", true}});
  icmp.Answer(Address("10.50.5.20"), true);
  icmp.Answer(Address("192.168.77.30"), true);
  Tick();
  Tick();
  EXPECT_EQ(Sorted({u"10.50.5.20", u"192.168.77.30"}), Sorted(printers.Snapshot()));
  EXPECT_EQ(6, answers) << "each tick: the Wi-Fi printer answered both its probes";
  for (const auto& sent : udp.SentDatagrams()) {
    EXPECT_EQ(kProbe, sent.bytes) << "nothing but probes: no configuration packet";
  }
}

TEST_F(DiscoveryAdaptersTest, APrinterThatAnswersOnTwoAdaptersIsListedOnce) {
  // Two network cards on the same /16, and the printer on it.
  Adapters({"10.50.3.7/16", "10.50.9.1/16"});
  Printers({{"10.50.5.20", "10.50.255.255", true}});
  icmp.Answer(Address("10.50.5.20"), true);
  Tick();
  Tick();
  EXPECT_EQ(6, answers) << "one answer to each of the three probes of a tick";
  EXPECT_EQ(Addresses{u"10.50.5.20"}, printers.Snapshot());
}

TEST_F(DiscoveryAdaptersTest, TheSocketsFollowTheAdaptersFromOneCycleToTheNext) {
  Adapters({"10.50.3.7/16", "192.168.77.9/24", "10.8.0.6/30"});
  Printers({{"10.50.5.20", "10.50.255.255", false}, {"10.8.0.5", "10.8.0.7", false}});
  icmp.Answer(Address("10.50.5.20"), true);
  lan->DiscoveryCycle(printers);  // the probes; the first answer
  EXPECT_EQ(4, udp.OpenNow());

  // The VPN goes away in the middle of the search: its answer was in, its socket goes at the
  // next probe, and no probe goes to its subnet any more.
  adapters.adapters.pop_back();
  lan->DiscoveryCycle(printers);
  EXPECT_EQ(Sorted({u"10.50.5.20", u"10.8.0.5"}), Sorted(printers.Snapshot()));
  udp.sent.clear();
  clock.Advance(500);
  lan->DiscoveryCycle(printers);
  EXPECT_EQ(3, udp.OpenNow());
  for (const auto& probe : Probes()) {
    EXPECT_NE(Address("10.8.0.7"), probe.toAddress);
    EXPECT_NE(Address("10.8.0.6"), probe.fromAddress);
  }
  EXPECT_EQ(3u, Probes().size());

  // It connects again with another address: that one is probed from the next tick on.
  adapters.adapters.push_back(MakeAdapter("VPN", Bytes{0x02, 0, 0, 0, 0, 9}, {"10.8.0.10/30"}));
  udp.sent.clear();
  clock.Advance(500);
  lan->DiscoveryCycle(printers);
  const auto probes = Probes();
  EXPECT_EQ(4u, probes.size());
  EXPECT_TRUE(std::any_of(probes.begin(), probes.end(), [this](const auto& probe) {
    return probe.fromAddress == Address("10.8.0.10") && probe.toAddress == Address("10.8.0.11");
  }));
  EXPECT_EQ(4, udp.OpenNow());
}

}  // namespace
}  // namespace kestrava
