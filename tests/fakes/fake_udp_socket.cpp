#include "tests/fakes/fake_udp_socket.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/ipv4_text.h"

namespace kestrava {

namespace {

constexpr uint32_t kAddressInUse = 10048;         // WSAEADDRINUSE
constexpr uint32_t kAddressNotAvailable = 10049;  // WSAEADDRNOTAVAIL
constexpr uint32_t kNotSocket = 10038;            // WSAENOTSOCK

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
    Unbind(port_);
  }

  uint16_t LocalPort() override { return port_; }

  bool EnableBroadcast() override {
    std::lock_guard<std::mutex> guard(network_.lock);
    if (state_.closed) return false;
    state_.broadcast = true;
    return true;
  }

  bool SendTo(uint32_t address, uint16_t port, const void* data, size_t size) override {
    return Send(0, port_, address, port, data, size);
  }

  bool AddLocalAddress(uint32_t address, uint32_t* error) override {
    std::lock_guard<std::mutex> guard(network_.lock);
    uint32_t code = 0;
    if (state_.closed) {
      code = kNotSocket;
    } else if (!network_.OwnsAddress(address)) {
      code = kAddressNotAvailable;
    } else if (!FindAdded(address)) {
      while (network_.bound.count(network_.nextEphemeral)) ++network_.nextEphemeral;
      const uint16_t port = network_.nextEphemeral++;
      network_.bound[port] = &state_;
      added_.push_back({address, port});
    }
    if (error) *error = code;
    return code == 0;
  }

  void RemoveLocalAddress(uint32_t address) override {
    std::lock_guard<std::mutex> guard(network_.lock);
    for (auto it = added_.begin(); it != added_.end(); ++it) {
      if (it->first == address) {
        Unbind(it->second);
        added_.erase(it);
        return;
      }
    }
  }

  std::vector<uint32_t> LocalAddresses() override {
    std::lock_guard<std::mutex> guard(network_.lock);
    std::vector<uint32_t> addresses;
    for (const auto& added : added_) addresses.push_back(added.first);
    return addresses;
  }

  bool SendFrom(uint32_t localAddress, uint32_t address, uint16_t port, const void* data,
                size_t size) override {
    uint16_t fromPort = 0;
    {
      std::lock_guard<std::mutex> guard(network_.lock);
      const std::pair<uint32_t, uint16_t>* added = FindAdded(localAddress);
      // A socket whose address has gone sends nothing any more.
      if (!added || !network_.OwnsAddress(localAddress)) return false;
      fromPort = added->second;
    }
    return Send(localAddress, fromPort, address, port, data, size);
  }

 private:
  bool Send(uint32_t fromAddress, uint16_t fromPort, uint32_t address, uint16_t port,
            const void* data, size_t size) {
    FakeUdpSockets::Sent sent{fromAddress, fromPort, address, port,
                              std::string(static_cast<const char*>(data), size)};
    {
      std::lock_guard<std::mutex> guard(network_.lock);
      if (state_.closed) return false;
      // As Winsock: a broadcast needs SO_BROADCAST (WSAEACCES without it).
      if (network_.IsBroadcast(address) && !state_.broadcast) return false;
      network_.sent.push_back(sent);
      if (IsLoopback(address)) {
        network_.inbound[port].push_back({kLoopbackAddress, fromPort, sent.bytes, 0});
        network_.changed.notify_all();
      }
    }
    if (network_.onSend) network_.onSend(sent);
    return true;
  }

 public:
  ReceiveStatus Receive(void* buffer, size_t capacity, Datagram& out) override {
    std::unique_lock<std::mutex> guard(network_.lock);
    ++network_.receives;
    for (;;) {
      if (state_.cancelled || state_.closed) return ReceiveStatus::kCancelled;
      // Every socket of the group in turn, from the one after the last that had a datagram.
      std::deque<FakeUdpSockets::Inbound>* queue = nullptr;
      const size_t count = 1 + added_.size();
      for (size_t i = 0; i < count && !queue; ++i) {
        const size_t at = (next_ + i) % count;
        std::deque<FakeUdpSockets::Inbound>& candidate =
            network_.inbound[at == 0 ? port_ : added_[at - 1].second];
        if (candidate.empty()) continue;
        queue = &candidate;
        next_ = (at + 1) % count;
      }
      if (queue) {
        FakeUdpSockets::Inbound next = queue->front();
        queue->pop_front();
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
    Unbind(port_);
    for (const auto& added : added_) Unbind(added.second);
    added_.clear();
    network_.changed.notify_all();
  }

 private:
  // With the network's lock held.
  void Unbind(uint16_t port) {
    auto found = network_.bound.find(port);
    if (found != network_.bound.end() && found->second == &state_) network_.bound.erase(found);
  }
  const std::pair<uint32_t, uint16_t>* FindAdded(uint32_t address) const {
    for (const auto& added : added_) {
      if (added.first == address) return &added;
    }
    return nullptr;
  }

  FakeUdpSockets& network_;
  uint16_t port_;
  FakeUdpSockets::Bound state_;
  std::vector<std::pair<uint32_t, uint16_t>> added_;  // address and port, under the lock
  size_t next_ = 0;
};

}  // namespace

FakeUdpSockets::~FakeUdpSockets() = default;

namespace {

// Each address of the table's adapters with its mask.
template <typename Visit>
void ForEachAdapterAddress(const FakeAdapterTable& table, Visit visit) {
  for (const AdapterRecord& adapter : table.adapters) {
    for (size_t i = 0; i < adapter.ipAddresses.size(); ++i) {
      const std::optional<uint32_t> address = ParseDottedIpv4(adapter.ipAddresses[i]);
      const std::optional<uint32_t> mask =
          i < adapter.ipMasks.size() ? ParseDottedIpv4(adapter.ipMasks[i]) : std::nullopt;
      if (address && *address != 0) visit(*address, mask.value_or(0xFFFFFFFF));
    }
  }
}

}  // namespace

bool FakeUdpSockets::OwnsAddress(uint32_t address) const {
  if (!adapters_) return true;
  bool owned = false;
  ForEachAdapterAddress(*adapters_,
                        [&](uint32_t own, uint32_t) { owned = owned || own == address; });
  return owned;
}

bool FakeUdpSockets::IsBroadcast(uint32_t address) const {
  if (address == kBroadcastAddress) return true;
  if (!adapters_) return false;
  bool broadcast = false;
  ForEachAdapterAddress(*adapters_, [&](uint32_t own, uint32_t mask) {
    // A /31 or /32 has no broadcast address of its own.
    broadcast = broadcast || (~mask >= 3 && (own | ~mask) == address);
  });
  return broadcast;
}

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
