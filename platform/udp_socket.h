// UDP over IPv4 as LAN discovery uses it: one socket bound to a port on all interfaces, sends
// to an address and port (broadcast once enabled), and a receive of one datagram into a buffer
// of a fixed capacity that another thread can cancel.
//
// Addresses are host-order numbers, the first byte of the dotted form highest (192.168.1.100
// is 0xC0A80164); ports are host-order too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

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

  // SO_BROADCAST. False when the system refuses or the socket is closed.
  virtual bool EnableBroadcast() = 0;

  // Sends `size` bytes as one datagram. False on any error (no route, closed socket).
  virtual bool SendTo(uint32_t address, uint16_t port, const void* data, size_t size) = 0;

  // Waits for one datagram and copies at most `capacity` bytes of it into `buffer`. The wait
  // ends when a datagram arrives or when the socket is cancelled or closed; a cancel given
  // before the wait began ends it at once, so a cancel that races with the start of a receive
  // is never lost. `out` is written only for kReceived.
  virtual ReceiveStatus Receive(void* buffer, size_t capacity, Datagram& out) = 0;

  // Safe from any thread, also while another thread waits in Receive: makes the pending
  // receive and every later one return kCancelled until Rearm.
  virtual void Cancel() = 0;
  virtual void Rearm() = 0;

  // Closes the socket now (its port is free again) and cancels for good; safe from any thread.
  // Later calls fail or return kCancelled. The destructor closes too.
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
