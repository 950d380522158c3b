// Arbitrary datagrams at the discovery socket, from an arbitrary sender and port, with an
// arbitrary list of the computer's own segments: one discovery cycle over the fake sockets
// must never crash or read out of bounds, list only a dotted address that is no broadcast, and
// send nothing but the probe and the configuration packet to the printers' port.
//
// The input: 4 bytes of the sender's address, 2 of its port, 1 with the number of segments, 8
// bytes for each (its address, then its mask), then the datagram.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/discovery_packets.h"
#include "net/lan_discovery.h"
#include "platform/ipv4_text.h"
#include "tests/fakes/fake_adapters.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_icmp.h"
#include "tests/fakes/fake_process.h"
#include "tests/fakes/fake_udp_socket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrava;
  if (size < 7) return 0;
  const auto word = [data](size_t at) {
    return uint32_t{data[at]} << 24 | uint32_t{data[at + 1]} << 16 | uint32_t{data[at + 2]} << 8 |
           uint32_t{data[at + 3]};
  };
  const uint32_t sender = word(0);
  const uint16_t port = static_cast<uint16_t>(data[4] << 8 | data[5]);
  const size_t listSize = std::min<size_t>(size_t{data[6]} * 8, (size - 7) / 8 * 8);
  LocalSegments segments;
  for (size_t at = 7; at < 7 + listSize; at += 8) segments.push_back({word(at), word(at + 4)});
  const std::string datagram(reinterpret_cast<const char*>(data) + 7 + listSize,
                             size - 7 - listSize);

  FakeClock clock;
  FakeUdpSockets udp(&clock);
  udp.idleWaitEndsAfterMs = 500;
  FakeIcmp icmp(&clock);
  FakeAdapterTable adapters;
  FakeProcess process;
  auto discovery = std::make_shared<LanDiscovery>(udp, icmp, adapters, clock, process);
  discovery->SetInterfaceKind(kLanInterfaceKind);
  discovery->OpenDiscoverySocket();
  discovery->SetLocalSegments(segments);
  udp.Deliver(kDiscoveryLocalPort, sender, port, datagram);
  DiscoveredPrinters printers;
  discovery->DiscoveryCycle(printers);
  discovery->DiscoveryCycle(printers);  // a listed printer is checked again

  for (const WString& address : printers.Snapshot()) {
    const std::optional<uint32_t> parsed = ParseDottedIpv4(address);
    if (!parsed || *parsed == 0 || *parsed == 0xFFFFFFFF) std::abort();
  }
  for (const FakeUdpSockets::Sent& sent : udp.SentDatagrams()) {
    if (sent.toPort != kPrinterDiscoveryPort) std::abort();
    const bool probe = sent.bytes == std::string(kDiscoveryProbe, kProbeSize);
    if (!probe && sent.bytes.size() != kConfigurationPacketSize) std::abort();
  }
  discovery->StopDiscoveryThread();
  return 0;
}
