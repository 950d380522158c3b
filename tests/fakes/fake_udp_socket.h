// Datagram sockets in memory. A socket bound to a port receives what the test scripts for that
// port and what another fake socket sends to 127.0.0.1 and that port, from 127.0.0.1 and the
// sender's port, as loopback does. Everything sent is recorded; a test can answer a datagram
// from `onSend`. With a clock, a scripted datagram arrives after its delay on that clock.
//
// A receive with nothing to read blocks for real until it is cancelled, closed or given a
// datagram, like the real one; with `idleWaitEndsAfterMs` it instead moves the clock on by that
// much and returns cancelled, as the dialog's 500 ms tick ends a wait nobody answers.
//
// A socket bound to one of the computer's addresses gets an ephemeral port of its own and
// receives what is scripted for that port. With an adapter table the computer's addresses are
// its adapters' (a socket is refused an address that is not among them, with WSAEADDRNOTAVAIL,
// and a send from one that has gone fails), and a broadcast is the limited one or an adapter's
// subnet broadcast: as Winsock refuses it, none goes out without SO_BROADCAST.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/udp_socket.h"
#include "tests/fakes/fake_adapters.h"

namespace kestrava {

class FakeUdpSockets final : public UdpSockets {
 public:
  explicit FakeUdpSockets(Clock* clock = nullptr, const FakeAdapterTable* adapters = nullptr)
      : clock_(clock), adapters_(adapters) {}
  ~FakeUdpSockets() override;

  struct Sent {
    uint32_t fromAddress;  // 0 from the socket on every interface
    uint16_t fromPort;
    uint32_t toAddress;
    uint16_t toPort;
    std::string bytes;
  };

  std::unique_ptr<UdpSocket> Open(uint16_t port, uint32_t* error) override;

  // Scripting. A datagram for whatever socket is bound to `port`, now or later.
  void Deliver(uint16_t port, uint32_t fromAddress, uint16_t fromPort, const std::string& bytes,
               uint32_t delayMs = 0);
  // Opening `port` fails with WSAEADDRINUSE, as when another program holds it.
  void Refuse(uint16_t port);

  // Called after each send, with the fake unlocked.
  std::function<void(const Sent&)> onSend;
  std::optional<uint32_t> idleWaitEndsAfterMs;

  // Inspection.
  std::vector<Sent> SentDatagrams() const;
  int Opened() const;
  int OpenNow() const;  // sockets open at this moment
  int Cancels() const;
  int IdleWaits() const;
  int Receives() const;  // receives begun
  // Waits (for real, up to `timeoutMs`) until a receive blocks with nothing to read.
  bool WaitUntilBlocked(uint32_t timeoutMs);

  // For the sockets.
  struct Inbound {
    uint32_t fromAddress;
    uint16_t fromPort;
    std::string bytes;
    uint32_t delayMs;
  };
  struct Bound {
    bool cancelled = false;
    bool closed = false;
    bool broadcast = false;
  };
  mutable std::mutex lock;
  std::condition_variable changed;
  std::map<uint16_t, std::deque<Inbound>> inbound;
  std::map<uint16_t, Bound*> bound;
  std::vector<Sent> sent;
  std::set<uint16_t> refused;
  Clock* clock_;
  const FakeAdapterTable* adapters_;
  // Whether `address` is one of the computer's now; any address is without an adapter table.
  bool OwnsAddress(uint32_t address) const;
  // The limited broadcast, or an adapter's subnet broadcast.
  bool IsBroadcast(uint32_t address) const;
  int opened = 0;
  int cancels = 0;
  int idleWaits = 0;
  int receives = 0;
  int blocked = 0;
  uint16_t nextEphemeral = 49152;
};

}  // namespace kestrava
