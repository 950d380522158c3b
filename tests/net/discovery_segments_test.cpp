// Which answering printers are on one of the computer's segments, read from adapters that each
// have their own mask, and which get the configuration packet.
#include <gtest/gtest.h>

#include "tests/net/discovery_fixture.h"

namespace kestrava {
namespace {

using Addresses = std::vector<WString>;
using Bytes = std::vector<uint8_t>;

class DiscoverySegmentsTest : public DiscoveryFixture {
 protected:
  void SetUp() override { lan->OpenDiscoverySocket(); }

  // One adapter for each "address/bits", read as the dialog reads them when LAN is chosen.
  void Adapters(const std::vector<std::string>& addresses) {
    adapters.adapters.clear();
    uint8_t last = 1;
    for (const std::string& address : addresses) {
      adapters.adapters.push_back(
          MakeAdapter("Ethernet", Bytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, last++}, {address}));
    }
    lan->RefreshLocalAddresses();
  }
};

TEST_F(DiscoverySegmentsTest, APrinterIsLocalWhenAnAdapterWithItsOwnMaskHoldsIt) {
  struct Row {
    const char* what;
    std::vector<std::string> adapters;
    const char* printer;
    bool local;
  };
  const Row rows[] = {
      {"/16 printer on a /16 adapter", {"10.50.3.7/16"}, "10.50.5.20", true},
      {"/16: the other end of the segment", {"10.50.3.7/16"}, "10.50.255.254", true},
      {"/16: the next /16 is foreign", {"10.50.3.7/16"}, "10.51.3.20", false},
      {"/23 across its third number", {"192.168.4.10/23"}, "192.168.5.77", true},
      {"/23 ends where it ends", {"192.168.4.10/23"}, "192.168.6.77", false},
      {"the same text after a digit is no segment", {"192.168.1.5/24"}, "2.168.1.9", false},
      {"/24 Wi-Fi", {"192.168.77.9/24"}, "192.168.77.30", true},
      {"/24 Wi-Fi: another third number", {"192.168.77.9/24"}, "192.168.78.30", false},
      {"/30 VPN holds its neighbour", {"10.8.0.6/30"}, "10.8.0.5", true},
      {"/30 VPN: the next /30 is foreign", {"10.8.0.6/30"}, "10.8.0.9", false},
      {"wired /16 beside Wi-Fi /24: the wired printer",
       {"10.50.3.7/16", "192.168.77.9/24"},
       "10.50.5.20",
       true},
      {"wired /16 beside Wi-Fi /24: the Wi-Fi printer",
       {"10.50.3.7/16", "192.168.77.9/24"},
       "192.168.77.30",
       true},
      {"wired, Wi-Fi and VPN: a truly foreign printer",
       {"10.50.3.7/16", "192.168.77.9/24", "10.8.0.6/30"},
       "192.168.0.99",
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    printers.Clear();
    udp.sent.clear();
    clock.Advance(500);  // the next tick: a probe is due
    Adapters(row.adapters);
    Answer(row.printer);
    EXPECT_EQ(row.local, lan->DiscoveryCycle(printers)) << "a configuration packet ends the thread";
    EXPECT_EQ(row.local ? Addresses{WidenAscii(row.printer)} : Addresses{}, printers.Snapshot());
    const auto packets = SentTo(kBroadcastAddress, kPrinterDiscoveryPort);
    ASSERT_FALSE(packets.empty());
    EXPECT_EQ(row.local ? 1u : 2u, packets.size()) << "the probe, then the configuration packet";
  }
}

TEST_F(DiscoverySegmentsTest, ATrulyForeignPrinterStillGetsTheSameConfigurationPacket) {
  Adapters({"10.50.3.7/16", "192.168.77.9/24"});
  std::string reply = "Q";
  for (int i = 1; i < 70; ++i) reply.push_back(static_cast<char>(i));
  Answer("192.168.0.99", reply);
  EXPECT_FALSE(lan->DiscoveryCycle(printers));
  uint8_t buffer[kReplyBufferSize] = {};
  std::copy(reply.begin(), reply.end(), buffer);
  const ConfigurationPacket packet = BuildConfigurationPacket(buffer);
  const auto sent = SentTo(kBroadcastAddress, kPrinterDiscoveryPort);
  ASSERT_EQ(2u, sent.size());
  EXPECT_EQ(std::string(packet.begin(), packet.end()), sent[1].bytes);
  EXPECT_EQ(kDiscoveryLocalPort, sent[1].fromPort) << "from the socket on every interface";
}

}  // namespace
}  // namespace kestrava
