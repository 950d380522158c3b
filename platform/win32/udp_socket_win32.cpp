// A receive that another thread can cancel: every socket of the group reports readability to one
// event (WSAEventSelect, which also makes it non-blocking) and a receive waits on that event and
// on a manual-reset cancel event together. The cancel event stays set until Rearm, so a cancel that
// comes before the wait starts is seen by it. The socket handle itself is only used under a
// lock, and Close clears it under the same lock: a thread that wakes after Close never reaches
// a handle value the system may already have given to another socket.
#include "platform/win32/udp_socket_win32.h"

#include <mutex>
#include <utility>
#include <vector>

#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

using win32::ScopedSocket;

struct EventTraits {
  using Handle = WSAEVENT;
  static Handle Invalid() { return WSA_INVALID_EVENT; }
  static bool IsValid(Handle h) { return h != WSA_INVALID_EVENT; }
  static void Close(Handle h) { WSACloseEvent(h); }
};
using ScopedEvent = win32::Scoped<EventTraits>;

class Win32UdpSocket final : public UdpSocket {
 public:
  Win32UdpSocket(ScopedSocket socket, ScopedEvent readable, ScopedEvent cancel)
      : socket_(std::move(socket)), readable_(std::move(readable)), cancel_(std::move(cancel)) {}
  ~Win32UdpSocket() override { Close(); }

  uint16_t LocalPort() override {
    std::lock_guard<std::mutex> guard(lock_);
    sockaddr_in bound{};
    int length = sizeof(bound);
    if (!socket_ || getsockname(socket_.Get(), reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
      return 0;
    }
    return ntohs(bound.sin_port);
  }

  bool EnableBroadcast() override {
    std::lock_guard<std::mutex> guard(lock_);
    if (!socket_ || !AllowBroadcast(socket_.Get())) return false;
    broadcast_ = true;
    bool all = true;
    for (Added& added : added_) all = AllowBroadcast(added.socket.Get()) && all;
    return all;
  }

  bool AddLocalAddress(uint32_t address, uint32_t* error) override {
    std::lock_guard<std::mutex> guard(lock_);
    int code = 0;
    if (!socket_) {
      code = WSAENOTSOCK;
    } else if (!Find(address)) {
      code = AddSocket(address);
    }
    if (error) *error = static_cast<uint32_t>(code);
    return code == 0;
  }

  void RemoveLocalAddress(uint32_t address) override {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = added_.begin(); it != added_.end(); ++it) {
      if (it->address == address) {
        added_.erase(it);
        return;
      }
    }
  }

  std::vector<uint32_t> LocalAddresses() override {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<uint32_t> addresses;
    for (const Added& added : added_) addresses.push_back(added.address);
    return addresses;
  }

  bool SendFrom(uint32_t localAddress, uint32_t address, uint16_t port, const void* data,
                size_t size) override {
    std::lock_guard<std::mutex> guard(lock_);
    const Added* added = Find(localAddress);
    return added && Send(added->socket.Get(), address, port, data, size);
  }

  bool SendTo(uint32_t address, uint16_t port, const void* data, size_t size) override {
    std::lock_guard<std::mutex> guard(lock_);
    return socket_ && Send(socket_.Get(), address, port, data, size);
  }

  ReceiveStatus Receive(void* buffer, size_t capacity, Datagram& out) override {
    for (;;) {
      if (WaitForSingleObject(cancel_.Get(), 0) == WAIT_OBJECT_0) return ReceiveStatus::kCancelled;
      {
        std::lock_guard<std::mutex> guard(lock_);
        if (!socket_) return ReceiveStatus::kCancelled;
        // Reset before reading: a datagram that arrives after a read found nothing sets the
        // event again, one that arrived before is read now.
        WSAResetEvent(readable_.Get());
        // The sockets are read in turn, from the one after the last that had a datagram, so
        // that one busy socket does not starve the others.
        const size_t count = 1 + added_.size();
        for (size_t i = 0; i < count; ++i) {
          const size_t at = (next_ + i) % count;
          const SOCKET socket = at == 0 ? socket_.Get() : added_[at - 1].socket.Get();
          ReceiveStatus status = ReceiveStatus::kFailed;
          if (!ReceiveFrom(socket, buffer, capacity, out, status)) continue;
          next_ = (at + 1) % count;
          return status;
        }
      }
      WSAEVENT events[2] = {readable_.Get(), cancel_.Get()};
      const DWORD woken = WSAWaitForMultipleEvents(2, events, FALSE, WSA_INFINITE, FALSE);
      if (woken == WSA_WAIT_EVENT_0 + 1) return ReceiveStatus::kCancelled;
      if (woken != WSA_WAIT_EVENT_0) return ReceiveStatus::kFailed;
    }
  }

  void Cancel() override { WSASetEvent(cancel_.Get()); }

  void Rearm() override {
    std::lock_guard<std::mutex> guard(lock_);
    if (socket_) WSAResetEvent(cancel_.Get());
  }

  void Close() override {
    std::lock_guard<std::mutex> guard(lock_);
    WSASetEvent(cancel_.Get());
    added_.clear();
    socket_.Reset();
  }

 private:
  struct Added {
    uint32_t address;
    ScopedSocket socket;
  };
  // With the lock held: a socket bound to `address` in the group; 0, or the system's error.
  int AddSocket(uint32_t address) {
    ScopedSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket) return WSAGetLastError();
    const sockaddr_in local = win32::SocketAddress(address, 0);
    if (bind(socket.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0 ||
        (broadcast_ && !AllowBroadcast(socket.Get())) ||
        WSAEventSelect(socket.Get(), readable_.Get(), FD_READ) != 0) {
      return WSAGetLastError();
    }
    added_.push_back({address, std::move(socket)});
    return 0;
  }

  static bool AllowBroadcast(SOCKET socket) {
    const BOOL on = TRUE;
    return setsockopt(socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                      sizeof(on)) == 0;
  }

  static bool Send(SOCKET socket, uint32_t address, uint16_t port, const void* data, size_t size) {
    const sockaddr_in to = win32::SocketAddress(address, port);
    return sendto(socket, static_cast<const char*>(data), static_cast<int>(size), 0,
                  reinterpret_cast<const sockaddr*>(&to), sizeof(to)) == static_cast<int>(size);
  }

  // False when the socket has nothing to read; else `status` tells what the read gave.
  static bool ReceiveFrom(SOCKET socket, void* buffer, size_t capacity, Datagram& out,
                          ReceiveStatus& status) {
    sockaddr_in from{};
    int fromLength = sizeof(from);
    const int received = recvfrom(socket, static_cast<char*>(buffer), static_cast<int>(capacity), 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received != SOCKET_ERROR) {
      out.length = static_cast<size_t>(received);
      out.fromAddress = ntohl(from.sin_addr.s_addr);
      out.fromPort = ntohs(from.sin_port);
      status = ReceiveStatus::kReceived;
      return true;
    }
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) return false;
    // WSAEMSGSIZE: the system has consumed the datagram and filled the buffer with its
    // beginning.
    status = error == WSAEMSGSIZE ? ReceiveStatus::kTooLong : ReceiveStatus::kFailed;
    return true;
  }

  const Added* Find(uint32_t address) const {
    for (const Added& added : added_) {
      if (added.address == address) return &added;
    }
    return nullptr;
  }

  std::mutex lock_;
  ScopedSocket socket_;
  std::vector<Added> added_;  // the sockets bound to single addresses
  bool broadcast_ = false;
  size_t next_ = 0;
  ScopedEvent readable_;
  ScopedEvent cancel_;
};

}  // namespace

Win32UdpSockets::Win32UdpSockets() {
  WSADATA data{};
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

Win32UdpSockets::~Win32UdpSockets() {
  if (started_) WSACleanup();
}

std::unique_ptr<UdpSocket> Win32UdpSockets::Open(uint16_t port, uint32_t* error) {
  const auto refuse = [error](int code) -> std::unique_ptr<UdpSocket> {
    if (error) *error = static_cast<uint32_t>(code);
    return nullptr;
  };
  ScopedSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  if (!socket) return refuse(WSAGetLastError());
  const sockaddr_in any = win32::SocketAddress(INADDR_ANY, port);
  if (bind(socket.Get(), reinterpret_cast<const sockaddr*>(&any), sizeof(any)) != 0) {
    return refuse(WSAGetLastError());
  }
  ScopedEvent readable(WSACreateEvent());
  if (!readable) return refuse(WSAGetLastError());
  ScopedEvent cancel(WSACreateEvent());
  if (!cancel) return refuse(WSAGetLastError());
  // Readability only: the receive is the one wait, and write or connect notifications would
  // wake it for nothing.
  if (WSAEventSelect(socket.Get(), readable.Get(), FD_READ) != 0) {
    return refuse(WSAGetLastError());
  }
  if (error) *error = 0;
  return std::make_unique<Win32UdpSocket>(std::move(socket), std::move(readable),
                                          std::move(cancel));
}

}  // namespace kestrava
