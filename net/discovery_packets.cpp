#include "net/discovery_packets.h"

#include <cstring>

#include "platform/tcp_sockets.h"

namespace kestrava {

namespace {

constexpr char kSaveCommand[] = "QX0001SAVE";
constexpr size_t kSaveCommandSize = sizeof kSaveCommand - 1;
constexpr size_t kReplyCopyFirst = 11;
constexpr size_t kReplyCopyCount = 53;  // reply bytes 11 to 63

void PutLittleEndian16(ConfigurationPacket& packet, size_t at, uint16_t value) {
  packet[at] = static_cast<uint8_t>(value & 0xFF);
  packet[at + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

const char kDiscoveryProbe[kProbeSize] = "QX0001FIND";

ConfigurationPacket BuildConfigurationPacket(const uint8_t (&reply)[kReplyBufferSize]) {
  ConfigurationPacket packet{};
  std::memcpy(packet.data(), kSaveCommand, kSaveCommandSize);
  std::memcpy(packet.data() + kSaveCommandSize, reply + kReplyCopyFirst, kReplyCopyCount);
  PutLittleEndian16(packet, 16, 16);
  PutLittleEndian16(packet, 30, kPrinterTcpPort);
  packet[32] = 1;
  packet[63] = 0;
  return packet;
}

}  // namespace kestrava
