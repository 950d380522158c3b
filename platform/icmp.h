// The system's ICMP echo facility (IcmpCreateFile / IcmpSendEcho of the IP helper): one echo
// request at a time, answered or not within a timeout.
#pragma once

#include <cstdint>
#include <memory>

namespace kestrava {

class IcmpFacility {
 public:
  virtual ~IcmpFacility() = default;

  // Sends one echo request with `size` bytes of `data` and no IP options to `address` (host
  // order, see platform/udp_socket.h) and waits for the answer with a zeroed reply buffer of
  // `replyCapacity` bytes. Returns the number of replies: 0 on timeout, an unreachable host, a
  // reply buffer too small for one reply, or any other error. Blocks the calling thread for up
  // to `timeoutMs`.
  virtual uint32_t SendEcho(uint32_t address, const void* data, uint16_t size,
                            uint32_t replyCapacity, uint32_t timeoutMs) = 0;
};

class Icmp {
 public:
  virtual ~Icmp() = default;

  // Opens the facility; nothing when the system refuses.
  virtual std::unique_ptr<IcmpFacility> Open() = 0;
};

}  // namespace kestrava
