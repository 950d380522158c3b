// TCP client sockets to network printers: made, switched to non-blocking mode, connected with
// a bounded wait, written to and closed when their object is destroyed. Addresses are IPv4
// in host order (the first number of the dotted form in the highest byte).
#pragma once

#include <cstdint>
#include <memory>

namespace kestrava {

// The raw printing port of network printers: the link connects to it, the TCP/IP ports the
// installation makes name it, and discovery configures printers with it.
inline constexpr uint16_t kPrinterTcpPort = 9100;

// Socket error codes as the system reports them.
enum : int {
  kSocketConnectionRefused = 10061,  // WSAECONNREFUSED
  kSocketNotConnected = 10057,       // WSAENOTCONN
  kSocketConnectionReset = 10054,    // WSAECONNRESET
};

enum class ConnectStart {
  kConnected,   // the connection was made at once
  kInProgress,  // a non-blocking connect goes on; wait for it
  kFailed,      // refused before it began
};

enum class WaitOutcome {
  kReady,     // readable or writable, or the connect failed
  kTimedOut,  // neither within the time
  kFailed,    // the wait itself failed
};

// The outcome of a send or a receive: bytes moved, or the socket error that ended it (0 on
// success).
struct SendResult {
  bool ok = false;
  uint32_t count = 0;
  int error = 0;
};

class TcpSocket {
 public:
  virtual ~TcpSocket() = default;

  virtual bool SetNonBlocking() = 0;
  virtual ConnectStart Connect(uint32_t address, uint16_t port) = 0;
  // Waits for the socket to become readable or writable, or for its connect to fail (then
  // PendingError tells why). Blocks the calling thread for up to `timeoutMs`.
  virtual WaitOutcome WaitReady(uint32_t timeoutMs) = 0;
  // The socket's pending error (SO_ERROR): 0 when a connect that went on has succeeded, the
  // reason when it failed.
  virtual int PendingError() = 0;
  // One send of the block. On a non-blocking socket `count` may be less than `size`.
  virtual SendResult Send(const void* data, uint32_t size) = 0;
  // Takes what has arrived, up to `capacity` bytes, waiting for something at most `timeoutMs`:
  // `count` 0 when nothing came in time. Not `ok` on a socket error, and when the other end
  // closed the connection.
  virtual SendResult Receive(void* data, uint32_t capacity, uint32_t timeoutMs) = 0;
};

class TcpSockets {
 public:
  virtual ~TcpSockets() = default;

  // A new IPv4 TCP socket; nothing when the system refuses (`error` tells why).
  virtual std::unique_ptr<TcpSocket> Create(int* error = nullptr) = 0;
};

}  // namespace kestrava
