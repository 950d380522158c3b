// UDP over IPv4 as LAN discovery uses it: one socket bound to a port on all interfaces, with
// beside it sockets bound to single addresses of the computer (a port of the system's choosing
// each), sends to an address and port (broadcast once enabled), and a receive of one datagram
// from any socket of the group into a buffer of a fixed capacity that another thread can cancel.
//
// Addresses are host-order numbers, the first byte of the dotted form highest (192.168.1.100
// is 0xC0A80164); ports are host-order too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kestrava {

inline constexpr uint32_t kBroadcastAddress = 0xFFFFFFFF;  // 255.255.255.255
inline constexpr uint32_t kLoopbackAddress = 0x7F000001;   // 127.0.0.1

enum class ReceiveStatus {
  kReceived,
  kTooLong,    // the datagram did not fit the buffer; it is consumed, and `length` is 0
  kCancelled,  // Cancel or Close since the last Rearm
  kFailed,     // any other error of the system
};

struct Datagram {
  size_t length = 0;
  uint32_t fromAddress = 0;
  uint16_t fromPort = 0;
};

class UdpSocket {
 public:
  virtual ~UdpSocket() = default;

  // The port the socket is bound to (the one the system chose when 0 was asked for).
  virtual uint16_t LocalPort() = 0;

  // SO_BROADCAST, for every socket of the group, also those added later. False when the system
  // refuses or the socket is closed.
  virtual bool EnableBroadcast() = 0;

  // Sends `size` bytes as one datagram from the socket on every interface. False on any error
  // (no route, closed socket).
  virtual bool SendTo(uint32_t address, uint16_t port, const void* data, size_t size) = 0;

  // Adds to the group a socket bound to `address`, one of the computer's own, on a port the
  // system chooses. True when there is one for it already. False when the system refuses (the
  // address is not, or no longer, the computer's) or the socket is closed; `error` (when given)
  // is the system's error code then.
  virtual bool AddLocalAddress(uint32_t address, uint32_t* error = nullptr) = 0;
  // Closes the socket bound to `address`; nothing when there is none.
  virtual void RemoveLocalAddress(uint32_t address) = 0;
  // The addresses of the added sockets, in the order they were added.
  virtual std::vector<uint32_t> LocalAddresses() = 0;
  // As SendTo, from the socket bound to `localAddress`; false when there is none.
  virtual bool SendFrom(uint32_t localAddress, uint32_t address, uint16_t port, const void* data,
                        size_t size) = 0;

  // Waits for one datagram to any socket of the group (taken in turn when several have one) and
  // copies at most `capacity` bytes of it into `buffer`. The wait
  // ends when a datagram arrives or when the socket is cancelled or closed; a cancel given
  // before the wait began ends it at once, so a cancel that races with the start of a receive
  // is never lost. `out` is written only for kReceived.
  virtual ReceiveStatus Receive(void* buffer, size_t capacity, Datagram& out) = 0;

  // Safe from any thread, also while another thread waits in Receive: makes the pending
  // receive and every later one return kCancelled until Rearm.
  virtual void Cancel() = 0;
  virtual void Rearm() = 0;

  // Closes every socket of the group now (the ports are free again) and cancels for good; safe
  // from any thread. Later calls fail or return kCancelled. The destructor closes too.
  virtual void Close() = 0;
};

class UdpSockets {
 public:
  virtual ~UdpSockets() = default;

  // A datagram socket bound to `port` on every interface (INADDR_ANY). Nothing when the system
  // refuses (the port is taken, sockets are not started); `error` (when given) is the system's
  // error code then.
  virtual std::unique_ptr<UdpSocket> Open(uint16_t port, uint32_t* error = nullptr) = 0;
};

}  // namespace kestrava
