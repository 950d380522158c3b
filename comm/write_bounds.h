// How long the link's writes may take: the serial ports' own write timeouts, and the bound
// past which any write is given up, so that a printer that takes nothing cannot hold the
// dialog's thread.
#pragma once

#include <cstdint>

#include "platform/device_io.h"

namespace kestrava {

// The parallel port's timeouts: reads 20 ms a byte and 20 ms more, writes 1 ms a byte and 2 s.
inline constexpr CommTimeouts kParallelTimeouts{0, 20, 20, 1, 2000};

// Serial line settings beyond the byte format: binary mode, the usual XON and XOFF characters
// (Windows refuses a block whose two are equal, even with XON/XOFF off).
inline constexpr uint8_t kXonChar = 0x11;
inline constexpr uint8_t kXoffChar = 0x13;

// A serial write may take twice its line time (ten bits a byte at the port's rate; 1200 baud
// for slower or unknown rates) and half a second more, which Bluetooth serial links need.
inline constexpr uint32_t kSerialWriteConstantMs = 500;
inline constexpr uint32_t kSlowestBaud = 1200;
// The serial port's timeouts at `baud`; reads as on the parallel port.
CommTimeouts SerialTimeouts(uint32_t baud);
// How long a write of `size` bytes to a port with these timeouts may block before it is
// cancelled: a second past the port's own bound, which normally ends it first.
uint32_t PortWriteBoundMs(const CommTimeouts& timeouts, uint32_t size);
// A USB printer takes a block within three seconds and a millisecond for every 64 bytes; one
// that is off line or out of paper takes nothing, and its write is given up then.
uint32_t UsbWriteBoundMs(uint32_t size);

}  // namespace kestrava
