#include "tests/fakes/fake_udp_socket.h"

#include <chrono>
#include <cstring>

namespace kestrava {

namespace {

constexpr uint32_t kAddressInUse = 10048;  // WSAEADDRINUSE

bool IsLoopback(uint32_t address) {
  return (address >> 24) == 127;
}

class FakeUdpSocket final : public UdpSocket {
 public:
  FakeUdpSocket(FakeUdpSockets& network, uint16_t port) : network_(network), port_(port) {
    network_.bound[port_] = &state_;
  }
  ~FakeUdpSocket() override {
    Close();
    std::lock_guard<std::mutex> guard(network_.lock);
    auto found = network_.bound.find(port_);
    if (found != network_.bound.end() && found->second == &state_) network_.bound.erase(found);
  }

  uint16_t LocalPort() override { return port_; }

  bool EnableBroadcast() override {
    std::lock_guard<std::mutex> guard(network_.lock);
    if (state_.closed) return false;
    state_.broadcast = true;
    return true;
  }

  bool SendTo(uint32_t address, uint16_t port, const void* data, size_t size) override {
    FakeUdpSockets::Sent sent{port_, address, port,
                              std::string(static_cast<const char*>(data), size)};
    {
      std::lock_guard<std::mutex> guard(network_.lock);
      if (state_.closed) return false;
      // As Winsock: a broadcast needs SO_BROADCAST (WSAEACCES without it).
      if (address == kBroadcastAddress && !state_.broadcast) return false;
      network_.sent.push_back(sent);
      if (IsLoopback(address)) {
        network_.inbound[port].push_back({kLoopbackAddress, port_, sent.bytes, 0});
        network_.changed.notify_all();
      }
    }
    if (network_.onSend) network_.onSend(sent);
    return true;
  }

  ReceiveStatus Receive(void* buffer, size_t capacity, Datagram& out) override {
    std::unique_lock<std::mutex> guard(network_.lock);
    ++network_.receives;
    for (;;) {
      if (state_.cancelled || state_.closed) return ReceiveStatus::kCancelled;
      std::deque<FakeUdpSockets::Inbound>& queue = network_.inbound[port_];
      if (!queue.empty()) {
        FakeUdpSockets::Inbound next = queue.front();
        queue.pop_front();
        guard.unlock();
        if (network_.clock_ && next.delayMs) network_.clock_->Sleep(next.delayMs);
        if (next.bytes.size() > capacity) return ReceiveStatus::kTooLong;
        std::memcpy(buffer, next.bytes.data(), next.bytes.size());
        out.length = next.bytes.size();
        out.fromAddress = next.fromAddress;
        out.fromPort = next.fromPort;
        return ReceiveStatus::kReceived;
      }
      if (network_.idleWaitEndsAfterMs) {
        const uint32_t waitMs = *network_.idleWaitEndsAfterMs;
        ++network_.idleWaits;
        guard.unlock();
        if (network_.clock_) network_.clock_->Sleep(waitMs);
        return ReceiveStatus::kCancelled;
      }
      ++network_.blocked;
      network_.changed.notify_all();
      network_.changed.wait(guard);
      --network_.blocked;
    }
  }

  void Cancel() override {
    std::lock_guard<std::mutex> guard(network_.lock);
    state_.cancelled = true;
    ++network_.cancels;
    network_.changed.notify_all();
  }

  void Rearm() override {
    std::lock_guard<std::mutex> guard(network_.lock);
    state_.cancelled = false;
  }

  void Close() override {
    std::lock_guard<std::mutex> guard(network_.lock);
    if (state_.closed) return;
    state_.closed = true;
    auto found = network_.bound.find(port_);
    if (found != network_.bound.end() && found->second == &state_) network_.bound.erase(found);
    network_.changed.notify_all();
  }

 private:
  FakeUdpSockets& network_;
  uint16_t port_;
  FakeUdpSockets::Bound state_;
};

}  // namespace

FakeUdpSockets::~FakeUdpSockets() = default;

std::unique_ptr<UdpSocket> FakeUdpSockets::Open(uint16_t port, uint32_t* error) {
  std::lock_guard<std::mutex> guard(lock);
  if (port == 0) {
    while (bound.count(nextEphemeral)) ++nextEphemeral;
    port = nextEphemeral++;
  }
  if (refused.count(port) || bound.count(port)) {
    if (error) *error = kAddressInUse;
    return nullptr;
  }
  if (error) *error = 0;
  ++opened;
  return std::make_unique<FakeUdpSocket>(*this, port);
}

void FakeUdpSockets::Deliver(uint16_t port, uint32_t fromAddress, uint16_t fromPort,
                             const std::string& bytes, uint32_t delayMs) {
  std::lock_guard<std::mutex> guard(lock);
  inbound[port].push_back({fromAddress, fromPort, bytes, delayMs});
  changed.notify_all();
}

void FakeUdpSockets::Refuse(uint16_t port) {
  std::lock_guard<std::mutex> guard(lock);
  refused.insert(port);
}

std::vector<FakeUdpSockets::Sent> FakeUdpSockets::SentDatagrams() const {
  std::lock_guard<std::mutex> guard(lock);
  return sent;
}

int FakeUdpSockets::Opened() const {
  std::lock_guard<std::mutex> guard(lock);
  return opened;
}

int FakeUdpSockets::OpenNow() const {
  std::lock_guard<std::mutex> guard(lock);
  return static_cast<int>(bound.size());
}

int FakeUdpSockets::Cancels() const {
  std::lock_guard<std::mutex> guard(lock);
  return cancels;
}

int FakeUdpSockets::IdleWaits() const {
  std::lock_guard<std::mutex> guard(lock);
  return idleWaits;
}

int FakeUdpSockets::Receives() const {
  std::lock_guard<std::mutex> guard(lock);
  return receives;
}

bool FakeUdpSockets::WaitUntilBlocked(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> guard(lock);
  return changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                          [this] { return blocked > 0; });
}

}  // namespace kestrava
