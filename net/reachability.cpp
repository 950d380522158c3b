#include "net/reachability.h"

#include "net/ipv4_text.h"

namespace kestrava {

const char kEchoData[kEchoDataSize] = "Fill for test ICMP data";

bool IsHostReachable(IcmpFacility* facility, WStringView address) {
  uint32_t target = 0;
  if (!ParseDottedAddress(address, target)) return false;
  if (!facility) return true;
  return facility->SendEcho(target, kEchoData, kEchoDataSize, kEchoReplyBufferSize,
                            kEchoTimeoutMs) > 0;
}

}  // namespace kestrava
