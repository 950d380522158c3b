// One discovery cycle: a probe, at most one answer, and what the answer means for the list.
#include "net/lan_discovery.h"
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
    socket->EnableBroadcast();
    socket->SendTo(kBroadcastAddress, kPrinterDiscoveryPort, kDiscoveryProbe, kProbeSize);
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
