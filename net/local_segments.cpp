#include "net/local_segments.h"

#include "net/discovery_packets.h"
#include "platform/ipv4_text.h"

namespace kestrava {

bool IsOnLocalSegment(const LocalSegments& segments, uint32_t sender, uint16_t senderPort) {
  if (senderPort != kPrinterDiscoveryPort) return false;
  if (segments.empty()) return true;
  for (const LocalSegment& segment : segments) {
    if (segment.Holds(sender)) return true;
  }
  return false;
}

std::string SegmentsText(const LocalSegments& segments) {
  std::string text;
  for (const LocalSegment& segment : segments) {
    text += DottedAddress(segment.address) + "/" + DottedAddress(segment.mask) + "_";
  }
  return text;
}

}  // namespace kestrava
