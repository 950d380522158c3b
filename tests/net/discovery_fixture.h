// LAN discovery on the fake services: the process's discovery state, the dialog's list and
// flag, and helpers that script printers' answers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>

#include "net/discovery_packets.h"
#include "net/lan_discovery.h"
#include "platform/ipv4_text.h"
#include "tests/fakes/fake_services.h"

namespace kestrava {

class DiscoveryFixture : public ::testing::Test, protected FakeServices {
 protected:
  DiscoveryFixture() { lan->SetInterfaceKind(kLanInterfaceKind); }

  static uint32_t Address(const char* dotted) {
    const std::optional<uint32_t> address = ParseDottedIpv4(std::string_view(dotted));
    EXPECT_TRUE(address) << dotted;
    return address.value_or(0);
  }

  // Segments from "192.168.1.100/24 10.1.1.2/16": addresses with the length of their masks.
  static LocalSegments Segments(const std::string& text) {
    LocalSegments segments;
    size_t at = 0;
    while (at < text.size()) {
      const size_t end = std::min(text.find(' ', at), text.size());
      const std::string one = text.substr(at, end - at);
      const size_t slash = one.find('/');
      const int bits = std::stoi(one.substr(slash + 1));
      segments.push_back(
          {Address(one.substr(0, slash).c_str()), bits == 0 ? 0 : ~uint32_t{0} << (32 - bits)});
      at = end + 1;
    }
    return segments;
  }

  // A printer's answer to the probe, waiting for the discovery socket.
  void Answer(const char* from, const std::string& bytes = "QX0001FIND-ANSWER",
              uint16_t fromPort = kPrinterDiscoveryPort) {
    udp.Deliver(kDiscoveryLocalPort, Address(from), fromPort, bytes);
  }

  std::vector<FakeUdpSockets::Sent> SentTo(uint32_t address, uint16_t port) const {
    std::vector<FakeUdpSockets::Sent> matching;
    for (const auto& sent : udp.SentDatagrams()) {
      if (sent.toAddress == address && sent.toPort == port) matching.push_back(sent);
    }
    return matching;
  }

  DiscoveryDialog Dialog() {
    // A thread that spins would never end: past a thousand cycles it is made to.
    return {printers, running, [this] {
              if (++posts > 1000) lan->SetInterfaceKind(0);
            }};
  }

  std::shared_ptr<LanDiscovery> lan =
      std::make_shared<LanDiscovery>(udp, icmp, adapters, clock, process);
  DiscoveredPrinters printers;
  std::atomic<bool> running{false};
  std::atomic<int> posts{0};
};

}  // namespace kestrava
