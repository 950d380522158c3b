// The bytes of LAN discovery: the probe every cycle broadcasts and the configuration packet sent
// to a printer outside the computer's segments (net/local_segments.h tells which those are).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

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

}  // namespace kestrava
