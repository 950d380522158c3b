// The printer-language blocks the program sends (ESC/POS), byte for byte.
#pragma once

#include <cstdint>

namespace kestrava {

// ESC d 7 (print and feed seven lines), GS V 1 (partial cut).
inline constexpr uint8_t kFeedAndCut[] = {0x1B, 0x64, 0x07, 0x1D, 0x56, 0x01};
// ESC @ (initialise the printer).
inline constexpr uint8_t kReset[] = {0x1B, 0x40};
// ESC @ and four zero bytes: the six bytes a status-checked write sends.
inline constexpr uint8_t kResetBlock[] = {0x1B, 0x40, 0x00, 0x00, 0x00, 0x00};
// US ESC US "g", line feed, zero: the printer prints its own self-test page.
inline constexpr uint8_t kSelfTestRequest[] = {0x1F, 0x1B, 0x1F, 0x67, 0x0A, 0x00};
// DLE EOT 1: the real-time printer status request.
inline constexpr uint8_t kStatusRequest[] = {0x10, 0x04, 0x01};
// A status reply holding this byte means the printer is ready for the command.
inline constexpr uint8_t kStatusReady = 0x16;

}  // namespace kestrava
