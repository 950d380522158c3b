// Connecting the link to a network printer.
#include <vector>

#include "comm/port_link.h"

namespace kestrava {

void PortLink::FlushResolutionOf(uint32_t address) {
  // A printer that moved to another hardware address (or was replaced) is unreachable while
  // the old entry stands: flush the interfaces that know the address.
  std::vector<ArpRow> rows;
  if (!services_.arpTable.ReadSorted(rows)) return;
  for (const ArpRow& row : rows) {
    if (row.address == address) services_.arpTable.FlushInterface(row.interfaceIndex);
  }
}

int PortLink::ConnectLan(const Ipv4Endpoint& endpoint) {
  WaitOutcome last = WaitOutcome::kTimedOut;
  for (int attempt = 1; attempt <= kConnectAttempts; ++attempt) {
    if (attempt > 1) FlushResolutionOf(endpoint.address);
    std::unique_ptr<TcpSocket> socket = services_.sockets.Create();
    if (!socket) return kLanNoSocket;
    if (!socket->SetNonBlocking()) return kLanBlockingRefused;
    const ConnectStart start = socket->Connect(endpoint.address, endpoint.port);
    if (start == ConnectStart::kConnected) {
      lanSocket = std::move(socket);
      return kLanConnected;
    }
    // A connect refused before it began has nothing to wait for: it fails like a wait that
    // ran out.
    last = start == ConnectStart::kInProgress ? socket->WaitReady(kConnectWaitMs)
                                              : WaitOutcome::kTimedOut;
    if (last == WaitOutcome::kReady) {
      // Ready is not connected: a refused or failed connect also ends the wait on some
      // systems, and only the pending error tells the two apart.
      if (socket->PendingError() == 0) {
        lanSocket = std::move(socket);
        return kLanConnected;
      }
      last = WaitOutcome::kTimedOut;
    }
    socket.reset();
    if (attempt < kConnectAttempts) services_.clock.Sleep(kConnectPauseMs);
  }
  return last == WaitOutcome::kFailed ? kLanWaitFailed : kLanTimedOut;
}

}  // namespace kestrava
