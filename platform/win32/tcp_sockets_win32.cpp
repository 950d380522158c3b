#include "platform/win32/tcp_sockets_win32.h"

#include "platform/win32/scoped.h"
#include "platform/win32/win32.h"

namespace kestrava {

namespace {

using win32::ScopedSocket;

timeval Timeval(uint32_t ms) {
  timeval time{};
  time.tv_sec = static_cast<long>(ms / 1000);
  time.tv_usec = static_cast<long>(ms % 1000) * 1000;
  return time;
}

class Win32TcpSocket final : public TcpSocket {
 public:
  explicit Win32TcpSocket(ScopedSocket socket) : socket_(std::move(socket)) {}

  bool SetNonBlocking() override {
    u_long nonBlocking = 1;
    return ioctlsocket(socket_.Get(), FIONBIO, &nonBlocking) == 0;
  }

  ConnectStart Connect(uint32_t address, uint16_t port) override {
    const sockaddr_in endpoint = win32::SocketAddress(address, port);
    if (connect(socket_.Get(), reinterpret_cast<const sockaddr*>(&endpoint), sizeof(endpoint)) ==
        0) {
      return ConnectStart::kConnected;
    }
    return WSAGetLastError() == WSAEWOULDBLOCK ? ConnectStart::kInProgress : ConnectStart::kFailed;
  }

  WaitOutcome WaitReady(uint32_t timeoutMs) override {
    fd_set readable;
    fd_set writable;
    fd_set failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket_.Get(), &readable);
    FD_SET(socket_.Get(), &writable);
    // Winsock reports a non-blocking connect that failed in the exception set only.
    FD_SET(socket_.Get(), &failed);
    timeval timeout = Timeval(timeoutMs);
    // The first argument is ignored by Winsock.
    const int ready = select(0, &readable, &writable, &failed, &timeout);
    if (ready > 0) return WaitOutcome::kReady;
    return ready == 0 ? WaitOutcome::kTimedOut : WaitOutcome::kFailed;
  }

  int PendingError() override {
    int error = 0;
    int size = sizeof(error);
    if (getsockopt(socket_.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) !=
        0) {
      return WSAGetLastError();
    }
    return error;
  }

  SendResult Receive(void* data, uint32_t capacity, uint32_t timeoutMs) override {
    SendResult result;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_.Get(), &readable);
    timeval timeout = Timeval(timeoutMs);
    const int ready = select(0, &readable, nullptr, nullptr, &timeout);
    if (ready == SOCKET_ERROR) {
      result.error = WSAGetLastError();
      return result;
    }
    result.ok = true;
    if (ready == 0) return result;  // nothing came in time
    const int got = recv(socket_.Get(), static_cast<char*>(data), static_cast<int>(capacity), 0);
    if (got <= 0) {
      result.ok = false;
      result.error = got == 0 ? WSAECONNRESET : WSAGetLastError();
      return result;
    }
    result.count = static_cast<uint32_t>(got);
    return result;
  }

  SendResult Send(const void* data, uint32_t size) override {
    SendResult result;
    const int sent = send(socket_.Get(), static_cast<const char*>(data), static_cast<int>(size), 0);
    if (sent == SOCKET_ERROR) {
      result.error = WSAGetLastError();
      return result;
    }
    result.ok = true;
    result.count = static_cast<uint32_t>(sent);
    return result;
  }

 private:
  ScopedSocket socket_;
};

}  // namespace

std::unique_ptr<TcpSocket> Win32TcpSockets::Create(int* error) {
  ScopedSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!socket) {
    if (error) *error = WSAGetLastError();
    return nullptr;
  }
  if (error) *error = 0;
  return std::make_unique<Win32TcpSocket>(std::move(socket));
}

}  // namespace kestrava
