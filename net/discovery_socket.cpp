// The process-wide part of LAN discovery: the socket, the echo facility, the local addresses.
#include <string>

#include "net/discovery_packets.h"
#include "net/lan_discovery.h"
#include "net/local_addresses.h"
#include "net/reachability.h"

namespace kestrava {

LanDiscovery::LanDiscovery(UdpSockets& sockets, Icmp& icmp, AdapterTable& adapters, Clock& clock,
                           Process& process)
    : sockets_(sockets), icmp_(icmp), adapters_(adapters), clock_(clock), process_(process) {}

LanDiscovery::~LanDiscovery() = default;

void LanDiscovery::OpenDiscoverySocket() {
  std::lock_guard<std::mutex> guard(lock_);
  if (!socket_) {
    uint32_t error = 0;
    socket_ = sockets_.Open(kDiscoveryLocalPort, &error);
    // A new socket may take the memory of the last: it has sent no probe yet.
    probedSocket_ = nullptr;
    if (!socket_) {
      process_.DebugOutput("discovery socket: port 5001 refused, error " + std::to_string(error) +
                           "\n");
    }
  }
  // The facility is opened once and kept for the rest of the program.
  if (!echoOpened_) {
    echo_ = icmp_.Open();
    echoOpened_ = true;
  }
}

void LanDiscovery::CloseDiscoverySocket() {
  std::shared_ptr<UdpSocket> closing;
  {
    std::lock_guard<std::mutex> guard(lock_);
    closing.swap(socket_);
  }
  // Closed now, not when the last cycle lets go of it: the port is free for the next open.
  if (closing) closing->Close();
}

void LanDiscovery::RefreshLocalAddresses() {
  LocalSegments segments;
  if (kestrava::RefreshLocalAddresses(adapters_, process_, segments)) SetLocalSegments(segments);
}

void LanDiscovery::CancelPendingReceive() {
  std::lock_guard<std::mutex> guard(lock_);
  if (socket_) socket_->Cancel();
}

bool LanDiscovery::socketOpen() const {
  std::lock_guard<std::mutex> guard(lock_);
  return socket_ != nullptr;
}

std::shared_ptr<UdpSocket> LanDiscovery::OpenSocket() const {
  std::lock_guard<std::mutex> guard(lock_);
  return socket_;
}

LocalSegments LanDiscovery::localSegments() const {
  std::lock_guard<std::mutex> guard(lock_);
  return localSegments_;
}

void LanDiscovery::SetLocalSegments(const LocalSegments& segments) {
  std::lock_guard<std::mutex> guard(lock_);
  localSegments_ = segments;
}

bool LanDiscovery::IsHostReachable(const WString& address) {
  IcmpFacility* echo = nullptr;
  {
    std::lock_guard<std::mutex> guard(lock_);
    echo = echo_.get();  // never replaced once opened
  }
  return kestrava::IsHostReachable(echo, address);
}

}  // namespace kestrava
