// The computer's own segments: each IPv4 address of its adapters with that address's subnet
// mask. They tell discovery whether an answering printer is on a network the computer is on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrava {

struct LocalSegment {
  uint32_t address = 0;
  uint32_t mask = 0;

  // The subnet's own broadcast address (address | ~mask). A /31 or /32 (a point-to-point link)
  // has none.
  bool HasBroadcast() const { return ~mask >= 3; }
  uint32_t Broadcast() const { return address | ~mask; }
  bool Holds(uint32_t other) const { return (other & mask) == (address & mask); }
  bool operator==(const LocalSegment& other) const {
    return address == other.address && mask == other.mask;
  }
};

using LocalSegments = std::vector<LocalSegment>;

// The sender is on one of the computer's segments when `(sender & mask) == (address & mask)`
// for one of them, each with its own mask, or when none is known; and it answered from the
// printers' port.
bool IsOnLocalSegment(const LocalSegments& segments, uint32_t sender, uint16_t senderPort);

// "10.50.3.7/255.255.0.0_192.168.77.9/255.255.255.0_": each segment followed by "_".
std::string SegmentsText(const LocalSegments& segments);

}  // namespace kestrava
