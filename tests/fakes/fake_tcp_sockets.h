// Scriptable TCP: peers by address and port that accept, stay silent (a printer switched off:
// the wait runs out on the virtual clock), refuse at once, refuse in a way the wait reports as
// ready with a pending error, refuse after the wait, or make the wait fail; sockets that cannot
// be made or switched to non-blocking mode; sends that take everything, a part or fail. Every
// socket is one connection record with all it sent and whether it was closed.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/tcp_sockets.h"
#include "tests/fakes/fake_clock.h"

namespace kestrava {

class FakeTcpSockets final : public TcpSockets {
 public:
  enum class Peer {
    kAccepts,           // connect in progress, then ready, no pending error
    kAcceptsAtOnce,     // the connect completes at once
    kSilent,            // nothing answers: the wait times out (the default)
    kRefusesAtOnce,     // the connect fails before it begins
    kRefusesWhenReady,  // the wait reports ready; the pending error is "refused"
    kRefusesAfterWait,  // the wait times out; the pending error is "refused"
    kWaitFails,         // the wait itself fails
  };

  struct SendStep {
    enum Kind { kAll, kPart, kFail } kind = kAll;
    uint32_t count = 0;
    int error = kSocketConnectionReset;
  };

  struct Connection {
    uint32_t address = 0;
    uint16_t port = 0;
    bool nonBlocking = false;
    bool connected = false;
    bool closed = false;
    std::string sent;
    std::vector<uint32_t> receiveTimeouts;
  };

  // What a peer answers: for every receive the next reply (scripted per address and port);
  // none left: nothing comes, and the receive waits its time on the clock.
  std::map<std::pair<uint32_t, uint16_t>, std::deque<std::string>> replies;

  explicit FakeTcpSockets(FakeClock* clock = nullptr) : clock_(clock) {}

  void SetPeer(uint32_t address, uint16_t port, Peer peer) { peers[{address, port}] = peer; }
  // Overrides the peer for the next connects, one step each.
  std::deque<Peer> nextConnects;

  std::unique_ptr<TcpSocket> Create(int* error) override;

  int openSockets() const;
  // The connections that were established, in order.
  std::vector<const Connection*> Established() const;

  std::map<std::pair<uint32_t, uint16_t>, Peer> peers;
  bool createFails = false;
  bool nonBlockingFails = false;
  std::deque<SendStep> sends;          // one per send; none left: the send takes all
  std::deque<Connection> connections;  // one per socket made, in order (addresses stay put)
  std::vector<uint32_t> waits;         // the time of every wait

  // For the sockets this fake hands out.
  Peer Next(uint32_t address, uint16_t port);
  FakeClock* clock() const { return clock_; }

 private:
  FakeClock* clock_;
};

}  // namespace kestrava
