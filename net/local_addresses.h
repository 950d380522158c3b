// The computer's own IPv4 addresses on physical adapters, with their masks: the segments that
// tell discovery whether an answering printer is on one of the computer's networks, and the
// addresses it probes from.
#pragma once

#include "net/local_segments.h"
#include "platform/adapters.h"
#include "platform/process.h"

namespace kestrava {

// Whether the adapter is left out: a description of 7 characters or more that contains
// "virtual" in any case, a hardware address of a virtual-machine maker, or an address
// 0.0.0.0 (not configured).
bool IsExcludedAdapter(const AdapterRecord& adapter);

// Rebuilds `segments` from the adapter table: each address of each adapter that is not
// excluded, with its own mask (an address whose mask cannot be read counts as a /24). The first
// query holds one 32-bit record (648 bytes); when the system asks for more it is queried once
// again with the size it asked for. Any other failure leaves the segments as they were, and so
// returns false. Each adapter taken is traced to standard output as its hardware address
// ("00-1A-2B-3C-4D-5E\n").
bool RefreshLocalAddresses(AdapterTable& table, Process& process, LocalSegments& segments);

// The same without the trace, for the search to follow adapters that come and go at every
// probe. The first query holds `capacity` bytes (at least one record); the size the system asked
// for is kept there, so that the next read takes one query unless the table grew.
bool ReadLocalSegments(AdapterTable& table, LocalSegments& segments, uint32_t& capacity);

}  // namespace kestrava
