// The system's table of IPv4 network adapters (GetAdaptersInfo), queried with a buffer of a
// size the caller chooses, as the call takes it: when the buffer is too small the system says
// how large it must be.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrava {

struct AdapterRecord {
  std::string description;  // 8-bit text as the system gives it
  // The hardware address: `hardwareLength` bytes of the eight; the rest are zero.
  uint8_t hardwareAddress[8] = {};
  uint32_t hardwareLength = 0;
  std::vector<std::string> ipAddresses;  // dotted IPv4 texts, in the system's order
  // The subnet mask of each of `ipAddresses`, at the same position, dotted as well.
  std::vector<std::string> ipMasks;
};

enum class AdapterStatus {
  kOk,
  kBufferTooSmall,  // `required` holds the size the system asks for
  kNoData,          // no adapter at all
  kFailed,
};

// The size of one adapter record on the shipped (32-bit) build: the buffer of the first query.
inline constexpr uint32_t kAdapterRecordSize = 648;

class AdapterTable {
 public:
  virtual ~AdapterTable() = default;

  // The adapters in the system's order, read through a buffer of `capacity` bytes. `out` is
  // written only for kOk; `required` only for kBufferTooSmall.
  virtual AdapterStatus Query(uint32_t capacity, uint32_t& required,
                              std::vector<AdapterRecord>& out) = 0;
};

}  // namespace kestrava
