// A receive that another thread can cancel: the socket reports readability to an event
// (WSAEventSelect, which also makes it non-blocking) and a receive waits on that event and on a
// manual-reset cancel event together. The cancel event stays set until Rearm, so a cancel that
// comes before the wait starts is seen by it. The socket handle itself is only used under a
// lock, and Close clears it under the same lock: a thread that wakes after Close never reaches
// a handle value the system may already have given to another socket.
#include "platform/win32/udp_socket_win32.h"

#include <mutex>

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
    const BOOL on = TRUE;
    return socket_ && setsockopt(socket_.Get(), SOL_SOCKET, SO_BROADCAST,
                                 reinterpret_cast<const char*>(&on), sizeof(on)) == 0;
  }

  bool SendTo(uint32_t address, uint16_t port, const void* data, size_t size) override {
    std::lock_guard<std::mutex> guard(lock_);
    const sockaddr_in to = win32::SocketAddress(address, port);
    return socket_ &&
           sendto(socket_.Get(), static_cast<const char*>(data), static_cast<int>(size), 0,
                  reinterpret_cast<const sockaddr*>(&to), sizeof(to)) == static_cast<int>(size);
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
        sockaddr_in from{};
        int fromLength = sizeof(from);
        const int received =
            recvfrom(socket_.Get(), static_cast<char*>(buffer), static_cast<int>(capacity), 0,
                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (received != SOCKET_ERROR) {
          out.length = static_cast<size_t>(received);
          out.fromAddress = ntohl(from.sin_addr.s_addr);
          out.fromPort = ntohs(from.sin_port);
          return ReceiveStatus::kReceived;
        }
        const int error = WSAGetLastError();
        // The system has consumed the datagram and filled the buffer with its beginning.
        if (error == WSAEMSGSIZE) return ReceiveStatus::kTooLong;
        if (error != WSAEWOULDBLOCK) return ReceiveStatus::kFailed;
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
    socket_.Reset();
  }

 private:
  std::mutex lock_;
  ScopedSocket socket_;
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
