#pragma once

#include "platform/udp_socket.h"

namespace kestrava {

// Winsock datagram sockets. The service starts Winsock 2.2 for itself (the calls count, so
// this does not disturb the program's own start-up) and stops it when destroyed; sockets it
// opened must be gone by then.
class Win32UdpSockets final : public UdpSockets {
 public:
  Win32UdpSockets();
  ~Win32UdpSockets() override;
  Win32UdpSockets(const Win32UdpSockets&) = delete;
  Win32UdpSockets& operator=(const Win32UdpSockets&) = delete;

  std::unique_ptr<UdpSocket> Open(uint16_t port, uint32_t* error) override;

 private:
  bool started_ = false;
};

}  // namespace kestrava
