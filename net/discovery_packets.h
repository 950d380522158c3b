// The bytes of LAN discovery: the probe every cycle broadcasts, the test that tells a printer's
// reply, and the configuration packet sent to a printer outside the computer's segments.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrava {

inline constexpr uint16_t kDiscoveryLocalPort = 5001;
inline constexpr uint16_t kPrinterDiscoveryPort = 1460;
inline constexpr size_t kProbeSize = 11;
// "QX0001FIND" and a zero byte.
extern const char kDiscoveryProbe[kProbeSize];
// A reply must leave room for the terminator after it: 255 bytes at most.
inline constexpr size_t kReplyBufferSize = 256;
inline constexpr size_t kConfigurationPacketSize = 64;

using ConfigurationPacket = std::array<uint8_t, kConfigurationPacketSize>;

// "QX0001SAVE", then bytes 11 to 63 of the reply (a zero-filled buffer of kReplyBufferSize),
// then 16 at offset 16 and 9100 at offset 30 (both little-endian) and 1 at offset 32.
ConfigurationPacket BuildConfigurationPacket(const uint8_t (&reply)[kReplyBufferSize]);

// The sender is on one of the computer's segments when its prefix (its address up to and
// including the last ".") appears anywhere in `localAddressList`, or the list is empty; and it
// answered from the printers' port.
bool IsOnLocalSegment(const std::string& localAddressList, const std::string& sender,
                      uint16_t senderPort);

}  // namespace kestrava
