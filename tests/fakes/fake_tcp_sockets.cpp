#include "tests/fakes/fake_tcp_sockets.h"

#include <algorithm>
#include <cstring>

namespace kestrava {

namespace {

class FakeSocket final : public TcpSocket {
 public:
  FakeSocket(FakeTcpSockets& owner, FakeTcpSockets::Connection& connection)
      : owner_(owner), connection_(connection) {}
  ~FakeSocket() override { connection_.closed = true; }

  bool SetNonBlocking() override {
    if (owner_.nonBlockingFails) return false;
    connection_.nonBlocking = true;
    return true;
  }

  ConnectStart Connect(uint32_t address, uint16_t port) override {
    connection_.address = address;
    connection_.port = port;
    peer_ = owner_.Next(address, port);
    switch (peer_) {
      case FakeTcpSockets::Peer::kAcceptsAtOnce:
        connection_.connected = true;
        return ConnectStart::kConnected;
      case FakeTcpSockets::Peer::kRefusesAtOnce:
        return ConnectStart::kFailed;
      default:
        return ConnectStart::kInProgress;
    }
  }

  WaitOutcome WaitReady(uint32_t timeoutMs) override {
    owner_.waits.push_back(timeoutMs);
    switch (peer_) {
      case FakeTcpSockets::Peer::kAccepts:
        connection_.connected = true;
        return WaitOutcome::kReady;
      case FakeTcpSockets::Peer::kAcceptsAtOnce:
        return WaitOutcome::kReady;
      case FakeTcpSockets::Peer::kRefusesWhenReady:
        pendingError_ = kSocketConnectionRefused;
        return WaitOutcome::kReady;
      case FakeTcpSockets::Peer::kRefusesAfterWait:
        pendingError_ = kSocketConnectionRefused;
        break;
      case FakeTcpSockets::Peer::kWaitFails:
        return WaitOutcome::kFailed;
      default:
        break;
    }
    if (owner_.clock()) owner_.clock()->Advance(timeoutMs);
    return WaitOutcome::kTimedOut;
  }

  int PendingError() override {
    const int error = pendingError_;
    pendingError_ = 0;
    return error;
  }

  SendResult Receive(void* data, uint32_t capacity, uint32_t timeoutMs) override {
    SendResult result;
    if (!connection_.connected) {
      result.error = kSocketNotConnected;
      return result;
    }
    connection_.receiveTimeouts.push_back(timeoutMs);
    result.ok = true;
    std::deque<std::string>& replies = owner_.replies[{connection_.address, connection_.port}];
    if (replies.empty()) {
      if (owner_.clock()) owner_.clock()->Advance(timeoutMs);
      return result;
    }
    const std::string reply = replies.front();
    replies.pop_front();
    result.count = std::min<uint32_t>(capacity, static_cast<uint32_t>(reply.size()));
    std::memcpy(data, reply.data(), result.count);
    return result;
  }

  SendResult Send(const void* data, uint32_t size) override {
    SendResult result;
    if (!connection_.connected) {
      result.error = kSocketNotConnected;
      return result;
    }
    FakeTcpSockets::SendStep step;
    if (!owner_.sends.empty()) {
      step = owner_.sends.front();
      owner_.sends.pop_front();
    }
    if (step.kind == FakeTcpSockets::SendStep::kFail) {
      result.error = step.error;
      return result;
    }
    result.ok = true;
    result.count = step.kind == FakeTcpSockets::SendStep::kPart ? std::min(step.count, size) : size;
    connection_.sent.append(static_cast<const char*>(data), result.count);
    return result;
  }

 private:
  FakeTcpSockets& owner_;
  FakeTcpSockets::Connection& connection_;
  FakeTcpSockets::Peer peer_ = FakeTcpSockets::Peer::kSilent;
  int pendingError_ = 0;
};

}  // namespace

FakeTcpSockets::Peer FakeTcpSockets::Next(uint32_t address, uint16_t port) {
  if (!nextConnects.empty()) {
    const Peer peer = nextConnects.front();
    nextConnects.pop_front();
    return peer;
  }
  auto found = peers.find({address, port});
  return found == peers.end() ? Peer::kSilent : found->second;
}

std::unique_ptr<TcpSocket> FakeTcpSockets::Create(int* error) {
  if (createFails) {
    if (error) *error = 10024;  // WSAEMFILE
    return nullptr;
  }
  if (error) *error = 0;
  connections.emplace_back();
  return std::make_unique<FakeSocket>(*this, connections.back());
}

int FakeTcpSockets::openSockets() const {
  return static_cast<int>(std::count_if(connections.begin(), connections.end(),
                                        [](const Connection& c) { return !c.closed; }));
}

std::vector<const FakeTcpSockets::Connection*> FakeTcpSockets::Established() const {
  std::vector<const Connection*> established;
  for (const Connection& connection : connections) {
    if (connection.connected) established.push_back(&connection);
  }
  return established;
}

}  // namespace kestrava
