#pragma once

#include "platform/tcp_sockets.h"

namespace kestrava {

// Winsock 2 TCP sockets. The process starts Windows sockets at start-up (Process::StartSockets)
// before any socket is made.
class Win32TcpSockets final : public TcpSockets {
 public:
  std::unique_ptr<TcpSocket> Create(int* error) override;
};

}  // namespace kestrava
