#include "net/reachability.h"

#include "platform/ipv4_text.h"

namespace kestrava {

const char kEchoData[kEchoDataSize] = "Fill for test ICMP data";

bool IsHostReachable(IcmpFacility* facility, WStringView address) {
  const std::optional<uint32_t> target = ParseDottedIpv4(address);
  if (!target) return false;
  if (!facility) return true;
  return facility->SendEcho(*target, kEchoData, kEchoDataSize, kEchoReplyBufferSize,
                            kEchoTimeoutMs) > 0;
}

}  // namespace kestrava
