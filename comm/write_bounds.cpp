#include "comm/write_bounds.h"

#include <algorithm>
#include <limits>

namespace kestrava {

namespace {

constexpr uint32_t kBitsPerByte = 10;  // start, eight data bits, stop
constexpr uint32_t kWriteBoundMarginMs = 1000;
constexpr uint32_t kUsbWriteConstantMs = 3000;
constexpr uint32_t kUsbBytesPerMs = 64;

}  // namespace

CommTimeouts SerialTimeouts(uint32_t baud) {
  const uint64_t rate = std::max(baud, kSlowestBaud);
  // Twice the line time of a byte in whole milliseconds, rounded up.
  const auto perByte = static_cast<uint32_t>((2 * kBitsPerByte * 1000 + rate - 1) / rate);
  return CommTimeouts{0, 20, 20, perByte, kSerialWriteConstantMs};
}

uint32_t PortWriteBoundMs(const CommTimeouts& timeouts, uint32_t size) {
  const uint64_t bound = uint64_t{timeouts.writeTotalMultiplier} * size +
                         timeouts.writeTotalConstant + kWriteBoundMarginMs;
  return static_cast<uint32_t>(std::min<uint64_t>(bound, std::numeric_limits<uint32_t>::max()));
}

uint32_t UsbWriteBoundMs(uint32_t size) {
  return kUsbWriteConstantMs + size / kUsbBytesPerMs;
}

}  // namespace kestrava
