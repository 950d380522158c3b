// The reachability check that keeps the list of discovered printers clean: one ICMP echo.
#pragma once

#include <cstdint>

#include "platform/icmp.h"
#include "platform/text.h"

namespace kestrava {

inline constexpr uint32_t kEchoTimeoutMs = 1000;
inline constexpr uint32_t kEchoReplyBufferSize = 256;
inline constexpr uint16_t kEchoDataSize = 32;
// "Fill for test ICMP data" and nine zero bytes.
extern const char kEchoData[kEchoDataSize];

// Whether the printer at `address` (dotted text) answers one echo request within 1000 ms.
// Blocks the calling thread for up to that second. Text that is no IPv4 address is never
// reachable. Without a facility (the system refused to open one) the answer is true: the
// check cannot be made, and dropping every listed printer on each answer would empty the list
// again and again.
bool IsHostReachable(IcmpFacility* facility, WStringView address);

}  // namespace kestrava
