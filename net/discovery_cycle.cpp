// One discovery cycle: a probe, at most one answer, and what the answer means for the list.
#include <algorithm>

#include "net/lan_discovery.h"
#include "net/local_addresses.h"
#include "platform/ipv4_text.h"

namespace kestrava {

bool LanDiscovery::DiscoveryCycle(DiscoveredPrinters& printers) {
  lastCycleWaited_ = false;
  std::shared_ptr<UdpSocket> socket = OpenSocket();
  if (!socket) return true;
  // A cancel meant for the previous cycle must not end this one; one given from here on does.
  // Checked again after re-arming, so a stop that came just before is not waited past.
  socket->Rearm();
  if (stopping_) return false;

  if (ProbeDue(*socket)) {
    const LocalSegments segments = FollowAdapters(*socket);
    socket->EnableBroadcast();
    socket->SendTo(kBroadcastAddress, kPrinterDiscoveryPort, kDiscoveryProbe, kProbeSize);
    for (const LocalSegment& segment : segments) {
      if (!segment.HasBroadcast()) continue;
      socket->SendFrom(segment.address, segment.Broadcast(), kPrinterDiscoveryPort, kDiscoveryProbe,
                       kProbeSize);
    }
  }

  uint8_t reply[kReplyBufferSize] = {};
  Datagram datagram;
  const ReceiveStatus status = socket->Receive(reply, sizeof reply, datagram);
  lastCycleWaited_ = status != ReceiveStatus::kFailed;
  if (status != ReceiveStatus::kReceived) return true;
  // A reply that fills the buffer leaves no room for its terminator: refused like one that
  // did not fit at all.
  if (datagram.length >= kReplyBufferSize) return true;
  if (datagram.length == 0 || reply[0] != static_cast<uint8_t>(kDiscoveryProbe[0])) return true;
  reply[datagram.length] = 0;

  // No printer answers from these; with no segment known they would otherwise count as
  // local and be listed.
  if (datagram.fromAddress == kBroadcastAddress || datagram.fromAddress == 0) return true;
  if (IsOnLocalSegment(localSegments(), datagram.fromAddress, datagram.fromPort)) {
    return ListOrPrune(printers, WidenAscii(DottedAddress(datagram.fromAddress)));
  }
  if (datagram.fromPort == kPrinterDiscoveryPort) {
    SendConfigurationPacket(reply);
    return false;
  }
  return true;
}

LocalSegments LanDiscovery::FollowAdapters(UdpSocket& socket) {
  LocalSegments segments;
  uint32_t capacity = 0;
  {
    std::lock_guard<std::mutex> guard(lock_);
    capacity = adapterTableCapacity_;
  }
  const bool read = ReadLocalSegments(adapters_, segments, capacity);
  {
    std::lock_guard<std::mutex> guard(lock_);
    adapterTableCapacity_ = capacity;
    // The table cannot be read: the segments and sockets stay as they were.
    if (read) {
      localSegments_ = segments;
    } else {
      segments = localSegments_;
    }
  }
  // A socket for each address with a subnet broadcast; those of addresses that went, closed.
  for (uint32_t address : socket.LocalAddresses()) {
    const bool kept = std::any_of(segments.begin(), segments.end(), [address](const auto& s) {
      return s.address == address && s.HasBroadcast();
    });
    if (!kept) socket.RemoveLocalAddress(address);
  }
  for (const LocalSegment& segment : segments) {
    // An address the system refuses to bind (not up yet, or gone again) is tried next time.
    if (segment.HasBroadcast()) socket.AddLocalAddress(segment.address);
  }
  return segments;
}

bool LanDiscovery::ProbeDue(const UdpSocket& socket) {
  const uint64_t now = clock_.MonotonicMs();
  std::lock_guard<std::mutex> guard(lock_);
  if (probedSocket_ == &socket && now - probedAtMs_ < kMinimumProbeIntervalMs) return false;
  probedSocket_ = &socket;
  probedAtMs_ = now;
  return true;
}

bool LanDiscovery::ListOrPrune(DiscoveredPrinters& printers, const WString& sender) {
  // The walk works on a copy: each echo may take a second, and the dialog may empty the list
  // meanwhile. A removal then finds nothing to remove.
  for (const WString& entry : printers.Snapshot()) {
    if (stopping_) return false;
    const bool reachable = IsHostReachable(entry);
    // The dialog ended during the echo: leave its list as it is.
    if (stopping_) return false;
    if (!reachable) {
      printers.RemoveFirst(entry);
      return false;
    }
  }
  if (stopping_) return false;
  printers.AppendIfAbsent(sender);
  return true;
}

void LanDiscovery::SendConfigurationPacket(const uint8_t (&reply)[kReplyBufferSize]) {
  // The dialog may have closed the socket while the answer was examined.
  std::shared_ptr<UdpSocket> socket = OpenSocket();
  if (!socket) return;
  const ConfigurationPacket packet = BuildConfigurationPacket(reply);
  socket->EnableBroadcast();
  socket->SendTo(kBroadcastAddress, kPrinterDiscoveryPort, packet.data(), packet.size());
}

}  // namespace kestrava
